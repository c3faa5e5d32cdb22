#pragma once

#include <QAbstractItemModel>

namespace kova {

class TemplateDocument;
class TemplateNode;

// The template tree as an item model: one column, the node's tree text, its picture by image name
// ("open" for an expanded category or policy). Follows the document's change signals; the document
// stays the only owner of the tree.
class TemplateTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    static constexpr int ImageNameRole = Qt::UserRole + 1;
    static constexpr int KindRole = Qt::UserRole + 2;
    static constexpr int KeyRole = Qt::UserRole + 3;
    static const QString kMimeType;

    explicit TemplateTreeModel(TemplateDocument &document, QObject *parent = nullptr);

    TemplateNode *nodeFromIndex(const QModelIndex &index) const;
    // The node of an index of this model or of a proxy model over it (a view's index); nullptr for any
    // other.
    static TemplateNode *nodeAt(QModelIndex index);
    QModelIndex indexForNode(const TemplateNode *node) const;
    // Remembers a node's expanded state (the view's) and refreshes its picture.
    void setExpanded(const QModelIndex &index, bool expanded);
    // Every node's picture may have changed (expand all, collapse all).
    void refreshImages();

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {kMimeType}; }
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

private:
    void onAboutToBeMoved(TemplateNode *node, TemplateNode *newParent, int row);
    void onMoved();

    TemplateDocument &m_document;
    bool m_moving = false;
};

} // namespace kova
