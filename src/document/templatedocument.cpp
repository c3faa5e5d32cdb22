#include "templatedocument.h"

#include <utility>

namespace kova {

TemplateDocument::TemplateDocument(QObject *parent) : QObject(parent) {}

TemplateDocument::~TemplateDocument() = default;

void TemplateDocument::commitNodeEdit(TemplateNode *node, const QString &caption, QStringView text)
{
    const QString oldCaption = std::exchange(node->text, caption);
    const QString oldText = m_texts.text(node->slot());
    m_texts.set(node->slot(), text);
    emit nodeChanged(node);
    if (m_recorder)
        m_recorder->nodeEdited(node, oldCaption, oldText);
    setModified(true);
}

void TemplateDocument::setNodeCaption(TemplateNode *node, const QString &caption)
{
    node->text = caption;
    setModified(true);
    emit nodeChanged(node);
}

void TemplateDocument::setExpanded(TemplateNode *node, bool expanded)
{
    node->expanded = expanded;
}

TemplateNode *TemplateDocument::nodeForSlot(int slot) const
{
    if (!m_root)
        return nullptr;
    TemplateNode *found = nullptr;
    m_root->forEach([&](TemplateNode *n) {
        if (!found && n->slot() == slot)
            found = n;
    });
    return found;
}

int TemplateDocument::nodeCount() const
{
    int count = 0;
    if (m_root)
        m_root->forEach([&](TemplateNode *) { ++count; });
    return count;
}

void TemplateDocument::replaceContents(std::unique_ptr<TemplateNode> root, NodeTextTable texts, QStringList keptStrings,
                                       QStringList keptSections, TextEncoding encoding)
{
    TemplateContents old =
        swapContents({std::move(root), std::move(texts), std::move(keptStrings), std::move(keptSections)});
    m_encoding = encoding;
    if (m_recorder)
        m_recorder->contentsReplaced(std::move(old));
}

TemplateContents TemplateDocument::swapContents(TemplateContents contents)
{
    emit aboutToReset();
    std::swap(m_root, contents.root);
    std::swap(m_texts, contents.texts);
    std::swap(m_keptStringEntries, contents.keptStringEntries);
    std::swap(m_keptSectionLines, contents.keptSectionLines);
    emit reset();
    return contents;
}

void TemplateDocument::clear()
{
    replaceContents(nullptr, {}, {}, {}, TextEncoding::Windows1252);
}

void TemplateDocument::newTemplate()
{
    auto root = std::make_unique<TemplateNode>(NodeKind::Root, kRootCaption);
    root->expanded = true;
    root->setSlot(1);
    NodeTextTable texts;
    texts.growTo(1);
    int position = 1;
    for (const auto &[caption, line] :
         {std::pair{&kMachineCaption, u"CLASS MACHINE"}, std::pair{&kUserCaption, u"CLASS USER"}}) {
        auto cls = std::make_unique<TemplateNode>(NodeKind::Class, *caption);
        cls->expanded = true;
        cls->setSlot(++position);
        texts.appendLine(position, QStringView(line));
        root->appendChild(std::move(cls));
    }
    replaceContents(std::move(root), std::move(texts), {}, {}, TextEncoding::Windows1252);
    setPath(QString());
    setModified(false);
}

TemplateNode *TemplateDocument::insertNewNode(TemplateNode *parent, int row, std::unique_ptr<TemplateNode> node,
                                              const QString &initialText)
{
    const int slot = m_texts.highestSlot() + 1;
    node->setSlot(slot);
    m_texts.set(slot, initialText);
    row = std::clamp(row, 0, parent->childCount());
    emit nodeAboutToBeInserted(parent, row);
    TemplateNode *inserted = parent->insertChild(row, std::move(node));
    emit nodeInserted(inserted);
    if (m_recorder)
        m_recorder->nodeInserted(inserted);
    setModified(true);
    return inserted;
}

void TemplateDocument::removeNode(TemplateNode *node)
{
    TemplateNode *parent = node->parent();
    if (!parent)
        return;
    const int row = node->row();
    RemovedBranch branch = takeBranch(node);
    if (m_recorder)
        m_recorder->nodeRemoved(parent, row, std::move(branch));
    setModified(true);
}

RemovedBranch TemplateDocument::takeBranch(TemplateNode *node)
{
    TemplateNode *parent = node->parent();
    RemovedBranch branch;
    if (!parent)
        return branch;
    const int row = node->row();
    emit nodeAboutToBeRemoved(node);
    // The branch's slots are emptied, so the writer and the string table no longer see them; their
    // numbers are not reused, as new nodes always take one above the highest slot.
    node->forEach([&](TemplateNode *n) {
        branch.texts.append({n->slot(), m_texts.text(n->slot())});
        m_texts.set(n->slot(), QStringView());
    });
    branch.node = parent->takeChild(row);
    emit nodeRemoved(parent, row);
    return branch;
}

TemplateNode *TemplateDocument::restoreBranch(TemplateNode *parent, int row, RemovedBranch branch)
{
    for (const auto &[slot, text] : std::as_const(branch.texts)) {
        m_texts.growTo(slot);
        m_texts.set(slot, text);
    }
    row = std::clamp(row, 0, parent->childCount());
    emit nodeAboutToBeInserted(parent, row);
    TemplateNode *restored = parent->insertChild(row, std::move(branch.node));
    emit nodeInserted(restored);
    return restored;
}

void TemplateDocument::placeNode(TemplateNode *node, TemplateNode *newParent, int row)
{
    // moveNode counts row before the node leaves its place.
    if (node->parent() == newParent && node->row() < row)
        ++row;
    moveNode(node, newParent, row);
}

void TemplateDocument::moveNode(TemplateNode *node, TemplateNode *newParent, int row)
{
    TemplateNode *oldParent = node->parent();
    if (!oldParent || node == newParent || node->isAncestorOf(newParent))
        return;
    row = std::clamp(row, 0, newParent->childCount());
    emit nodeAboutToBeMoved(node, newParent, row);
    const int oldRow = node->row();
    auto taken = oldParent->takeChild(oldRow);
    if (oldParent == newParent && oldRow < row)
        --row;
    newParent->insertChild(row, std::move(taken));
    emit nodeMoved(node);
    if (m_recorder)
        m_recorder->nodeMoved(node, oldParent, oldRow);
    setModified(true);
}

void TemplateDocument::setPath(const QString &path)
{
    if (m_path == path)
        return;
    m_path = path;
    emit pathChanged(path);
}

void TemplateDocument::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

} // namespace kova
