#include "historysteps.h"

#include "document/nodetext.h"
#include "document/templatedocument.h"
#include "forms/editorkind.h"

namespace kova {

namespace {

QString quoted(const QString &noun, const QString &caption)
{
    return QStringLiteral("%1 '%2'").arg(noun, caption);
}

qsizetype branchBytes(const RemovedBranch &branch)
{
    qsizetype bytes = 0;
    for (const auto &[slot, text] : branch.texts)
        bytes += 2 * text.size() + 64;
    return bytes;
}

qsizetype contentsBytes(const TemplateContents &contents)
{
    qsizetype bytes = 0;
    for (int slot = 1; slot <= contents.texts.highestSlot(); ++slot)
        bytes += 2 * contents.texts.text(slot).size() + 16;
    if (contents.root)
        contents.root->forEach([&bytes](const TemplateNode *node) { bytes += 2 * node->text.size() + 128; });
    for (const QStringList *lines : {&contents.keptStringEntries, &contents.keptSectionLines})
        for (const QString &line : *lines)
            bytes += 2 * line.size() + 32;
    return bytes;
}

} // namespace

QString nounOfLine(QStringView firstLine)
{
    if (const std::optional<EditorKind> kind = editorKindFor(GetEditorKind(firstLine)))
        return kindNoun(*kind);
    return QStringLiteral("node");
}

QString nodeNoun(const TemplateDocument &document, const TemplateNode *node)
{
    const QString text = document.nodeText(node);
    const qsizetype end = text.indexOf(u'\r');
    return nounOfLine(QStringView(text).left(end < 0 ? text.size() : end));
}

EditStep::EditStep(TemplateNode *node, QString noun, QString oldCaption, QString oldText, QString newCaption,
                   QString newText)
    : m_node(node),
      m_noun(std::move(noun)), m_caption{std::move(oldCaption), std::move(newCaption)}, m_text{std::move(oldText),
                                                                                               std::move(newText)}
{}

void EditStep::undo(TemplateDocument &document)
{
    document.commitNodeEdit(m_node, m_caption[0], m_text[0]);
}

void EditStep::redo(TemplateDocument &document)
{
    document.commitNodeEdit(m_node, m_caption[1], m_text[1]);
}

qsizetype EditStep::bytes() const
{
    return 2 * (m_caption[0].size() + m_caption[1].size() + m_text[0].size() + m_text[1].size()) + 64;
}

QString EditStep::name() const
{
    return QStringLiteral("Edit ") + quoted(m_noun, m_caption[1]);
}

InsertStep::InsertStep(TemplateNode *node, QString noun)
    : m_node(node), m_parent(node->parent()), m_row(node->row()), m_noun(std::move(noun))
{}

void InsertStep::undo(TemplateDocument &document)
{
    m_taken = document.takeBranch(m_node);
}

void InsertStep::redo(TemplateDocument &document)
{
    m_node = document.restoreBranch(m_parent, m_row, std::move(m_taken));
}

qsizetype InsertStep::bytes() const
{
    return branchBytes(m_taken) + 64;
}

TemplateNode *InsertStep::focus() const
{
    return m_taken.node ? m_parent : m_node;
}

QString InsertStep::name() const
{
    return QStringLiteral("Add ") + quoted(m_noun, m_node->text);
}

RemoveStep::RemoveStep(TemplateNode *parent, int row, RemovedBranch branch, QString noun)
    : m_parent(parent), m_row(row), m_node(branch.node.get()), m_noun(std::move(noun)), m_caption(branch.node->text),
      m_branch(std::move(branch))
{}

void RemoveStep::undo(TemplateDocument &document)
{
    m_node = document.restoreBranch(m_parent, m_row, std::move(m_branch));
}

void RemoveStep::redo(TemplateDocument &document)
{
    m_branch = document.takeBranch(m_node);
}

qsizetype RemoveStep::bytes() const
{
    return branchBytes(m_branch) + 64;
}

TemplateNode *RemoveStep::focus() const
{
    return m_branch.node ? m_parent : m_node;
}

QString RemoveStep::name() const
{
    return QStringLiteral("Delete ") + quoted(m_noun, m_caption);
}

MoveStep::MoveStep(TemplateNode *node, TemplateNode *oldParent, int oldRow, QString noun)
    : m_node(node), m_parent{oldParent, node->parent()}, m_row{oldRow, node->row()}, m_noun(std::move(noun))
{}

void MoveStep::undo(TemplateDocument &document)
{
    document.placeNode(m_node, m_parent[0], m_row[0]);
}

void MoveStep::redo(TemplateDocument &document)
{
    document.placeNode(m_node, m_parent[1], m_row[1]);
}

QString MoveStep::name() const
{
    return QStringLiteral("Move ") + quoted(m_noun, m_node->text);
}

// The template before and after weigh about the same: the step holds one of them at any time, and
// the document the other.
TextStep::TextStep(TemplateContents before) : m_other(std::move(before)), m_bytes(contentsBytes(m_other)) {}

void TextStep::undo(TemplateDocument &document)
{
    swap(document);
}

void TextStep::redo(TemplateDocument &document)
{
    swap(document);
}

void TextStep::swap(TemplateDocument &document)
{
    m_other = document.swapContents(std::move(m_other));
}

} // namespace kova
