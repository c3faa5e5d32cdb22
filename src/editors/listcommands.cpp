#include "listcommands.h"

#include "forms/listmoves.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>

namespace kova {

namespace {

// Clears the flag on every way out of MoveListItem.
struct MoveGuard
{
    bool &flag;
    explicit MoveGuard(bool &f) : flag(f) { flag = true; }
    ~MoveGuard() { flag = false; }
    MoveGuard(const MoveGuard &) = delete;
    MoveGuard &operator=(const MoveGuard &) = delete;
};

} // namespace

ListKeys::ListKeys(QListWidget *list, ListCommands &commands, MenuOn menuOn, Keys keys, QWidget *menuAnchor)
    : QObject(list), m_list(list), m_viewport(list->viewport()), m_commands(commands), m_menuOn(menuOn), m_keys(keys),
      m_anchor(menuAnchor)
{
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    connect(list, &QListWidget::itemDoubleClicked, this, [this] { m_commands.editEntry(); });
}

bool ListKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress && m_keys == Keys::All) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->modifiers() & Qt::ControlModifier) && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            m_commands.moveEntry(key->key() == Qt::Key_Up ? 0 : 1);
            return true;
        }
        if (key->key() == Qt::Key_Insert) {
            m_commands.addEntry();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            m_commands.deleteEntry();
            return true;
        }
    }
    if (watched == m_list && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_M && (key->modifiers() & Qt::ControlModifier) &&
            (key->modifiers() & Qt::AltModifier)) {
            // 480 and 840 twips right of and below the frame's corner.
            m_commands.openMenu(m_anchor->mapToGlobal(QPoint(32, 56)));
            return true;
        }
    }
    if (watched == m_viewport &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QEvent::Type opening = m_menuOn == MenuOn::Press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease;
        if (mouse->button() == Qt::RightButton && event->type() == opening)
            m_commands.openMenu(mouse->globalPosition().toPoint());
    }
    return QObject::eventFilter(watched, event);
}

QMenu *makeListMenu(ListCommands &commands, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("ItemMenu"));
    QObject::connect(menu->addAction(QStringLiteral("Edit entry")), &QAction::triggered, menu,
                     [&commands] { commands.editEntry(); });
    QObject::connect(menu->addAction(QStringLiteral("Add Entry")), &QAction::triggered, menu,
                     [&commands] { commands.addEntry(); });
    QObject::connect(menu->addAction(QStringLiteral("Delete Entry")), &QAction::triggered, menu,
                     [&commands] { commands.deleteEntry(); });
    return menu;
}

bool hasSelection(const QListWidget *list)
{
    return list->currentItem() && list->currentItem()->isSelected();
}

int MoveListItem(QListWidget *list, bool &moveInProgress, int direction)
{
    if (moveInProgress)
        return -1;
    const MoveGuard guard(moveInProgress);
    const int selected = hasSelection(list) ? list->currentRow() : -1;
    if (list->count() < 2 || selected < 0 || (direction != 0 && direction != 1))
        return -1;
    list->setEnabled(false);
    const int target = moveTarget(list->count(), selected, direction);
    if (target >= 0) {
        QListWidgetItem *item = list->takeItem(selected);
        list->insertItem(target, item);
        list->setCurrentRow(target);
    }
    list->setEnabled(true);
    list->setFocus(Qt::OtherFocusReason);
    return target;
}

} // namespace kova
