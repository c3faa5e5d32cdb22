#include "document/writer.h"
#include "fakehost.h"
#include "recordingoutsidetools.h"
#include "templatefixtures.h"
#include "testfiles.h"
#include "textedit/admhighlighter.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecommands.h"
#include "textedit/textmodecontroller.h"
#include "textedit/textmodefield.h"
#include "textedit/textmodepage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>
#include <QTreeWidget>

#include <memory>

using namespace kova;
using namespace kova::test;

namespace {

const QString kEditScreenOpen = QStringLiteral("There is an edit screen open. Close it first");

} // namespace

// Text mode in a small host window over the sample template (19 lines written back, 20 in the editor).
class TestTextMode : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_tempDir;
    std::unique_ptr<FakeTextModeHost> m_host;
    QString m_docPath; // the sample in the test's own folder

    TextModeController &mode() { return m_host->controller(); }
    TemplateDocument &doc() { return m_host->m_document; }
    AdmTextEditor *editor() { return mode().editor(); }
    ScriptedPrompter &prompter() { return m_host->scripted(); }
    QString display() { return mode().page()->lineDisplay()->text(); }
    int caret() { return editor()->textCursor().position(); }
    void select(int anchor, int position)
    {
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
    }
    void setCaret(int position) { select(position, position); }
    // The editor's text as the user replaces it (counts as a change).
    void replaceText(const QString &text)
    {
        editor()->selectAll();
        editor()->insertPlainText(text);
    }
    QString rendered() { return renderTemplate(doc(), false); }
    int lineStart(int line) { return editor()->document()->findBlockByNumber(line - 1).position(); }
    QString lineOf(int position)
    {
        return QStringLiteral("Current line: %1 of %2")
            .arg(editor()->document()->findBlock(position).blockNumber() + 1)
            .arg(mode().LineCount());
    }
    // Runs step with a temporary folder where no file can be made, not even by root.
    template<typename Step>
    auto withoutTemporaryFiles(Step step)
    {
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", "/proc");
        prompter().allowAnything(Answer::Ok);
        const auto result = step();
        qputenv("TMPDIR", oldTmp);
        return result;
    }

    // The host as text mode leaves it: the tab pages, File and Options, the main toolbar, the tree focused.
    void verifyTreeMode()
    {
        QVERIFY(!mode().isTextModeOn());
        QCOMPARE(m_host->m_central->currentWidget(), m_host->m_treeSide);
        QVERIFY(!mode().editorMenu()->menuAction()->isVisible());
        QVERIFY(!mode().toolBar()->isVisible());
        QVERIFY(m_host->m_fileMenu->menuAction()->isVisible());
        QVERIFY(m_host->m_mainToolBar->isVisible());
        QVERIFY(m_host->m_tree->hasFocus());
        QVERIFY(editor()->toPlainText().isEmpty());
        QVERIFY(!mode().isLoading());
    }
    // The text page, the Editor menu and the text toolbar only, the editor focused.
    void verifyTextMode()
    {
        QVERIFY(mode().isTextModeOn());
        QCOMPARE(m_host->m_central->currentWidget(), mode().page());
        QVERIFY(mode().editorMenu()->menuAction()->isVisible());
        QVERIFY(mode().toolBar()->isVisible());
        QVERIFY(!m_host->m_fileMenu->menuAction()->isVisible());
        QVERIFY(!m_host->m_optionsMenu->menuAction()->isVisible());
        QVERIFY(!m_host->m_mainToolBar->isVisible());
        QVERIFY(editor()->hasFocus());
        QVERIFY(!mode().isLoading());
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_tempDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tempDir->isValid());
        // Temporary files of the run land in a folder of this test only.
        qputenv("TMPDIR", QFile::encodeName(m_tempDir->filePath(QStringLiteral("tmp"))));
        QVERIFY(QDir().mkpath(m_tempDir->filePath(QStringLiteral("tmp"))));
        QCOMPARE(QDir::tempPath(), QDir(m_tempDir->filePath(QStringLiteral("tmp"))).absolutePath());
        m_docPath = writeText(m_tempDir->filePath(QStringLiteral("sample.adm")), kSample);
    }

    void init()
    {
        m_host = std::make_unique<FakeTextModeHost>();
        m_host->window().show();
        QVERIFY(QTest::qWaitForWindowActive(&m_host->window()));
        QVERIFY(m_host->open(m_docPath));
    }

    void cleanup()
    {
        if (m_host) {
            QCOMPARE(m_host->m_waitDepth, 0);
            prompter().verifyDone(__FILE__, __LINE__);
        }
        m_host.reset();
    }

    // --- entering ---

    void enterShowsTheWrittenTemplate_data()
    {
        QTest::addColumn<bool>("strings");
        QTest::newRow("strings off") << false;
        QTest::newRow("string table") << true;
    }
    void enterShowsTheWrittenTemplate()
    {
        QFETCH(bool, strings);
        doc().setStringsOption(strings);
        const QString expected = renderTemplate(doc(), strings);
        QCOMPARE(expected.contains(QStringLiteral("[STRINGS]")), strings);
        QVERIFY(mode().EnterTextMode());

        verifyTextMode();
        QCOMPARE(editor()->toPlainText(), QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(mode().LineCount(), int(expected.count(QStringLiteral("\r\n"))) + 1);
        QCOMPARE(mode().savedFileName(), m_docPath);
        QVERIFY(!mode().isTextChanged());
        // The document now names the temporary file that holds the template as it was.
        const QFileInfo temp(doc().path());
        QVERIFY(temp.fileName().startsWith(QStringLiteral("ADM")) && temp.fileName().endsWith(QStringLiteral(".tmp")));
        QCOMPARE(temp.absolutePath(), QDir::tempPath());
        QCOMPARE(m_host->m_tempFiles.paths(), QStringList{doc().path()});
        QCOMPARE(QString::fromUtf8(readBytes(doc().path())), expected);
        // The tree is cleared while the text is edited.
        QCOMPARE(doc().root(), nullptr);
        QVERIFY(doc().texts().isEmpty());
        QVERIFY(mode().page()->searchField()->text().isEmpty());
        QVERIFY(mode().page()->gotoField()->text().isEmpty());
        QCOMPARE(display(), QStringLiteral("Current line: 1 of %1").arg(strings ? mode().LineCount() : 20));
        QCOMPARE(m_host->m_waitCalls, 1);
    }

    void enterRefused_data()
    {
        QTest::addColumn<bool>("inTextMode"); // else an edit page is open
        QTest::newRow("edit page open") << false;
        QTest::newRow("already in text mode") << true;
    }
    void enterRefused()
    {
        QFETCH(bool, inTextMode);
        const QString before = rendered();
        m_host->m_editPageOpen = !inTextMode;
        if (inTextMode)
            QVERIFY(mode().EnterTextMode());
        const QString path = doc().path();
        prompter().expect(kEditScreenOpen, Message::Icon::Exclamation);
        QVERIFY(!mode().EnterTextMode());
        QCOMPARE(mode().isTextModeOn(), inTextMode);
        QCOMPARE(doc().path(), path);
        QCOMPARE(m_host->m_tempFiles.paths().size(), inTextMode ? 1 : 0);
        QCOMPARE(m_host->m_waitCalls, inTextMode ? 1 : 0);
        if (!inTextMode)
            QCOMPARE(rendered(), before);
    }

    // Without a temporary file neither entering nor Update goes on: one message, the mode stays.
    void noTemporaryFile_data()
    {
        QTest::addColumn<bool>("updating");
        QTest::newRow("entering") << false;
        QTest::newRow("Update") << true;
    }
    void noTemporaryFile()
    {
        QFETCH(bool, updating);
        const QString before = rendered();
        doc().setModified(true);
        if (updating)
            QVERIFY(mode().EnterTextMode());
        const QString path = doc().path();
        QVERIFY(!withoutTemporaryFiles([&] { return updating ? mode().TextModeUpdate() : mode().EnterTextMode(); }));
        QCOMPARE(prompter().messages().size(), 1);
        QCOMPARE(prompter().messages().first().icon, Message::Icon::Exclamation);
        QCOMPARE(mode().isTextModeOn(), updating);
        QCOMPARE(doc().path(), path);
        QVERIFY(!mode().isLoading());
        if (!updating) {
            QVERIFY(doc().isModified());
            QCOMPARE(rendered(), before);
            QCOMPARE(m_host->m_central->currentWidget(), m_host->m_treeSide);
        }
    }

    // --- Update and No Update ---

    void updateKeepsOrSetsTheModifiedFlag_data()
    {
        QTest::addColumn<bool>("modifiedBefore");
        QTest::addColumn<bool>("strings");
        QTest::addColumn<bool>("type");
        QTest::addColumn<bool>("modifiedAfter");
        QTest::newRow("untouched, unmodified") << false << false << false << false;
        QTest::newRow("untouched, modified") << true << false << false << true;
        QTest::newRow("untouched, with string table") << false << true << false << false;
        QTest::newRow("one typed character") << false << false << true << true;
        QTest::newRow("typed, already modified") << true << false << true << true;
    }
    void updateKeepsOrSetsTheModifiedFlag()
    {
        QFETCH(bool, modifiedBefore);
        QFETCH(bool, strings);
        QFETCH(bool, type);
        QFETCH(bool, modifiedAfter);
        doc().setStringsOption(strings);
        doc().setModified(modifiedBefore);
        const QString before = rendered();
        QVERIFY(mode().EnterTextMode());
        QVERIFY(!doc().isModified());           // the write to the temporary file cleared it
        QCoreApplication::processEvents();      // let the highlighter run
        editor()->highlighter()->rehighlight(); // colouring is no edit
        if (type) {
            editor()->moveCursor(QTextCursor::End);
            QTest::keyClick(editor(), Qt::Key_Space);
        }
        QCOMPARE(mode().isTextChanged(), type);
        QVERIFY(mode().TextModeUpdate());

        verifyTreeMode();
        QCOMPARE(doc().isModified(), modifiedAfter);
        QCOMPARE(doc().path(), m_docPath);
        QCOMPARE(m_host->window().windowTitle(), QStringLiteral("Kova - ") + m_docPath);
        QCOMPARE(rendered(), before);
        // The edited text went through its own temporary file, loaded with the report-line flag on.
        const QStringList temps = m_host->m_tempFiles.paths();
        QCOMPARE(temps.size(), 2);
        QCOMPARE(m_host->m_loadCalls.last(), temps.at(1) + QStringLiteral(" on"));
        QCOMPARE(readBytes(temps.at(1)), readBytes(temps.at(0)) + (type ? " \r\n" : "\r\n"));
    }

    void everyKindOfEditCounts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("typed character") << 0;
        QTest::newRow("deleted character") << 1;
        QTest::newRow("pasted text") << 2;
        QTest::newRow("cut") << 3;
    }
    void everyKindOfEditCounts()
    {
        QFETCH(int, kind);
        QVERIFY(mode().EnterTextMode());
        setCaret(lineStart(2));
        switch (kind) {
        case 0: QTest::keyClick(editor(), Qt::Key_Tab); break;
        case 1: QTest::keyClick(editor(), Qt::Key_Backspace); break;
        case 2: editor()->insertPlainText(QStringLiteral("; pasted\n")); break;
        case 3:
            editor()->moveCursor(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
            editor()->cut();
            break;
        }
        QVERIFY(mode().isTextChanged());
        // Taking the change back still leaves the text touched.
        editor()->undo();
        QVERIFY(mode().isTextChanged());
    }

    void eachEntryStartsUntouched()
    {
        doc().setModified(false);
        QVERIFY(mode().EnterTextMode());
        QTest::keyClick(editor(), Qt::Key_Space);
        mode().TextModeNoUpdate();
        QVERIFY(mode().EnterTextMode());
        QVERIFY(!mode().isTextChanged());
        QVERIFY(mode().TextModeUpdate());
        QVERIFY(!doc().isModified());
    }

    void updateAndNoUpdateOutsideTextModeDoNothing()
    {
        doc().setModified(true);
        const QString before = rendered();
        const qsizetype loads = m_host->m_loadCalls.size();
        QVERIFY(mode().TextModeUpdate());
        mode().TextModeNoUpdate();
        QCOMPARE(m_host->m_loadCalls.size(), loads);
        QVERIFY(m_host->m_tempFiles.paths().isEmpty());
        QCOMPARE(rendered(), before);
        QVERIFY(doc().isModified());
        QCOMPARE(doc().path(), m_docPath);
    }

    void updateKeepsTheEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("name");
        const QByteArray ansi = "CLASS USER\r\nCATEGORY \"Caf\xe9\"\r\nEND CATEGORY\r\n";
        const QString special = QStringLiteral("CLASS USER\r\nCATEGORY \"A\u00a0B\u2028C\"\r\nEND CATEGORY\r\n");
        QTest::newRow("Windows-1252") << ansi << "" << int(TextEncoding::Windows1252) << "Caf\u00e9";
        QTest::newRow("UTF-16LE") << QByteArray("\xff\xfe") + wideText(QString::fromLatin1(ansi)).chopped(2) << ""
                                  << int(TextEncoding::Utf16LE) << "Caf\u00e9";
        QTest::newRow("a character beyond the code page")
            << ansi << "\u0142" << int(TextEncoding::Utf16LE) << "Caf\u00e9\u0142";
        // A no-break space and a line separator inside a quoted text are characters of the line.
        QTest::newRow("UTF-8, special characters")
            << special.toUtf8().prepend("\xef\xbb\xbf") << "" << int(TextEncoding::Utf8) << "A\u00a0B\u2028C";
    }
    void updateKeepsTheEncoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, typed);
        QFETCH(int, encoding);
        QFETCH(QString, name);
        const QString path = m_tempDir->filePath(QStringLiteral("encoded.adm"));
        QVERIFY(writeBytes(path, bytes));
        QVERIFY(m_host->open(path));
        QVERIFY(mode().EnterTextMode());
        QVERIFY(!editor()->toPlainText().contains(QChar(0xfeff)));
        QCOMPARE(mode().LineCount(), 5); // CLASS MACHINE, CLASS USER, CATEGORY, END CATEGORY, empty
        QVERIFY(mode().editorText().contains(QString(name).remove(typed) + u'"'));
        if (name.contains(QChar(0x2028))) { // found across the separator, in the editor's own positions
            mode().page()->searchField()->setText(QStringLiteral("b\u2028c"));
            mode().FindFirst();
            QCOMPARE(editor()->textCursor().selectionStart(), mode().editorText().indexOf(QStringLiteral("B\u2028C")));
        }
        if (!typed.isEmpty()) {
            setCaret(editor()->toPlainText().indexOf(QStringLiteral("\"\n")));
            editor()->insertPlainText(typed);
        }
        QVERIFY(mode().TextModeUpdate());
        QCOMPARE(int(doc().encoding()), encoding);
        QCOMPARE(doc().root()->child(1)->child(0)->text, name);
        QCOMPARE(doc().isModified(), !typed.isEmpty());
    }

    void noUpdateRestoresTreeAndFlag_data()
    {
        QTest::addColumn<bool>("modifiedBefore");
        QTest::addColumn<bool>("type");
        QTest::newRow("unmodified, typed") << false << true;
        QTest::newRow("modified, typed") << true << true;
        QTest::newRow("modified, untouched") << true << false;
    }
    void noUpdateRestoresTreeAndFlag()
    {
        QFETCH(bool, modifiedBefore);
        QFETCH(bool, type);
        doc().setModified(modifiedBefore);
        const QString before = rendered();
        const int nodes = doc().nodeCount();
        QVERIFY(mode().EnterTextMode());
        const QString entryFile = doc().path();
        if (type)
            replaceText(QStringLiteral("garbage that would never load\n\"unterminated"));
        mode().TextModeNoUpdate();

        verifyTreeMode();
        QCOMPARE(rendered(), before);
        QCOMPARE(doc().nodeCount(), nodes);
        QCOMPARE(doc().isModified(), modifiedBefore);
        QCOMPARE(doc().path(), m_docPath);
        QCOMPARE(m_host->m_loadCalls.last(), entryFile + QStringLiteral(" off"));
        QCOMPARE(m_host->window().windowTitle(), QStringLiteral("Kova - ") + m_docPath);
    }

    // A failed Update stays in text mode at the reported line; then a mended text goes through, or
    // No Update brings the template back as it was.
    void failingUpdateKeepsTextModeAtTheReportedLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caretBefore");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("mend");
        QTest::newRow("line 1, mended") << "BOGUS\nCLASS MACHINE\nCATEGORY \"A\"\nEND CATEGORY" << 20 << 1
                                        << "Error in line  1" << true;
        QTest::newRow("line 3, mended") << "CLASS MACHINE\nCATEGORY \"A\"\nBOGUS\nEND CATEGORY" << 0 << 3
                                        << "Error in line  3" << true;
        QTest::newRow("bad category name, last line, mended")
            << "CLASS MACHINE\nCATEGORY \"A\"\nEND CATEGORY\nCATEGORY KEYNAME" << 2 << 4 << "Error in line 4" << true;
        QTest::newRow("then No Update") << "CLASS MACHINE\nBOGUS" << 0 << 2 << "Error in line  2" << false;
    }
    void failingUpdateKeepsTextModeAtTheReportedLine()
    {
        QFETCH(QString, text);
        QFETCH(int, caretBefore);
        QFETCH(int, line);
        QFETCH(QString, message);
        QFETCH(bool, mend);
        doc().setModified(false);
        const QString before = rendered();
        QVERIFY(mode().EnterTextMode());
        const QString entryFile = doc().path();
        replaceText(text);
        setCaret(caretBefore);
        prompter().expect(message, Message::Icon::None);
        QVERIFY(!mode().TextModeUpdate());

        verifyTextMode();
        QCOMPARE(editor()->toPlainText(), text);
        QCOMPARE(caret(), lineStart(line));
        QCOMPARE(display(), QStringLiteral("Current line: %1 of %2").arg(line).arg(mode().LineCount()));
        QCOMPARE(doc().path(), entryFile);
        QCOMPARE(doc().root(), nullptr);
        QVERIFY(mode().isTextChanged());

        if (mend) {
            replaceText(QStringLiteral("CLASS MACHINE\nCATEGORY \"A\"\nEND CATEGORY"));
            QVERIFY(mode().TextModeUpdate());
            QVERIFY(doc().isModified());
        } else {
            mode().TextModeNoUpdate();
            QCOMPARE(rendered(), before);
            QVERIFY(!doc().isModified());
        }
        QCOMPARE(doc().path(), m_docPath);
    }

    // --- line display, go to line, find ---

    void lineDisplay_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty text") << "" << 0 << 0 << "Current line: 1 of 1";
        QTest::newRow("first line") << "A\nB\nC" << 1 << 1 << "Current line: 1 of 3";
        QTest::newRow("last line") << "A\nB\nC" << 4 << 4 << "Current line: 3 of 3";
        QTest::newRow("empty last line") << "A\nB\n" << 4 << 4 << "Current line: 3 of 3";
        QTest::newRow("middle") << "A\nBB\nC" << 3 << 3 << "Current line: 2 of 3";
        QTest::newRow("selected upwards: where it starts") << "A\nB\nC\nD" << 6 << 2 << "Current line: 2 of 4";
    }
    void lineDisplay()
    {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, expected);
        QVERIFY(mode().EnterTextMode());
        replaceText(text);
        select(anchor, position);
        QCOMPARE(display(), expected);
    }

    void gotoLine_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("line"); // 0: the caret stays
        const QString range = QStringLiteral("Valid line numbers are 1-20");
        const QString numeric = QStringLiteral("Value isn't numeric");
        QTest::newRow("0") << "0" << range << 0;
        QTest::newRow("beyond the end") << "21" << range << 0;
        QTest::newRow("negative") << "-3" << range << 0;
        QTest::newRow("abc") << "abc" << numeric << 0;
        QTest::newRow("empty") << "" << numeric << 0;
        QTest::newRow("1") << "1" << QString() << 1;
        QTest::newRow("middle") << "7" << QString() << 7;
        QTest::newRow("last") << "20" << QString() << 20;
        QTest::newRow("blanks around") << " 4 " << QString() << 4;
        QTest::newRow("fraction: no move") << "2.5" << QString() << 0;
    }
    void gotoLine()
    {
        QFETCH(QString, field);
        QFETCH(QString, message);
        QFETCH(int, line);
        QVERIFY(mode().EnterTextMode());
        setCaret(lineStart(3) + 2);
        const int before = caret();
        if (!message.isEmpty())
            prompter().expect(message, Message::Icon::Exclamation);
        TextModeField *gotoField = mode().page()->gotoField();
        gotoField->setText(field);
        gotoField->setFocus();
        QTest::keyClick(gotoField, Qt::Key_Return);

        QCOMPARE(gotoField->text().trimmed(), field.trimmed()); // the Enter key was consumed
        QCOMPARE(caret(), line > 0 ? lineStart(line) : before);
        QCOMPARE(display(), lineOf(caret()));
        if (message.isEmpty())
            QVERIFY(editor()->hasFocus());
    }

    // Positions are given as the n-th match of "policy" in the sample (-1: the end of the text).
    void find_data()
    {
        QTest::addColumn<bool>("next"); // Find Next, else Find
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("selected"); // the match at from is selected
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("found"); // -1: caret and selection stay
        QTest::addColumn<QString>("message");
        QTest::newRow("find ignores case and blanks") << false << "  Policy " << -1 << false << 1 << 0 << "";
        QTest::newRow("find, not found: the pattern in lower case")
            << false << " No Such Policy" << 1 << false << 1 << -1 << "\"no such policy\" not found";
        QTest::newRow("find, empty pattern") << false << "   " << 1 << false << 1 << -1 << "";
        QTest::newRow("next from a match finds the next one") << true << "policy" << 0 << false << 1 << 1 << "";
        QTest::newRow("next walks every match") << true << "policy" << 0 << false << 3 << 3 << "";
        QTest::newRow("next past the last match keeps the selection")
            << true << " Policy  " << 6 << true << 1 << -1 << "\"Policy\" not found after current position";
    }
    void find()
    {
        QFETCH(bool, next);
        QFETCH(QString, pattern);
        QFETCH(int, from);
        QFETCH(bool, selected);
        QFETCH(int, times);
        QFETCH(int, found);
        QFETCH(QString, message);
        QVERIFY(mode().EnterTextMode());
        const QString text = editor()->toPlainText();
        QList<int> matches;
        for (int at = text.indexOf(u"policy", 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(u"policy", at + 1, Qt::CaseInsensitive))
            matches.append(at);
        QCOMPARE(matches.size(), 7);
        const int start = from < 0 ? int(text.size()) : matches.at(from);
        select(start, selected ? start + 6 : start);
        const QTextCursor before = editor()->textCursor();
        mode().page()->searchField()->setText(pattern);
        if (!message.isEmpty())
            prompter().expect(message, Message::Icon::Exclamation);
        for (int i = 0; i < times; ++i) {
            if (next) {
                mode().FindNext();
            } else {
                mode().page()->searchField()->setFocus();
                QTest::keyClick(mode().page()->searchField(), Qt::Key_Return);
            }
        }
        const QTextCursor cursor = editor()->textCursor();
        if (found < 0) {
            QCOMPARE(cursor.selectionStart(), before.selectionStart());
            QCOMPARE(cursor.selectionEnd(), before.selectionEnd());
        } else {
            QCOMPARE(cursor.selectionStart(), matches.at(found));
            QCOMPARE(cursor.selectedText().toLower(), QStringLiteral("policy"));
        }
        QCOMPARE(display(), lineOf(cursor.selectionStart()));
        if (message.isEmpty())
            QVERIFY(editor()->hasFocus());
    }

    void findNextWithAnEmptyFieldFocusesTheSearchField()
    {
        QVERIFY(mode().EnterTextMode());
        setCaret(5);
        mode().FindNext();
        QVERIFY(mode().page()->searchField()->hasFocus());
        QCOMPARE(caret(), 5);
    }

    void fieldsTrimAndSelectOnLeaving()
    {
        QVERIFY(mode().EnterTextMode());
        TextModeField *search = mode().page()->searchField();
        search->setFocus();
        QTest::keyClicks(search, QStringLiteral("  key name  "));
        editor()->setFocus();
        QCOMPARE(search->text(), QStringLiteral("key name"));
        QCOMPARE(search->selectedText(), QStringLiteral("key name"));
    }

    void clickingALabelFocusesItsField()
    {
        QVERIFY(mode().EnterTextMode());
        TextModePage *page = mode().page();
        QCOMPARE(page->searchLabel()->text(), QStringLiteral("Search for:"));
        QCOMPARE(page->gotoLabel()->text(), QStringLiteral("Goto line number:"));
        QTest::mouseClick(page->gotoLabel(), Qt::LeftButton);
        QVERIFY(page->gotoField()->hasFocus());
        QTest::mouseClick(page->searchLabel(), Qt::LeftButton);
        QVERIFY(page->searchField()->hasFocus());
    }

    // --- menu and toolbar ---

    void commandsAsTheUserSeesThem()
    {
        QCOMPARE(mode().editorMenu()->title(), QStringLiteral("&Editor"));
        QStringList keys;
        for (QAction *item : mode().editorMenu()->actions())
            if (!item->shortcut().isEmpty())
                keys << item->shortcut().toString();
        QCOMPARE(keys, (QStringList{"Ctrl+U", "Ctrl+D", "Ctrl+G", "Ctrl+F", "F3"}));
        QCOMPARE(mode().commands()->menuItem(QStringLiteral("M_NoUpdate"))->text(),
                 QStringLiteral("Don't update changes and return to GUI editor"));
        QCOMPARE(mode().commands()->toolButton(QStringLiteral("Web"))->toolTip(),
                 QStringLiteral("Go to authors website"));
        const QList<QAction *> buttons = mode().toolBar()->actions();
        QCOMPARE(std::count_if(buttons.begin(), buttons.end(),
                               [](QAction *a) { return !a->isSeparator() && !a->icon().isNull(); }),
                 9);
    }

    void menuItemsAndButtonsRunTheirCommands()
    {
        QVERIFY(mode().EnterTextMode());
        const auto item = [this](const char *name) {
            mode().commands()->menuItem(QString::fromLatin1(name))->trigger();
        };
        const auto button = [this](const char *name) {
            mode().commands()->toolButton(QString::fromLatin1(name))->trigger();
        };
        item("M_Goto");
        QVERIFY(mode().page()->gotoField()->hasFocus());
        button("Find");
        QVERIFY(mode().page()->searchField()->hasFocus());
        button("Goto");
        QVERIFY(mode().page()->gotoField()->hasFocus());
        item("M_Find");
        QVERIFY(mode().page()->searchField()->hasFocus());

        mode().page()->searchField()->setText(QStringLiteral("category"));
        setCaret(0);
        item("M_FindNext");
        QCOMPARE(editor()->textCursor().selectedText(), QStringLiteral("CATEGORY"));
        const int first = editor()->textCursor().selectionStart();
        button("FindNext");
        QVERIFY(editor()->textCursor().selectionStart() > first);

        mode().runToolbarCommand(QStringLiteral("NoSuchButton")); // does nothing
        QVERIFY(mode().isTextModeOn());
    }

    void shortcutsWorkOnlyInTextMode()
    {
        QTest::keyClick(&m_host->window(), Qt::Key_F3);
        QVERIFY(!mode().page()->searchField()->hasFocus());
        QVERIFY(mode().EnterTextMode());
        QTest::keySequence(editor(), QKeySequence(QStringLiteral("Ctrl+G")));
        QVERIFY(mode().page()->gotoField()->hasFocus());
        QTest::keySequence(mode().page()->gotoField(), QKeySequence(QStringLiteral("Ctrl+F")));
        QVERIFY(mode().page()->searchField()->hasFocus());
        QTest::keyClicks(mode().page()->searchField(), QStringLiteral("policy"));
        setCaret(0);
        QTest::keyClick(editor(), Qt::Key_F3);
        QCOMPARE(editor()->textCursor().selectedText(), QStringLiteral("POLICY"));
        QTest::keySequence(editor(), QKeySequence(QStringLiteral("Ctrl+D")));
        QVERIFY(!mode().isTextModeOn());
        QVERIFY(!mode().isTextChanged());
        QVERIFY(mode().EnterTextMode());
        QTest::keySequence(editor(), QKeySequence(QStringLiteral("Ctrl+U")));
        QVERIFY(!mode().isTextModeOn());
    }

    // Tools the window lacks stay off; the present ones run from the buttons and the menu.
    void outsideToolsAreEnabledWhenTheWindowHasThem()
    {
        const QStringList names{"Print", "Help", "Mail", "Web"};
        const auto enabled = [&] {
            QStringList on;
            for (const QString &name : names)
                if (mode().commands()->toolButton(name)->isEnabled())
                    on << name;
            if (mode().commands()->menuItem(QStringLiteral("M_EPrint"))->isEnabled())
                on << QStringLiteral("M_EPrint");
            return on;
        };
        QVERIFY(mode().EnterTextMode());
        QCOMPARE(enabled(), QStringList());
        mode().TextModeNoUpdate();

        RecordingOutsideTools tools({OutsideTools::Tool::Print, OutsideTools::Tool::Mail});
        m_host->m_tools = &tools;
        QVERIFY(mode().EnterTextMode());
        QCOMPARE(enabled(), (QStringList{"Print", "Mail", "M_EPrint"}));
        mode().TextModeNoUpdate();

        tools.present = RecordingOutsideTools::allTools();
        QVERIFY(mode().EnterTextMode());
        for (const QString &name : names)
            mode().commands()->toolButton(name)->trigger();
        mode().commands()->menuItem(QStringLiteral("M_EPrint"))->trigger();
        QCOMPARE(tools.calls, (QStringList{"print", "help", "mail", "web", "print"}));
        QVERIFY(mode().isTextModeOn());
        m_host->m_tools = nullptr;
    }

    void printingFromTreeModeLoadsTheHiddenEditor()
    {
        QVERIFY(mode().loadEditorFromFile(m_docPath));
        QVERIFY(!mode().isTextChanged());
        QVERIFY(editor()->toPlainText().startsWith(QStringLiteral("CLASS MACHINE\nCATEGORY \"Desktop\"\n")));
        QVERIFY(!mode().loadEditorFromFile(m_tempDir->filePath(QStringLiteral("none.adm"))));
        QVERIFY(editor()->toPlainText().isEmpty());
    }
};

QTEST_MAIN(TestTextMode)
#include "tst_textmode.moc"
