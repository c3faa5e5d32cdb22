#pragma once

#include <QHash>
#include <QList>
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace kova {

class OutsideTools;

// The main window's menus ("&File", "Option&s", "&Help") and main toolbar. One action per operation;
// a toolbar button shares its menu item's action and is found by its description ("New", "SaveAs",
// "Poledit", ...). Menu items are named with the M_ prefix; the recent files are Bestand(0) (the
// separator) to Bestand(4).
class MainActions : public QObject
{
    Q_OBJECT

public:
    explicit MainActions(QMainWindow *window);

    // By menu item name ("M_New", "M_Strings", ...).
    QAction *item(const QString &name) const { return m_items.value(name); }
    // By toolbar description ("New", "Open", "Strings", ...); nullptr for any other text.
    QAction *button(const QString &description) const { return m_buttons.value(description); }
    QStringList descriptions() const { return m_descriptionOrder; }

    QAction *Bestand(int index) const { return m_bestand.value(index); }
    QToolBar *toolBar() const { return m_toolBar; }
    QMenu *fileMenu() const { return m_file; }
    QMenu *optionsMenu() const { return m_options; }
    QMenu *helpMenu() const { return m_help; }

    // Triggers the operation of the toolbar button with exactly this description; others do nothing.
    void RunToolbarCommand(const QString &description);
    // Shows the recent files (item i gets caption i; empty items and, with none left, the separator
    // are hidden).
    void showRecentFiles(const QStringList &captions);
    // The document commands (Save, Save As, Print, POLEDIT, text mode) and Expand/Collapse.
    void setDocumentCommandsEnabled(bool on);
    void setTreeCommandsEnabled(bool on);
    // The outside tools the items of POLEDIT, printing, help, history, update, mail and web run
    // (nullptr: none). An item whose tool is absent stays disabled.
    void setOutsideTools(OutsideTools *tools);

private:
    void connectOutsideTools();
    void enableOutsideTools();

    QAction *add(QMenu *menu, const QString &name, const QString &caption, const QString &shortcut = {});
    void addButton(const QString &description, const QString &toolTip, const QString &itemName, const QString &icon);

    QHash<QString, QAction *> m_items;
    QHash<QString, QAction *> m_buttons;
    QStringList m_descriptionOrder;
    QList<QAction *> m_bestand;
    QToolBar *m_toolBar;
    QMenu *m_file;
    QMenu *m_options;
    QMenu *m_help;
    OutsideTools *m_tools = nullptr;
    bool m_documentCommands = false;
};

} // namespace kova
