#pragma once

#include <QObject>

class QAction;
class QMainWindow;
class QMenu;

namespace kova {

class TemplateHistory;

// The "&Edit" menu: "Undo" (Ctrl+Z) and "Redo" (Ctrl+Y, Ctrl+Shift+Z), their texts naming the step,
// disabled when there is nothing to take back or do again and while a page or the text mode is
// open (call setEditScreenOpen).
class HistoryActions : public QObject
{
    Q_OBJECT

public:
    // The menu goes into the window's menu bar before the menu before.
    HistoryActions(TemplateHistory &history, QMainWindow *window, QAction *before);

    QMenu *menu() const { return m_menu; }
    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }
    void setEditScreenOpen(bool open);

private:
    void refresh();

    TemplateHistory &m_history;
    QMenu *m_menu;
    QAction *m_undo;
    QAction *m_redo;
    bool m_editScreenOpen = false;
};

} // namespace kova
