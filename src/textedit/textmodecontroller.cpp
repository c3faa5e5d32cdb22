#include "textmodecontroller.h"

#include "admtexteditor.h"
#include "document/filesave.h"
#include "document/prompter.h"
#include "document/stringviews.h"
#include "document/tempfiles.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "textmodecommands.h"
#include "textmodefield.h"
#include "textmodehost.h"
#include "textmodepage.h"
#include "textmodetext.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QToolBar>

#include <cmath>

namespace kova {

namespace {

// The wait cursor for one operation, restored on every way out.
class WaitCursor
{
public:
    explicit WaitCursor(TextModeHost &host) : m_host(host) { m_host.setWaitCursor(true); }
    ~WaitCursor() { m_host.setWaitCursor(false); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    TextModeHost &m_host;
};

} // namespace

TextModeController::TextModeController(TextModeHost &host, QWidget *window)
    : QObject(window), m_host(host), m_page(new TextModePage(window)), m_commands(new TextModeCommands(window))
{
    m_page->hide();
    m_commands->toolBar()->hide();
    m_commands->menu()->menuAction()->setVisible(false);

    AdmTextEditor *text = m_page->editor();
    // A change the user makes always adds an undo step; re-colouring the text changes formats only
    // and adds none, so it never counts as an edit.
    connect(text->document(), &QTextDocument::undoCommandAdded, this, &TextModeController::onEditorTextChanged);
    connect(text, &QPlainTextEdit::textChanged, this, &TextModeController::ShowLinePosition);
    connect(text, &QPlainTextEdit::cursorPositionChanged, this, &TextModeController::ShowLinePosition);
    connect(text, &QPlainTextEdit::selectionChanged, this, &TextModeController::ShowLinePosition);
    connect(m_page->gotoField(), &TextModeField::enterPressed, this, &TextModeController::GotoLine);
    connect(m_page->searchField(), &TextModeField::enterPressed, this, &TextModeController::FindFirst);
    connect(m_commands, &TextModeCommands::menuItemChosen, this, &TextModeController::runMenuCommand);
    connect(m_commands, &TextModeCommands::toolButtonPressed, this, &TextModeController::runToolbarCommand);
    enableOutsideTools();
    ShowLinePosition();
}

TextModeController::~TextModeController() = default;

AdmTextEditor *TextModeController::editor() const
{
    return m_page->editor();
}

QMenu *TextModeController::editorMenu() const
{
    return m_commands->menu();
}

QToolBar *TextModeController::toolBar() const
{
    return m_commands->toolBar();
}

void TextModeController::onEditorTextChanged()
{
    if (!m_loading)
        m_textChanged = true;
}

bool TextModeController::loadEditorFromFile(const QString &path)
{
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadOnly);
    const QString text = ok ? editorTextFromFile(decodeText(file.readAll())) : QString();
    QScopedValueRollback<bool> loading(m_loading, true);
    editor()->setPlainText(text);
    return ok;
}

bool TextModeController::EnterTextMode()
{
    if (m_host.EditScreenOpen(true))
        return false;
    WaitCursor wait(m_host);
    TemplateDocument &document = m_host.document();

    m_savedFileName = document.path();
    m_savedModified = document.isModified();
    m_textChanged = false;

    QString error;
    const QString tempFile = NewTempFile(m_host.tempFiles(), &error);
    if (tempFile.isEmpty()) {
        m_host.prompter().tell(error, Message::Icon::Exclamation);
        return false;
    }
    document.setPath(tempFile);
    // The text travels through the temporary files in a form the loader recognises by itself; a
    // code page the user chose is the document's again once the text is taken back.
    m_encoding = document.encoding();
    if (isCodePage(m_encoding))
        document.setEncoding(TextEncoding::Utf8);
    m_host.textModeStarting();
    if (!WriteTemplate(document, m_host.prompter())) {
        document.setEncoding(m_encoding);
        document.setPath(m_savedFileName);
        m_host.UpdateCaption();
        m_host.textModeEnded();
        return false;
    }
    if (!isCodePage(m_encoding))
        m_encoding = document.encoding(); // the writer may have widened Windows-1252 to UTF-16LE
    {
        QScopedValueRollback<bool> loading(m_loading, true);
        document.clear();
        loadEditorFromFile(tempFile);
    }

    m_on = true;
    enableOutsideTools();
    m_page->searchField()->clear();
    m_page->gotoField()->clear();
    m_host.showTextView(true);
    editor()->setFocus(Qt::OtherFocusReason);
    ShowLinePosition();
    return true;
}

bool TextModeController::TextModeUpdate()
{
    if (!m_on)
        return true; // nothing to apply
    WaitCursor wait(m_host);
    TemplateDocument &document = m_host.document();
    const QString entryFile = document.path();
    QScopedValueRollback<bool> loading(m_loading, true);

    QString error;
    const QString editedFile = NewTempFile(m_host.tempFiles(), &error);
    bool written = false;
    if (!editedFile.isEmpty())
        written = saveFileAtomically(editedFile, editedFileBytes(), &error);
    if (!written) {
        // Nothing reached the loader; the edit stays as it is.
        m_host.prompter().tell(error, Message::Icon::Exclamation);
        editor()->setFocus(Qt::OtherFocusReason);
        return false;
    }

    document.setPath(editedFile);
    const LoadResult result = m_host.LoadDocument(editedFile, true);
    if (result.status == LoadResult::Status::Fatal)
        return false; // the window ends the program
    if (result.loaded()) {
        if (isCodePage(m_encoding))
            document.setEncoding(m_encoding);
        document.setPath(m_savedFileName);
        m_host.UpdateCaption();
        m_host.textModeApplied(m_textChanged);
        leaveTextMode();
        document.setModified(m_savedModified || m_textChanged);
        return true;
    }

    document.setPath(entryFile);
    if (result.errorLine >= 1) {
        const int position = positionAfterLineEnds(editorText(), result.errorLine - 1);
        if (position >= 0)
            setCaretPosition(position);
    }
    ShowLinePosition();
    editor()->setFocus(Qt::OtherFocusReason);
    return false;
}

QByteArray TextModeController::editedFileBytes() const
{
    const QString fileText = concat({fileTextFromEditor(editorText()), u"\r\n"});
    TextEncoding encoding = isCodePage(m_encoding) ? TextEncoding::Utf8 : m_encoding;
    return encodeText(fileText, encoding);
}

void TextModeController::TextModeNoUpdate()
{
    if (!m_on)
        return;
    WaitCursor wait(m_host);
    TemplateDocument &document = m_host.document();
    QScopedValueRollback<bool> loading(m_loading, true);
    const LoadResult result = m_host.LoadDocument(document.path(), false);
    if (result.status == LoadResult::Status::Fatal)
        return; // the window ends the program
    if (result.loaded() && isCodePage(m_encoding))
        document.setEncoding(m_encoding);
    document.setPath(m_savedFileName);
    m_host.UpdateCaption();
    leaveTextMode();
    document.setModified(m_savedModified);
}

void TextModeController::leaveTextMode()
{
    m_on = false;
    m_host.textModeEnded();
    m_host.showTextView(false);
    editor()->clear();
}

void TextModeController::ShowLinePosition()
{
    const int position = editor()->textCursor().selectionStart();
    const int line = editor()->document()->findBlock(position).blockNumber();
    m_page->lineDisplay()->setText(lineDisplayText(line + 1, LineCount()));
}

QString TextModeController::editorText() const
{
    // The raw text, not toPlainText(): that one turns no-break spaces into blanks and line separators
    // inside a line into line ends, which would change the template behind the user's back.
    QString text = editor()->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

int TextModeController::LineCount() const
{
    return editor()->document()->blockCount();
}

void TextModeController::setCaretPosition(int position)
{
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(position);
    editor()->setTextCursor(cursor);
}

void TextModeController::selectRange(int start, int length)
{
    QTextCursor cursor = editor()->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    editor()->setTextCursor(cursor);
}

void TextModeController::GotoLine()
{
    const std::optional<double> value = numericValue(m_page->gotoField()->text());
    if (!value) {
        m_host.prompter().tell(QStringLiteral("Value isn't numeric"), Message::Icon::Exclamation);
        return;
    }
    const double n = *value;
    const int count = LineCount();
    if (n > count || n < 1) {
        m_host.prompter().tell(concat({u"Valid line numbers are 1-", QString::number(count)}),
                               Message::Icon::Exclamation);
        return;
    }
    // A fractional line number matches no count of line ends: the caret stays.
    if (n == std::floor(n)) {
        const int position = positionAfterLineEnds(editorText(), int(n) - 1);
        if (position >= 0)
            setCaretPosition(position);
    }
    ShowLinePosition();
    editor()->setFocus(Qt::OtherFocusReason);
}

void TextModeController::FindFirst()
{
    const int caret = editor()->textCursor().selectionStart();
    const QString pattern = trimSpaces(m_page->searchField()->text()).toLower();
    if (!pattern.isEmpty()) {
        const qsizetype found = editorText().indexOf(pattern, 0, Qt::CaseInsensitive);
        if (found >= 0) {
            selectRange(int(found), int(pattern.size()));
            editor()->setFocus(Qt::OtherFocusReason);
        } else {
            setCaretPosition(caret);
            m_host.prompter().tell(concat({u"\"", pattern, u"\" not found"}), Message::Icon::Exclamation);
        }
    }
    ShowLinePosition();
    editor()->setFocus(Qt::OtherFocusReason);
}

void TextModeController::FindNext()
{
    const QString pattern = trimSpaces(m_page->searchField()->text());
    if (pattern.isEmpty()) {
        focusSearchField();
        return;
    }
    const int from = editor()->textCursor().selectionStart() + 1;
    const qsizetype found = editorText().indexOf(pattern, from, Qt::CaseInsensitive);
    if (found >= 0) {
        selectRange(int(found), int(pattern.size()));
        editor()->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_host.prompter().tell(concat({u"\"", pattern, u"\" not found after current position"}),
                           Message::Icon::Exclamation);
}

void TextModeController::focusGotoField()
{
    m_page->gotoField()->setFocus(Qt::ShortcutFocusReason);
}

void TextModeController::focusSearchField()
{
    m_page->searchField()->setFocus(Qt::ShortcutFocusReason);
}

void TextModeController::enableOutsideTools()
{
    const OutsideTools *tools = m_host.outsideTools();
    const bool print = hasTool(tools, OutsideTools::Tool::Print);
    m_commands->toolButton(QStringLiteral("Print"))->setEnabled(print);
    m_commands->menuItem(QStringLiteral("M_EPrint"))->setEnabled(print);
    m_commands->toolButton(QStringLiteral("Help"))->setEnabled(hasTool(tools, OutsideTools::Tool::Help));
    m_commands->toolButton(QStringLiteral("Mail"))->setEnabled(hasTool(tools, OutsideTools::Tool::Mail));
    m_commands->toolButton(QStringLiteral("Web"))->setEnabled(hasTool(tools, OutsideTools::Tool::Web));
}

void TextModeController::runToolbarCommand(const QString &description)
{
    const auto call = [this](OutsideTools::Tool tool) {
        if (OutsideTools *tools = m_host.outsideTools())
            tools->run(tool);
    };
    if (description == u"Update")
        TextModeUpdate();
    else if (description == u"DontSave")
        TextModeNoUpdate();
    else if (description == u"Goto")
        focusGotoField();
    else if (description == u"Find")
        focusSearchField();
    else if (description == u"FindNext")
        FindNext();
    else if (description == u"Print")
        call(OutsideTools::Tool::Print);
    else if (description == u"Help")
        call(OutsideTools::Tool::Help);
    else if (description == u"Mail")
        call(OutsideTools::Tool::Mail);
    else if (description == u"Web")
        call(OutsideTools::Tool::Web);
}

void TextModeController::runMenuCommand(const QString &name)
{
    if (name == u"M_Update")
        runToolbarCommand(QStringLiteral("Update"));
    else if (name == u"M_NoUpdate")
        runToolbarCommand(QStringLiteral("DontSave"));
    else if (name == u"M_Goto")
        runToolbarCommand(QStringLiteral("Goto"));
    else if (name == u"M_Find")
        runToolbarCommand(QStringLiteral("Find"));
    else if (name == u"M_FindNext")
        runToolbarCommand(QStringLiteral("FindNext"));
    else if (name == u"M_EPrint")
        runToolbarCommand(QStringLiteral("Print"));
}

} // namespace kova
