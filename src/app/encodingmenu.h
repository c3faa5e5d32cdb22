#pragma once

#include <QObject>

class QLabel;
class QMenu;

namespace kova {

class MainWindow;
class Preferences;

// File, "Reopen with Encoding": reads the open file again in the encoding picked (the encodings this
// machine can convert, most used first) and remembers the choice for that file, so that later opens
// and saves use it. The status bar shows the document's encoding.
class EncodingMenu : public QObject
{
    Q_OBJECT
public:
    // A child of window; its menu goes into the window's File menu.
    EncodingMenu(MainWindow &window, Preferences &preferences);

    QMenu *menu() const { return m_menu; }
    QLabel *statusLabel() const { return m_status; }
    // Reopens the current file in the encoding named (see encodingName); false when nothing was
    // loaded.
    bool reopenWith(const QString &encodingName);

private:
    void showEncoding();

    MainWindow &m_window;
    Preferences &m_preferences;
    QMenu *m_menu;
    QLabel *m_status;
};

} // namespace kova
