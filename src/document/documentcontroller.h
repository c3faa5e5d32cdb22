#pragma once

#include "loader.h"
#include "recentfiles.h"
#include "tempfiles.h"

#include <QObject>

#include <optional>

namespace kova {

class EditScreens;
class FileChooser;
class Preferences;
class Prompter;
class RegExportConverter;
class TemplateDocument;

// The document commands of the main window (New, Open, Open recent, Save, Save As, the "Strings"
// option, LoadDocument, the caption and the closing questions), free of widgets. The window shows
// what the signals say; the tests drive it directly.
class DocumentController : public QObject
{
    Q_OBJECT

public:
    // Which commands the window offers. documentCommands: Save, Save As, Print, POLEDIT, text mode;
    // treeCommands: Expand and Collapse; overview: the "&Overview" tab and the tree.
    struct CommandState
    {
        bool documentCommands = false;
        bool treeCommands = false;
        bool overview = false;
        bool operator==(const CommandState &) const = default;
    };

    enum class CloseDecision {
        Cancel,   // the window stays open
        CloseNow, // an edit screen was abandoned: close at once, temporary files stay
        Close,    // close and delete the temporary files of the run
    };

    DocumentController(TemplateDocument &document, Prompter &prompter, FileChooser &chooser, Preferences &preferences,
                       QObject *parent = nullptr);

    TemplateDocument &document() { return m_document; }
    RecentFiles &recentFiles() { return m_recent; }
    TempFiles &tempFiles() { return m_tempFiles; }
    Preferences &preferences() { return m_preferences; }
    FileChooser &chooser() { return m_chooser; }
    const CommandState &commandState() const { return m_state; }

    // Registry exports are opened through converter (it must outlive the controller or be unset).
    void setRegConverter(RegExportConverter *converter) { m_regConverter = converter; }
    // The node pages and the raw text view; without them no edit screen is ever open.
    void setEditScreens(EditScreens *screens) { m_editScreens = screens; }

    // Start-up: the "Strings" option and the recent files from the preferences.
    void readPreferences();

    bool EditScreenOpen(bool showMessage);
    void UpdateCaption();
    QString caption() const { return m_caption; }

    bool newDocument();
    bool open();
    bool openRecent(int item);
    bool save();
    bool saveAs();
    void toggleStrings();
    void setNewerStatements(bool on);
    bool newerStatements() const;

    // Loads path (a ".reg" export through the converter first; an ".admx" read with its ADML as a new,
    // untitled template). Returns the loader's result.
    LoadResult LoadDocument(const QString &path, bool reportLine);

    // The ADMX the open template was read from, until Save As makes it an ADM file or another opens.
    QString admxSource() const { return m_admxSource; }
    // Options, "ADMX Language": remembers language (an ADML folder such as "de-DE"; "" for the user's
    // own language, else en-US) and reads the open ADMX again in it, asking first when the template was
    // changed since it was read. A failed read keeps the template as it was.
    bool setAdmxLanguage(const QString &language);

    // The closing questions. The caller deletes the temporary files when the answer is Close.
    CloseDecision closeRequest();

signals:
    void captionChanged(const QString &caption);
    void commandStateChanged();
    void stringsOptionChanged(bool on);
    // The option "Accept statements of newer templates" was turned on or off.
    void newerStatementsChanged(bool on);
    // New made an empty template: close any editor page and empty the node preview.
    void documentCreated();
    // A load succeeded: select the root and show its content.
    void documentLoaded();
    // Open or Open recent loaded a file: the tree takes the focus.
    void focusTreeRequested();
    // A fatal load fault: the program ends at once.
    void fatalFault();

private:
    bool askSaveChanges();
    bool loadChosen(const QString &path);
    LoadResult loadAdmx(const QString &path, bool keepOnFailure = false);
    void admxChanged() { m_admxChanged = true; }
    // After a read: a fatal fault ends the program, a failed read leaves no document; true when it loaded.
    bool settleLoad(const LoadResult &result);
    void loadFailed();
    void setCommandState(const CommandState &state);

    TemplateDocument &m_document;
    Prompter &m_prompter;
    FileChooser &m_chooser;
    Preferences &m_preferences;
    RecentFiles m_recent;
    TempFiles m_tempFiles;
    CommandState m_state;
    QString m_caption;
    RegExportConverter *m_regConverter = nullptr;
    EditScreens *m_editScreens = nullptr;
    QString m_admxSource;
    bool m_admxChanged = false; // the template read from m_admxSource was changed since
};

} // namespace kova
