#pragma once

#include <QObject>

class QListWidget;
class QMenu;
class QPoint;

namespace kova {

// What a page's list does on its keys and its menu: "Edit entry", "Add Entry", "Delete Entry",
// moving the selected entry, and opening the menu.
class ListCommands
{
public:
    virtual ~ListCommands() = default;
    virtual void editEntry() = 0;
    virtual void addEntry() = 0;
    virtual void deleteEntry() = 0;
    virtual void moveEntry(int direction) = 0;
    virtual void openMenu(const QPoint &globalPos) = 0;
};

// The keys and mouse of a page's list: double click edits; Insert adds, Delete removes, Ctrl+Up and
// Ctrl+Down move (unless the list takes only its menu key); Ctrl+Alt+M (on release) and the right
// mouse button (on press or on release, as the page has it) open the menu.
class ListKeys : public QObject
{
    Q_OBJECT

public:
    enum class MenuOn { Press, Release };
    enum class Keys { All, MenuOnly };

    ListKeys(QListWidget *list, ListCommands &commands, MenuOn menuOn, Keys keys, QWidget *menuAnchor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QListWidget *m_list;
    // Kept, as events still arrive while the list is being taken down and can no longer be asked.
    QWidget *m_viewport;
    ListCommands &m_commands;
    MenuOn m_menuOn;
    Keys m_keys;
    QWidget *m_anchor;
};

// The list menu with its three entries, calling commands.
QMenu *makeListMenu(ListCommands &commands, QWidget *parent);

// MoveListItem on a list widget: swaps the selected entry with its neighbour (0 = up, 1 = down),
// each entry keeping its data, with the list disabled meanwhile; a call while a move is in progress
// (moveInProgress set) does nothing. Returns the entry's new row, or -1 when nothing moved.
int MoveListItem(QListWidget *list, bool &moveInProgress, int direction);

// Whether the list has a selected entry (its current entry, selected).
bool hasSelection(const QListWidget *list);

} // namespace kova
