#pragma once

#include "document/recoverycopy.h"

#include <QObject>

namespace kova {

class MainWindow;

// Keeps the unsaved work of the window's document when the editor is ended by a fatal load fault or
// a termination signal, and offers it at the next start.
//
// A fatal fault comes from a load, and a load empties the document before it reports the fault: the
// work is therefore taken (rendered into memory) whenever a document with unsaved changes is about to
// be replaced, kept until a load or New succeeds, and written out only when the fault comes. In text
// mode that is the template as it stood when text mode was entered: the edited text itself is what
// failed to load.
// Crash signals (SIGSEGV, SIGABRT) are left alone: rendering and writing a template allocates, which
// is not safe with the heap in an unknown state.
class RecoveryKeeper : public QObject
{
    Q_OBJECT
public:
    // A child of window; the copy lives in directory.
    RecoveryKeeper(MainWindow &window, const QString &directory);

    // A termination signal: writes the document if it has unsaved changes: in text mode the text as
    // typed; with a page open, the document with the page's fields in it when they pass their checks
    // (the offer says when they did not); when a failed text-mode update emptied it, the work taken before.
    void keepNow();
    // Start-up: when a recovered copy is there, asks whether to open it and removes it either way.
    // Yes loads it as an unsaved document with the path it had.
    void offerRecovered();

    const RecoveryCopy &copy() const { return m_copy; }

private:
    bool hasUnsavedWork() const;
    void takeWork();
    bool workIsUnsaved() const;
    void write(QByteArrayView bytes, const QString &note = QString());
    // Commits an open page whose fields pass their checks; else the note for the offer.
    QString takeOpenPage();

    MainWindow &m_window;
    RecoveryCopy m_copy;
    // The file the document's work belongs to; never a temporary file.
    QString m_path;
    QByteArray m_work;
    bool m_haveWork = false;
    bool m_workUnsaved = false; // the document was modified when its work was taken
};

} // namespace kova
