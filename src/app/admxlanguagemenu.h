#pragma once

#include <QObject>

class QActionGroup;
class QMenu;

namespace kova {

class MainWindow;

// Options, "ADMX Language": the language an ADMX is read in. It lists "Automatic" (the user's own
// language, else en-US) and the languages whose ADML lies beside the open ADMX, the chosen one
// checked; choosing one remembers it and reads the open ADMX again in it.
class AdmxLanguageMenu : public QObject
{
    Q_OBJECT
public:
    // A child of window; its menu goes at the end of the window's Options menu.
    explicit AdmxLanguageMenu(MainWindow &window);

    QMenu *menu() const { return m_menu; }
    // Lists the choices anew (the menu does so each time it opens).
    void refresh();

private:
    MainWindow &m_window;
    QMenu *m_menu;
    QActionGroup *m_group; // the choices, one checked
};

} // namespace kova
