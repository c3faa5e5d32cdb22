#pragma once

#include <QTreeView>

#include <functional>

namespace kova {

class TemplateNode;
class TemplateTreeModel;

// The tree of the "&Overview" tab. Drags a node to a new parent: the allowed targets are decided by
// canDrop, the move itself by drop (both set by the tree panel). Everywhere else the no-drop icon.
class TemplateTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit TemplateTreeView(QWidget *parent = nullptr);

    std::function<bool(TemplateNode *dragged, TemplateNode *target)> canDrop;
    std::function<void(TemplateNode *dragged, TemplateNode *target)> drop;
    // Drags do nothing while this says so (a node is being opened for editing).
    std::function<bool()> busy;

    TemplateNode *draggedNode() const { return m_dragged; }

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    TemplateNode *targetAt(const QPoint &pos) const;
    void setHighlight(const QModelIndex &index);

    TemplateNode *m_dragged = nullptr;
    QPersistentModelIndex m_highlight;
};

} // namespace kova
