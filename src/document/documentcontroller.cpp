#include "documentcontroller.h"

#include "regexportconverter.h"

#include "editscreens.h"

#include "filechooser.h"
#include "preferences.h"
#include "prompter.h"
#include "templatedocument.h"
#include "writer.h"

#include "admx/admximport.h"

#include <QFile>
#include <QLocale>

namespace kova {

namespace {
const QString kProgramTitle = QStringLiteral("Kova");
const Message kSaveChanges{QStringLiteral("Save changes in current file?"), Message::Icon::Exclamation,
                           Message::Buttons::YesNoCancel};
} // namespace

DocumentController::DocumentController(TemplateDocument &document, Prompter &prompter, FileChooser &chooser,
                                       Preferences &preferences, QObject *parent)
    : QObject(parent), m_document(document), m_prompter(prompter), m_chooser(chooser), m_preferences(preferences),
      m_recent(preferences), m_caption(kProgramTitle)
{
    connect(&m_document, &TemplateDocument::written, &m_recent, &RecentFiles::AddRecentFile);
    connect(&m_document, &TemplateDocument::unreadable, &m_recent, &RecentFiles::RemoveRecentFile);
    // Whether the template read from an ADMX is still as it was read, and still that template.
    for (auto changed : {&TemplateDocument::nodeInserted, &TemplateDocument::nodeChanged, &TemplateDocument::nodeMoved})
        connect(&m_document, changed, this, &DocumentController::admxChanged);
    connect(&m_document, &TemplateDocument::nodeRemoved, this, &DocumentController::admxChanged);
    connect(&m_document, &TemplateDocument::reset, this, &DocumentController::admxChanged);
}

void DocumentController::readPreferences()
{
    m_document.setStringsOption(m_preferences.strings());
    emit stringsOptionChanged(m_document.stringsOption());
    m_recent.load();
}

bool DocumentController::EditScreenOpen(bool showMessage)
{
    const bool open = m_editScreens && m_editScreens->editScreenOpen();
    if (open && showMessage)
        m_prompter.tell(QStringLiteral("There is an edit screen open. Close it first"), Message::Icon::Exclamation);
    return open;
}

void DocumentController::UpdateCaption()
{
    const QString path = m_document.path();
    m_caption = path.trimmed().isEmpty() ? kProgramTitle : kProgramTitle + QStringLiteral(" - ") + path;
    emit captionChanged(m_caption);
}

void DocumentController::setCommandState(const CommandState &state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit commandStateChanged();
}

// True when the command may go on.
bool DocumentController::askSaveChanges()
{
    if (!m_document.isModified())
        return true;
    switch (m_prompter.ask(kSaveChanges)) {
    case Answer::Yes: return saveAs();
    case Answer::No: return true;
    default: return false;
    }
}

bool DocumentController::newDocument()
{
    if (EditScreenOpen(true) || !askSaveChanges())
        return false;
    m_document.newTemplate();
    m_admxSource.clear();
    setCommandState({true, m_state.treeCommands, true});
    emit documentCreated();
    return true;
}

bool DocumentController::open()
{
    if (EditScreenOpen(true) || !askSaveChanges())
        return false;
    const QString path = m_chooser.chooseFile({QStringLiteral("Open"), FileRequest::Mode::Open, m_document.path()});
    if (path.isEmpty())
        return false;
    return loadChosen(path);
}

bool DocumentController::openRecent(int item)
{
    if (EditScreenOpen(true) || !askSaveChanges())
        return false;
    const QString path = m_recent.item(item);
    if (path.trimmed().isEmpty())
        return false;
    return loadChosen(path);
}

bool DocumentController::loadChosen(const QString &path)
{
    m_document.setPath(path);
    if (!LoadDocument(path, false).loaded())
        return false;
    emit focusTreeRequested();
    return true;
}

bool DocumentController::settleLoad(const LoadResult &result)
{
    if (result.status == LoadResult::Status::Fatal) {
        emit fatalFault();
        return false;
    }
    if (!result.loaded()) {
        loadFailed();
        return false;
    }
    return true;
}

void DocumentController::loadFailed()
{
    m_document.setPath(QString());
    UpdateCaption();
    setCommandState({false, false, false});
}

// An ADMX and its ADML become a new template, as a converted registry export does: untitled and
// changed, so that Save asks where the ADM goes. What ADM cannot hold is said in one message.
LoadResult DocumentController::loadAdmx(const QString &path, bool keepOnFailure)
{
    admx::ImportOptions options;
    // The language chosen in Options comes first, else the user's own; en-US follows either.
    options.userLanguage = m_preferences.admxLanguage();
    if (options.userLanguage.isEmpty())
        options.userLanguage = QLocale::system().name().replace(u'_', u'-');
    const admx::ImportResult imported = admx::importAdmx(path, options);
    if (!imported.ok) {
        m_prompter.tell(imported.error, Message::Icon::Exclamation);
        if (!keepOnFailure) {
            m_document.clear();
            loadFailed();
        }
        return {};
    }
    // EXPLAIN, SUPPORTED and CLIENTEXT carry what the ADMX says, and every later read of the template
    // (text mode, the recovered copy, the ADM saved) needs them: the option is turned on.
    setNewerStatements(true);
    LoadOptions load;
    load.newerStatements = true;
    const LoadResult result = loadTemplateBytes(m_document, imported.adm, m_prompter, load);
    if (!settleLoad(result))
        return result;
    m_document.setPath(QString());
    m_document.setModified(true);
    UpdateCaption();
    setCommandState({true, true, true});
    emit documentLoaded();
    m_admxSource = path;
    m_admxChanged = false;
    if (!imported.warnings.isEmpty()) {
        QStringList lines;
        for (const admx::Warning &w : imported.warnings)
            lines.append(admx::formatWarning(w));
        m_prompter.tell(QStringLiteral("An ADM template cannot hold everything of this ADMX (%1 warnings):\r\n\r\n")
                                .arg(lines.size()) +
                            lines.join(QStringLiteral("\r\n")),
                        Message::Icon::Exclamation);
    }
    return result;
}

LoadResult DocumentController::LoadDocument(const QString &path, bool reportLine)
{
    if (path.toLower().endsWith(u".admx"))
        return loadAdmx(path);
    m_admxSource.clear();
    QString loadPath = path;
    const bool converted = path.toLower().endsWith(u".reg");
    if (converted) {
        std::optional<QString> temporary;
        if (m_regConverter)
            temporary = m_regConverter->convertExport(path);
        else
            m_prompter.tell(QStringLiteral("Registry files cannot be converted in this version"),
                            Message::Icon::Exclamation);
        if (!temporary)
            return {};
        loadPath = *temporary;
    }

    LoadOptions options{reportLine, m_preferences.newerStatements()};
    options.encoding = encodingFromName(m_preferences.encodingFor(loadPath)); // Reopen with Encoding
    const LoadResult result = Vullen(m_document, loadPath, m_prompter, options);
    if (!settleLoad(result))
        return result;
    m_document.setPath(loadPath);
    m_document.setModified(false);
    UpdateCaption();
    setCommandState({true, true, true});
    emit documentLoaded();
    m_recent.AddRecentFile(loadPath);
    if (converted) {
        m_document.setModified(true);
        QFile::remove(loadPath);
        m_document.setPath(QString());
        UpdateCaption();
    }
    return result;
}

bool DocumentController::setAdmxLanguage(const QString &language)
{
    if (m_admxSource.isEmpty()) {
        m_preferences.setAdmxLanguage(language);
        return true;
    }
    const QString source = m_admxSource; // a Save As on the way makes the template an ADM file
    if (EditScreenOpen(true) || (m_admxChanged && !askSaveChanges()))
        return false;
    m_preferences.setAdmxLanguage(language);
    return loadAdmx(source, true).loaded();
}

bool DocumentController::save()
{
    if (EditScreenOpen(true))
        return false;
    if (m_document.texts().isEmpty()) {
        m_prompter.tell(QStringLiteral("There is nothing to save"), Message::Icon::Exclamation);
        return false;
    }
    if (m_document.path().trimmed().isEmpty())
        return saveAs();
    const bool written = WriteTemplate(m_document, m_prompter);
    UpdateCaption();
    return written;
}

bool DocumentController::saveAs()
{
    if (EditScreenOpen(true))
        return false;
    if (m_document.texts().isEmpty()) {
        m_prompter.tell(QStringLiteral("There is nothing to save"), Message::Icon::Exclamation);
        return false;
    }
    const QString path =
        m_chooser.chooseFile({QStringLiteral("Save file as"), FileRequest::Mode::Save, m_document.path()});
    if (path.isEmpty())
        return false; // the current path was never touched
    m_document.setPath(path);
    const bool written = WriteTemplate(m_document, m_prompter);
    UpdateCaption();
    if (written)
        m_admxSource.clear(); // the template is that ADM file now
    return written;
}

void DocumentController::toggleStrings()
{
    const bool on = !m_document.stringsOption();
    m_document.setStringsOption(on);
    emit stringsOptionChanged(on);
    m_preferences.setStrings(on);
    // Only a template that holds more than the root and the two classes changes on disk.
    if (m_document.texts().highestSlot() > 3)
        m_document.setModified(true);
}

void DocumentController::setNewerStatements(bool on)
{
    if (on == m_preferences.newerStatements())
        return;
    m_preferences.setNewerStatements(on);
    emit newerStatementsChanged(on);
}

bool DocumentController::newerStatements() const
{
    return m_preferences.newerStatements();
}

DocumentController::CloseDecision DocumentController::closeRequest()
{
    if (EditScreenOpen(false)) {
        const Answer a = m_prompter.ask({QStringLiteral("There is an edit screen open. Exit without saving changes?"),
                                         Message::Icon::Exclamation, Message::Buttons::YesNo});
        return a == Answer::Yes ? CloseDecision::CloseNow : CloseDecision::Cancel;
    }
    if (m_document.isModified()) {
        switch (m_prompter.ask(kSaveChanges)) {
        case Answer::Yes:
            // Text the loader refuses stays in text mode to be mended; nothing is saved.
            if (m_editScreens && m_editScreens->textModeShown() && !m_editScreens->applyTextMode())
                return CloseDecision::Cancel;
            if (!saveAs())
                return CloseDecision::Cancel;
            break;
        case Answer::No: break;
        default: return CloseDecision::Cancel;
        }
    }
    return CloseDecision::Close;
}

} // namespace kova
