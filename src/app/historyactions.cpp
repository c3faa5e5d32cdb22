#include "historyactions.h"

#include "history/templatehistory.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace kova {

HistoryActions::HistoryActions(TemplateHistory &history, QMainWindow *window, QAction *before)
    : QObject(window), m_history(history), m_menu(new QMenu(QStringLiteral("&Edit"), window)),
      m_undo(m_menu->addAction(QStringLiteral("Undo"))), m_redo(m_menu->addAction(QStringLiteral("Redo")))
{
    m_menu->setObjectName(QStringLiteral("EditMenu"));
    m_undo->setObjectName(QStringLiteral("M_Undo"));
    m_redo->setObjectName(QStringLiteral("M_Redo"));
    m_undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    m_redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    window->menuBar()->insertMenu(before, m_menu);
    connect(m_undo, &QAction::triggered, this, [this] {
        if (!m_editScreenOpen)
            m_history.undo();
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        if (!m_editScreenOpen)
            m_history.redo();
    });
    connect(&m_history, &TemplateHistory::changed, this, &HistoryActions::refresh);
    refresh();
}

void HistoryActions::setEditScreenOpen(bool open)
{
    m_editScreenOpen = open;
    refresh();
}

void HistoryActions::refresh()
{
    const QString undo = m_history.undoText();
    const QString redo = m_history.redoText();
    m_undo->setText(undo.isEmpty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + undo);
    m_redo->setText(redo.isEmpty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + redo);
    m_undo->setEnabled(!m_editScreenOpen && m_history.canUndo());
    m_redo->setEnabled(!m_editScreenOpen && m_history.canRedo());
}

} // namespace kova
