#include "templatetreeview.h"

#include "templatetreemodel.h"

#include "document/treeoperations.h"

#include <QDragMoveEvent>
#include <QDropEvent>

namespace kova {

TemplateTreeView::TemplateTreeView(QWidget *parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setAutoScroll(true);
    setExpandsOnDoubleClick(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void TemplateTreeView::startDrag(Qt::DropActions supportedActions)
{
    if (m_dragsBlocked)
        return;
    m_dragged = TemplateTreeModel::nodeAt(currentIndex());
    if (!m_dragged)
        return;
    QTreeView::startDrag(supportedActions);
    m_dragged = nullptr;
    setHighlight({});
}

TemplateNode *TemplateTreeView::targetAt(const QPoint &pos) const
{
    return TemplateTreeModel::nodeAt(indexAt(pos));
}

void TemplateTreeView::setHighlight(const QModelIndex &index)
{
    // The allowed target shows as selected while the pointer is over it; the selection goes back to
    // the dragged node afterwards.
    m_highlight = index;
    if (index.isValid())
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    else if (currentIndex().isValid())
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
}

void TemplateTreeView::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_dragged && event->source() == this)
        event->accept();
    else
        event->ignore();
}

void TemplateTreeView::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeView::dragMoveEvent(event); // auto-scroll near the edges
    TemplateNode *target = targetAt(event->position().toPoint());
    if (m_dragged && event->source() == this && CanDropOn(m_dragged, target)) {
        setHighlight(indexAt(event->position().toPoint()));
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        setHighlight({});
        event->ignore();
    }
}

void TemplateTreeView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setHighlight({});
    QTreeView::dragLeaveEvent(event);
}

void TemplateTreeView::dropEvent(QDropEvent *event)
{
    TemplateNode *target = targetAt(event->position().toPoint());
    TemplateNode *dragged = m_dragged;
    setHighlight({});
    // The move is done here; the drag itself reports no action, so the view removes nothing.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (dragged && CanDropOn(dragged, target))
        emit dropRequested(dragged, target);
}

} // namespace kova
