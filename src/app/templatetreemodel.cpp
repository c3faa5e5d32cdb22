#include "templatetreemodel.h"

#include "icons.h"

#include "document/templatedocument.h"
#include "document/treeoperations.h"

#include <QAbstractProxyModel>
#include <QMimeData>

namespace kova {

const QString TemplateTreeModel::kMimeType = QStringLiteral("application/x-kova-node-key");

TemplateTreeModel::TemplateTreeModel(TemplateDocument &document, QObject *parent)
    : QAbstractItemModel(parent), m_document(document)
{
    connect(&document, &TemplateDocument::aboutToReset, this, [this] { beginResetModel(); });
    connect(&document, &TemplateDocument::reset, this, [this] { endResetModel(); });
    connect(&document, &TemplateDocument::nodeAboutToBeInserted, this,
            [this](TemplateNode *parent, int row) { beginInsertRows(indexForNode(parent), row, row); });
    connect(&document, &TemplateDocument::nodeInserted, this, [this] { endInsertRows(); });
    connect(&document, &TemplateDocument::nodeAboutToBeRemoved, this,
            [this](TemplateNode *node) { beginRemoveRows(indexForNode(node->parent()), node->row(), node->row()); });
    connect(&document, &TemplateDocument::nodeRemoved, this, [this] { endRemoveRows(); });
    connect(&document, &TemplateDocument::nodeAboutToBeMoved, this, &TemplateTreeModel::onAboutToBeMoved);
    connect(&document, &TemplateDocument::nodeMoved, this, &TemplateTreeModel::onMoved);
    connect(&document, &TemplateDocument::nodeChanged, this, [this](TemplateNode *node) {
        const QModelIndex i = indexForNode(node);
        emit dataChanged(i, i);
    });
}

void TemplateTreeModel::onAboutToBeMoved(TemplateNode *node, TemplateNode *newParent, int row)
{
    // A move onto its own place is no move for the model.
    m_moving = beginMoveRows(indexForNode(node->parent()), node->row(), node->row(), indexForNode(newParent), row);
}

void TemplateTreeModel::onMoved()
{
    if (m_moving)
        endMoveRows();
    m_moving = false;
}

TemplateNode *TemplateTreeModel::nodeFromIndex(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TemplateNode *>(index.internalPointer()) : nullptr;
}

TemplateNode *TemplateTreeModel::nodeAt(QModelIndex index)
{
    while (const auto *proxy = qobject_cast<const QAbstractProxyModel *>(index.model()))
        index = proxy->mapToSource(index);
    const auto *model = qobject_cast<const TemplateTreeModel *>(index.model());
    return model ? model->nodeFromIndex(index) : nullptr;
}

QModelIndex TemplateTreeModel::indexForNode(const TemplateNode *node) const
{
    if (!node || !m_document.root())
        return {};
    return createIndex(node->row(), 0, const_cast<TemplateNode *>(node));
}

void TemplateTreeModel::setExpanded(const QModelIndex &index, bool expanded)
{
    TemplateNode *node = nodeFromIndex(index);
    if (!node || node->expanded == expanded)
        return;
    m_document.setExpanded(node, expanded);
    emit dataChanged(index, index, {Qt::DecorationRole, ImageNameRole});
}

void TemplateTreeModel::refreshImages()
{
    if (!m_document.root())
        return;
    m_document.root()->forEach([this](TemplateNode *n) {
        const QModelIndex i = indexForNode(n);
        emit dataChanged(i, i, {Qt::DecorationRole, ImageNameRole});
    });
}

QModelIndex TemplateTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid()) {
        if (row == 0 && m_document.root())
            return createIndex(0, 0, m_document.root());
        return {};
    }
    const TemplateNode *p = nodeFromIndex(parent);
    if (parent.column() != 0 || !p || row >= p->childCount())
        return {};
    return createIndex(row, 0, p->child(row));
}

QModelIndex TemplateTreeModel::parent(const QModelIndex &child) const
{
    const TemplateNode *node = nodeFromIndex(child);
    if (!node || !node->parent())
        return {};
    return indexForNode(node->parent());
}

int TemplateTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_document.root() ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    const TemplateNode *p = nodeFromIndex(parent);
    return p ? p->childCount() : 0;
}

int TemplateTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant TemplateTreeModel::data(const QModelIndex &index, int role) const
{
    const TemplateNode *node = nodeFromIndex(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole: return node->text;
    case Qt::DecorationRole: return kovaIcon(NodeImage(node));
    case ImageNameRole: return NodeImage(node);
    case KindRole: return node->kind();
    case KeyRole: return node->key();
    default: return {};
    }
}

Qt::ItemFlags TemplateTreeModel::flags(const QModelIndex &index) const
{
    const TemplateNode *node = nodeFromIndex(index);
    if (!node)
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (CanDragNode(node))
        f |= Qt::ItemIsDragEnabled;
    return f;
}

QMimeData *TemplateTreeModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    const TemplateNode *node = nodeFromIndex(indexes.first());
    if (!node)
        return nullptr;
    auto *mime = new QMimeData;
    mime->setData(kMimeType, node->key().toUtf8());
    return mime;
}

} // namespace kova
