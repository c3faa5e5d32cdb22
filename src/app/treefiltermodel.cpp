#include "treefiltermodel.h"

#include "templatetreemodel.h"

#include "document/templatedocument.h"
#include "document/templatenode.h"

namespace kova {

TreeFilterModel::TreeFilterModel(TemplateDocument &document, TemplateTreeModel &source, QObject *parent)
    : QSortFilterProxyModel(parent), m_document(document), m_source(source)
{
    // The set of nodes found follows the template before the filter looks at the change, so these
    // are connected ahead of the proxy's own handling, which setSourceModel connects.
    connect(&source, &QAbstractItemModel::modelReset, this, [this] {
        m_pinned.clear();
        findAll();
    });
    connect(&source, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &parent, int first, int last) { findInRows(parent, first, last, true); });
    // A node that goes away must not stay in a set under an address a new node may take.
    connect(&source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex &parent, int first, int last) {
                m_pinned.clear();
                findInRows(parent, first, last, false);
            });
    connect(&source, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
                if (m_find.isEmpty() || (!roles.isEmpty() && !roles.contains(Qt::DisplayRole)))
                    return; // a picture changed, not a caption or the lines
                for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
                    const TemplateNode *node = m_source.nodeFromIndex(m_source.index(row, 0, topLeft.parent()));
                    if (m_find.matches(m_document, node))
                        m_found.insert(node);
                    else
                        m_found.remove(node);
                }
            });
    setRecursiveFilteringEnabled(true);
    setSourceModel(&source);
}

void TreeFilterModel::setFindText(const QString &text)
{
    if (text == m_find.text())
        return;
    // A new find can take most rows out of the view or bring them back: a reset costs the view one
    // pass, where row-by-row removals would cost it a pass each.
    beginResetModel();
    m_find = TreeFind(text);
    m_pinned.clear();
    findAll();
    endResetModel();
}

void TreeFilterModel::findAll()
{
    m_found.clear();
    for (const TemplateNode *node : m_find.matchingNodes(m_document))
        m_found.insert(node);
}

// The rows first to last of parent and their branches join the nodes found (add) or leave them.
void TreeFilterModel::findInRows(const QModelIndex &parent, int first, int last, bool add)
{
    if (m_find.isEmpty())
        return;
    for (int row = first; row <= last; ++row) {
        TemplateNode *top = m_source.nodeFromIndex(m_source.index(row, 0, parent));
        if (!top)
            continue;
        top->forEach([&](TemplateNode *node) {
            if (!add)
                m_found.remove(node);
            else if (m_find.matches(m_document, node))
                m_found.insert(node);
        });
    }
}

std::vector<TemplateNode *> TreeFilterModel::matches() const
{
    std::vector<TemplateNode *> found;
    if (m_found.isEmpty() || !m_document.root())
        return found;
    found.reserve(size_t(m_found.size()));
    m_document.root()->forEach([&](TemplateNode *node) {
        if (m_found.contains(node))
            found.push_back(node);
    });
    return found;
}

void TreeFilterModel::pin(const TemplateNode *node)
{
    if (m_find.isEmpty() || !node || m_pinned.contains(node))
        return;
    m_pinned.insert(node);
    invalidateFilter();
}

QModelIndex TreeFilterModel::indexForNode(const TemplateNode *node) const
{
    return mapFromSource(m_source.indexForNode(node));
}

bool TreeFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_find.isEmpty())
        return true;
    const TemplateNode *node = m_source.nodeFromIndex(m_source.index(sourceRow, 0, sourceParent));
    // The root holds the whole template: it stays, so every match has its place.
    return node && (!node->parent() || m_found.contains(node) || m_pinned.contains(node));
}

} // namespace kova
