#pragma once

#include <QObject>

class QAction;
class QLabel;
class QMenu;

namespace kova {

class MainWindow;
class Preferences;

// File, "Reopen with Encoding": reads the open file again in the encoding picked (the encodings this
// machine can convert, most used first) and remembers the choice for that file, so that later opens
// and saves use it. "Save As with Encoding" writes the document in another encoding. The status bar
// shows the document's encoding.
class EncodingMenu : public QObject
{
    Q_OBJECT
public:
    // A child of window; its menu goes into the window's File menu.
    EncodingMenu(MainWindow &window, Preferences &preferences);

    QMenu *menu() const { return m_menu; }
    // File, "Save As with Encoding": UTF-16LE, UTF-8 or the 8-bit code page (the document's own, or
    // Windows-1252), then Save As.
    QMenu *saveMenu() const { return m_saveMenu; }
    // Save As in encoding; the document keeps its old encoding when nothing was saved.
    bool saveAsWith(const QString &encodingName);
    QLabel *statusLabel() const { return m_status; }
    // Reopens the current file in the encoding named (see encodingName); false when nothing was
    // loaded.
    bool reopenWith(const QString &encodingName);

private:
    void showEncoding();

    MainWindow &m_window;
    Preferences &m_preferences;
    QMenu *m_menu;
    QMenu *m_saveMenu;
    QAction *m_saveEightBit;
    QLabel *m_status;
};

} // namespace kova
