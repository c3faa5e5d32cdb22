#pragma once

#include <QTreeView>

namespace kova {

class TemplateNode;
class TemplateTreeModel;

// The tree of the "&Overview" tab. Drags a node to a new parent: the targets CanDropOn allows show as
// selected while the pointer is over them, everywhere else the no-drop icon; a drop is handed on as
// dropRequested, which the tree panel carries out.
class TemplateTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit TemplateTreeView(QWidget *parent = nullptr);

    // Drags do nothing while blocked (a node is being opened for editing).
    void setDragsBlocked(bool blocked) { m_dragsBlocked = blocked; }

    TemplateNode *draggedNode() const { return m_dragged; }

signals:
    void dropRequested(kova::TemplateNode *dragged, kova::TemplateNode *target);

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
    bool m_dragsBlocked = false;
};

} // namespace kova
