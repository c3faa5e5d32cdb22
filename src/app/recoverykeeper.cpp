#include "recoverykeeper.h"

#include "mainwindow.h"

#include "editors/editorpage.h"
#include "editors/editorpages.h"

#include "document/filesave.h"
#include "document/prompter.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "textedit/textmodecontroller.h"

#include <QFile>

namespace kova {

RecoveryKeeper::RecoveryKeeper(MainWindow &window, const QString &directory)
    : QObject(&window), m_window(window), m_copy(directory)
{
    TemplateDocument &document = window.document();
    // The file the work belongs to is settled when a template is loaded or made, and when it is saved
    // under a name; not when Open names the next file before reading it, so that the work a failed
    // load ends is not named after that file. A temporary file (a converted export, text mode,
    // printing) names none.
    m_path = document.path();
    const auto isTemporary = [](const QString &path) { return path.contains(u".tmp", Qt::CaseInsensitive); };
    connect(&document, &TemplateDocument::written, this, [this, isTemporary](const QString &path) {
        if (!isTemporary(path))
            m_path = path;
    });
    connect(&document, &TemplateDocument::aboutToReset, this, &RecoveryKeeper::takeWork);
    const auto dropWork = [this, isTemporary] {
        m_work.clear();
        m_haveWork = m_workUnsaved = false;
        const QString path = m_window.document().path();
        m_path = isTemporary(path) ? QString() : path;
    };
    connect(&window.controller(), &DocumentController::documentLoaded, this, dropWork);
    connect(&window.controller(), &DocumentController::documentCreated, this, dropWork);
    connect(&window, &MainWindow::fatalFault, this, [this] {
        if (workIsUnsaved())
            write(m_work);
    });
}

bool RecoveryKeeper::hasUnsavedWork() const
{
    if (m_window.document().isModified())
        return true;
    // Text mode holds the template as text and the document empty; the flag it had is kept aside.
    const TextModeController *mode = m_window.textMode();
    return mode && mode->isTextModeOn() && (mode->savedModified() || mode->isTextChanged());
}

void RecoveryKeeper::takeWork()
{
    // Entering text mode writes the template (which clears the modified flag) and then empties the
    // document: what it held is taken then, and whether it was unsaved work is settled when it is
    // needed, by the text mode's own record.
    const TextModeController *mode = m_window.textMode();
    const bool textMode = mode && (mode->isTextModeOn() || mode->isLoading());
    const TemplateDocument &document = m_window.document();
    if (!document.root() || (!document.isModified() && !textMode))
        return;
    m_work = RecoveryCopy::render(document);
    m_haveWork = true;
    m_workUnsaved = document.isModified();
}

bool RecoveryKeeper::workIsUnsaved() const
{
    return m_haveWork && (m_workUnsaved || hasUnsavedWork());
}

void RecoveryKeeper::write(QByteArrayView bytes, const QString &note)
{
    // Nobody may be there to read a message: a copy that cannot be written is given up silently.
    m_copy.write(bytes, m_path, note);
}

void RecoveryKeeper::keepNow()
{
    const TextModeController *mode = m_window.textMode();
    if (mode && mode->isTextModeOn()) {
        if (hasUnsavedWork())
            write(mode->editedFileBytes());
    } else if (m_window.document().root()) {
        const QString note = takeOpenPage();
        if (hasUnsavedWork())
            write(RecoveryCopy::render(m_window.document()), note);
    } else if (workIsUnsaved()) {
        write(m_work);
    }
}

QString RecoveryKeeper::takeOpenPage()
{
    // The editor is ending: an open page whose fields pass their checks is committed as "Ok" would,
    // so the copy holds them; one whose fields do not is left out, and the offer says so.
    EditorPages &pages = m_window.editors();
    if (!pages.isOpen())
        return {};
    const EditorKind kind = pages.session().kind();
    const EditorPage::Composition c = pages.page(kind)->composition();
    if (c.error)
        return QStringLiteral("The changes on the open ") + kindNoun(kind) +
               QStringLiteral(" page are not in it: they did not pass the page's checks.");
    if (c.text != m_window.document().nodeText(pages.session().node()) ||
        c.caption.trimmed() != pages.session().node()->text)
        pages.session().commit(c.text, c.caption);
    return {};
}

void RecoveryKeeper::offerRecovered()
{
    if (!m_copy.exists())
        return;
    const QString source = m_copy.sourcePath();
    const QString name = source.isEmpty() ? QStringLiteral("an untitled template") : source;
    const QString note = m_copy.note();
    const Answer answer = m_window.prompter().ask(
        {QStringLiteral("Kova ended while ") + name + QStringLiteral(" had unsaved changes. ") +
             (note.isEmpty() ? QString() : note + u' ') + QStringLiteral("Open the recovered copy?"),
         Message::Icon::Exclamation, Message::Buttons::YesNo});
    // The copy goes before it is loaded: one that cannot be loaded is not offered at every start.
    QString loadPath;
    if (answer == Answer::Yes) {
        DocumentController &controller = m_window.controller();
        loadPath = NewTempFile(controller.tempFiles());
        if (!loadPath.isEmpty() && (!QFile::remove(loadPath) || !QFile::copy(m_copy.filePath(), loadPath)))
            loadPath.clear();
    }
    m_copy.remove();
    if (loadPath.isEmpty())
        return;
    DocumentController &controller = m_window.controller();
    if (!controller.LoadDocument(loadPath, false).loaded())
        return;
    TemplateDocument &document = m_window.document();
    document.setPath(source);
    m_path = source;
    document.setModified(true);
    controller.UpdateCaption();
}

} // namespace kova
