#include "editsession.h"

#include "document/nodetext.h"
#include "document/templatedocument.h"
#include "document/templatenode.h"

namespace kova {

QStringList makeEditLines(QStringView slotText)
{
    QStringList lines{QString()};
    SplitLines(slotText, lines);
    return lines;
}

EditSession::EditSession(TemplateDocument &document, QObject *parent) : QObject(parent), m_document(document)
{
    // A load or New replaces every node: a page open on an old one has nothing left to write to.
    connect(&m_document, &TemplateDocument::aboutToReset, this, &EditSession::cancel);
}

std::optional<EditorKind> EditSession::begin(TemplateNode *node)
{
    if (isOpen() || !node || !node->parent() || node->kind() == u"CLASS")
        return std::nullopt;
    QStringList lines = makeEditLines(m_document.nodeText(node));
    const std::optional<EditorKind> kind = lines.size() > 1 ? editorKindFor(GetEditorKind(lines.at(1))) : std::nullopt;
    if (!kind)
        return std::nullopt;
    m_editLines = std::move(lines);
    m_node = node;
    m_kind = *kind;
    emit opened(m_kind);
    return kind;
}

void EditSession::commit(const QString &text, const QString &caption)
{
    if (!isOpen())
        return;
    m_document.commitNodeEdit(m_node, caption.trimmed(), text);
    cancel();
}

void EditSession::cancel()
{
    if (!isOpen())
        return;
    m_node = nullptr;
    emit closed(m_kind);
}

} // namespace kova
