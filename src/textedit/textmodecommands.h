#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QToolBar;
class QWidget;

namespace kova {

// The Editor menu (M_Editor, "&Editor") and the text-mode toolbar. Menu items are named by their
// menu names (M_Update, M_NoUpdate, M_Goto, M_Find, M_FindNext, M_EPrint); toolbar buttons are told
// apart by their description ("Update", "DontSave", "Goto", "Find", "FindNext", "Print", "Help",
// "Mail", "Web"), which every toolbar action carries as its object name.
class TextModeCommands : public QObject
{
    Q_OBJECT

public:
    explicit TextModeCommands(QWidget *window);

    QMenu *menu() const { return m_menu; }
    QToolBar *toolBar() const { return m_toolBar; }
    // The menu item named name (M_Update, ...), or nullptr.
    QAction *menuItem(const QString &name) const;
    // The toolbar button with that description, or nullptr.
    QAction *toolButton(const QString &description) const;

signals:
    // A menu item was chosen (its name) or a toolbar button pressed (its description).
    void menuItemChosen(const QString &name);
    void toolButtonPressed(const QString &description);

private:
    QMenu *m_menu;
    QToolBar *m_toolBar;
};

} // namespace kova
