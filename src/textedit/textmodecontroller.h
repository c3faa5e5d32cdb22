#pragma once

#include "document/encoding.h"

#include <QObject>
#include <QString>

class QMenu;
class QToolBar;
class QWidget;

namespace kova {

class AdmTextEditor;
class TextModeCommands;
class TextModeHost;
class TextModePage;

// Raw text mode: the whole template as ADM text in an editor, taken back through the loader.
// The controller holds the text-mode state (saved file name and modified flag, text-changed and
// loading flags) and runs every operation; the page, the Editor menu and the toolbar only call it.
// The window places page(), editorMenu() and toolBar() once (hidden) and swaps them in and out in
// TextModeHost::showTextView().
class TextModeController : public QObject
{
    Q_OBJECT

public:
    // The page, menu and toolbar are made as children of window.
    TextModeController(TextModeHost &host, QWidget *window);
    ~TextModeController() override;

    TextModePage *page() const { return m_page; }
    AdmTextEditor *editor() const;
    QMenu *editorMenu() const;
    QToolBar *toolBar() const;
    TextModeCommands *commands() const { return m_commands; }

    // --- state ---
    bool isTextModeOn() const { return m_on; }
    bool isLoading() const { return m_loading; }
    bool isTextChanged() const { return m_textChanged; }
    QString savedFileName() const { return m_savedFileName; }
    bool savedModified() const { return m_savedModified; }

    // --- operations ---
    // Writes the template to a new temporary file and shows it in the editor. False when an edit
    // screen is open or the template could not be written (tree mode and the document unchanged).
    bool EnterTextMode();
    // Loads the edited text back. True when the loader took it and the window is back in tree mode;
    // false when text mode stays on (the loader's message has been shown and the caret stands at the
    // start of the reported line). The close sequence uses the result to decide whether to go on.
    // Outside text mode there is nothing to apply: true at once.
    bool TextModeUpdate();
    // Drops the edit: the template as it was on entry, with its modified flag. Nothing outside text mode.
    void TextModeNoUpdate();
    void GotoLine();
    void FindFirst();
    void FindNext();
    void ShowLinePosition();
    int LineCount() const;
    // The edited text as Update hands it to the loader: CR LF line ends, in the template's encoding (a
    // user-chosen code page as UTF-8, which the loader recognises by itself).
    QByteArray editedFileBytes() const;
    // The editor's text with "\n" at the end of every line but the last, every other character as typed.
    QString editorText() const;

    // The Go to line and Find commands: give that field the focus.
    void focusGotoField();
    void focusSearchField();
    // A text-mode toolbar button by its description; an unknown description does nothing.
    void runToolbarCommand(const QString &description);
    // An Editor menu item by its name (M_Update, ...); an unknown name does nothing.
    void runMenuCommand(const QString &name);

    // Fills the editor with a file's text, as plain text and with the loading flag set (text mode
    // itself, and printing the template from tree mode). False when the file cannot be read.
    bool loadEditorFromFile(const QString &path);

private:
    void onEditorTextChanged();
    void setCaretPosition(int position);
    void selectRange(int start, int length);
    void leaveTextMode();
    void enableOutsideTools();

    TextModeHost &m_host;
    TextModePage *m_page;
    TextModeCommands *m_commands;

    bool m_on = false;
    bool m_loading = false;
    bool m_textChanged = false;
    QString m_savedFileName;
    bool m_savedModified = false;
    // The encoding the template was written in on entry; the edited text goes back the same way.
    TextEncoding m_encoding = TextEncoding::Windows1252;
};

} // namespace kova
