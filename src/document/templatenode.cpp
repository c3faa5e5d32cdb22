#include "templatenode.h"

#include "nodepool.h"
#include "nodetexttable.h"

#include <algorithm>

namespace kova {

namespace {

const QString *const kKinds[] = {&NodeKind::Root, &NodeKind::Class, &NodeKind::Category, &NodeKind::Policy,
                                 &NodeKind::Part};

quint8 kindIndex(const QString &kind)
{
    // Callers pass NodeKind's own strings: their data is found at once.
    for (quint8 i = 0; i < std::size(kKinds); ++i)
        if (kind.constData() == kKinds[i]->constData())
            return i;
    for (quint8 i = 0; i < std::size(kKinds); ++i)
        if (kind == *kKinds[i])
            return i;
    Q_ASSERT_X(false, "TemplateNode", "a node's kind is one of NodeKind's names");
    return 0;
}

} // namespace

static_assert(sizeof(TemplateNode) <= 64, "a large template has hundreds of thousands of nodes");

TemplateNode::TemplateNode(const QString &kind, QString text_) : text(std::move(text_)), m_kind(kindIndex(kind)) {}

const QString &TemplateNode::kind() const
{
    return *kKinds[m_kind];
}

static_assert(alignof(TemplateNode) <= alignof(void *), "the node pool aligns slots to a pointer");

void *TemplateNode::operator new(std::size_t size)
{
    return allocateNode(size);
}

void TemplateNode::operator delete(void *node, std::size_t size) noexcept
{
    releaseNode(node, size);
}

QString TemplateNode::key() const
{
    return MakeNodeKey(m_slot);
}

int TemplateNode::row() const
{
    if (!m_parent)
        return 0;
    const auto &siblings = m_parent->m_children;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto &c) { return c.get() == this; });
    return int(it - siblings.begin());
}

int TemplateNode::depth() const
{
    int d = 0;
    for (const TemplateNode *p = m_parent; p; p = p->m_parent)
        ++d;
    return d;
}

bool TemplateNode::isAncestorOf(const TemplateNode *node) const
{
    for (const TemplateNode *p = node ? node->m_parent : nullptr; p; p = p->m_parent)
        if (p == this)
            return true;
    return false;
}

TemplateNode *TemplateNode::insertChild(int row, std::unique_ptr<TemplateNode> node)
{
    node->m_parent = this;
    row = std::clamp(row, 0, childCount());
    return m_children.insert(m_children.begin() + row, std::move(node))->get();
}

TemplateNode *TemplateNode::appendChild(std::unique_ptr<TemplateNode> node)
{
    return insertChild(childCount(), std::move(node));
}

std::unique_ptr<TemplateNode> TemplateNode::takeChild(int row)
{
    auto node = std::move(m_children.at(size_t(row)));
    m_children.erase(m_children.begin() + row);
    node->m_parent = nullptr;
    return node;
}

} // namespace kova
