#include "document/writer.h"
#include "fakehost.h"
#include "recordingoutsidetools.h"
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

const QString kSample = QStringLiteral(KOVA_TEST_DATA "/sample.adm");
const QString kEditScreenOpen = QStringLiteral("There is an edit screen open. Close it first");

} // namespace

class TestTextMode : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_tempDir;
    std::unique_ptr<FakeTextModeHost> m_host;
    QString m_docPath; // a copy of the sample in the test's own folder

    TextModeController &mode() { return m_host->controller(); }
    AdmTextEditor *editor() { return mode().editor(); }
    ScriptedPrompter &prompter() { return m_host->scripted(); }
    QString display() { return mode().page()->lineDisplay()->text(); }
    int caret() { return editor()->textCursor().position(); }
    void setCaret(int position)
    {
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(position);
        editor()->setTextCursor(cursor);
    }
    // The editor's text as the user replaces it (counts as a change).
    void replaceText(const QString &text)
    {
        editor()->selectAll();
        editor()->insertPlainText(text);
    }
    QString rendered() { return renderTemplate(m_host->document(), false); }
    QString startOfLine(int line) { return editor()->document()->findBlockByNumber(line - 1).text(); }
    int lineStart(int line) { return editor()->document()->findBlockByNumber(line - 1).position(); }

    bool openSample() { return m_host->open(m_docPath); }

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
        m_docPath = m_tempDir->filePath(QStringLiteral("sample.adm"));
        QVERIFY(QFile::copy(kSample, m_docPath));
    }

    void init()
    {
        m_host = std::make_unique<FakeTextModeHost>();
        m_host->window().show();
        QVERIFY(QTest::qWaitForWindowActive(&m_host->window()));
        QVERIFY(openSample());
        QCOMPARE(m_host->m_document.path(), m_docPath);
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

    void enterShowsTheWrittenTemplate()
    {
        TemplateDocument &doc = m_host->m_document;
        const QString expected = renderTemplate(doc, false);
        QVERIFY(mode().EnterTextMode());

        QVERIFY(mode().isTextModeOn());
        QCOMPARE(editor()->toPlainText(), QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(mode().LineCount(), 20); // 19 lines, each ended by CR LF
        QCOMPARE(mode().savedFileName(), m_docPath);
        QVERIFY(!mode().isTextChanged());
        QVERIFY(!mode().isLoading());
        // The document now names the temporary file that holds the template as it was.
        const QFileInfo temp(doc.path());
        QVERIFY(temp.fileName().startsWith(QStringLiteral("ADM")));
        QVERIFY(temp.fileName().endsWith(QStringLiteral(".tmp")));
        QCOMPARE(temp.absolutePath(), QDir::tempPath());
        QCOMPARE(m_host->m_tempFiles.paths(), QStringList{doc.path()});
        QCOMPARE(QString::fromLatin1(readBytes(doc.path())), expected);
        // The tree is cleared while the text is edited.
        QCOMPARE(doc.root(), nullptr);
        QVERIFY(doc.texts().isEmpty());
        // The window shows the text page, the Editor menu and the text toolbar only.
        QCOMPARE(m_host->m_central->currentWidget(), mode().page());
        QVERIFY(mode().editorMenu()->menuAction()->isVisible());
        QVERIFY(mode().toolBar()->isVisible());
        QVERIFY(!m_host->m_fileMenu->menuAction()->isVisible());
        QVERIFY(!m_host->m_optionsMenu->menuAction()->isVisible());
        QVERIFY(!m_host->m_mainToolBar->isVisible());
        QVERIFY(editor()->hasFocus());
        QVERIFY(mode().page()->searchField()->text().isEmpty());
        QVERIFY(mode().page()->gotoField()->text().isEmpty());
        QCOMPARE(display(), QStringLiteral("Current line: 1 of 20"));
        QCOMPARE(m_host->m_waitCalls, 1);
    }

    void enterFollowsTheStringsOption()
    {
        TemplateDocument &doc = m_host->m_document;
        doc.setStringsOption(true);
        const QString expected = renderTemplate(doc, true);
        QVERIFY(expected.contains(QStringLiteral("[STRINGS]")));
        QVERIFY(mode().EnterTextMode());
        QCOMPARE(editor()->toPlainText(), QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void enterRefusedWhileAnEditPageIsOpen()
    {
        m_host->m_editPageOpen = true;
        const QString before = rendered();
        prompter().expect(kEditScreenOpen, Message::Icon::Exclamation);
        QVERIFY(!mode().EnterTextMode());
        QVERIFY(!mode().isTextModeOn());
        QCOMPARE(m_host->m_document.path(), m_docPath);
        QCOMPARE(rendered(), before);
        QVERIFY(m_host->m_tempFiles.paths().isEmpty());
        QCOMPARE(m_host->m_waitCalls, 0);
    }

    void enterRefusedInTextMode()
    {
        QVERIFY(mode().EnterTextMode());
        const QString path = m_host->m_document.path();
        prompter().expect(kEditScreenOpen, Message::Icon::Exclamation);
        QVERIFY(!mode().EnterTextMode());
        QVERIFY(mode().isTextModeOn());
        QCOMPARE(m_host->m_document.path(), path);
        QCOMPARE(m_host->m_tempFiles.paths().size(), 1);
    }

    void enterWithoutATemporaryFileStaysInTreeMode()
    {
        const QString before = rendered();
        m_host->m_document.setModified(true);
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", "/proc"); // a folder where no file can be made, not even by root
        prompter().allowAnything(Answer::Ok);
        const bool entered = mode().EnterTextMode();
        qputenv("TMPDIR", oldTmp);
        QVERIFY(!entered);
        QCOMPARE(prompter().messages().size(), 1);
        QCOMPARE(prompter().messages().first().icon, Message::Icon::Exclamation);
        QVERIFY(!mode().isTextModeOn());
        QCOMPARE(m_host->m_document.path(), m_docPath);
        QVERIFY(m_host->m_document.isModified());
        QCOMPARE(rendered(), before);
        QCOMPARE(m_host->m_central->currentWidget(), m_host->m_treeSide);
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
        TemplateDocument &doc = m_host->m_document;
        doc.setStringsOption(strings);
        doc.setModified(modifiedBefore);
        const QString before = rendered();
        QVERIFY(mode().EnterTextMode());
        QVERIFY(!doc.isModified());             // the write to the temporary file cleared it
        QCoreApplication::processEvents();      // let the highlighter run
        editor()->highlighter()->rehighlight(); // colouring is no edit
        if (type) {
            editor()->moveCursor(QTextCursor::End);
            QTest::keyClick(editor(), Qt::Key_Space);
        }
        QCOMPARE(mode().isTextChanged(), type);
        QVERIFY(mode().TextModeUpdate());

        QVERIFY(!mode().isTextModeOn());
        QCOMPARE(doc.isModified(), modifiedAfter);
        QCOMPARE(doc.path(), m_docPath);
        QCOMPARE(m_host->window().windowTitle(), QStringLiteral("Kova - ") + m_docPath);
        QCOMPARE(rendered(), before);
        // The edited text went through its own temporary file, loaded with the report-line flag on.
        QCOMPARE(m_host->m_tempFiles.paths().size(), 2);
        QCOMPARE(m_host->m_loadCalls.last(), m_host->m_tempFiles.paths().at(1) + QStringLiteral(" on"));
        const QByteArray entryBytes = readBytes(m_host->m_tempFiles.paths().at(0));
        QCOMPARE(readBytes(m_host->m_tempFiles.paths().at(1)), entryBytes + (type ? " \r\n" : "\r\n"));
        // Back in tree mode.
        QCOMPARE(m_host->m_central->currentWidget(), m_host->m_treeSide);
        QVERIFY(!mode().editorMenu()->menuAction()->isVisible());
        QVERIFY(!mode().toolBar()->isVisible());
        QVERIFY(m_host->m_fileMenu->menuAction()->isVisible());
        QVERIFY(m_host->m_mainToolBar->isVisible());
        QVERIFY(m_host->m_tree->hasFocus());
        QVERIFY(editor()->toPlainText().isEmpty());
        QVERIFY(!mode().isLoading());
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
        m_host->m_document.setModified(false);
        QVERIFY(mode().EnterTextMode());
        QTest::keyClick(editor(), Qt::Key_Space);
        mode().TextModeNoUpdate();
        QVERIFY(mode().EnterTextMode());
        QVERIFY(!mode().isTextChanged());
        QVERIFY(mode().TextModeUpdate());
        QVERIFY(!m_host->m_document.isModified());
    }

    void updateAndNoUpdateOutsideTextModeDoNothing()
    {
        m_host->m_document.setModified(true);
        const QString before = rendered();
        const int loads = int(m_host->m_loadCalls.size());
        QVERIFY(mode().TextModeUpdate());
        mode().TextModeNoUpdate();
        QCOMPARE(int(m_host->m_loadCalls.size()), loads);
        QVERIFY(m_host->m_tempFiles.paths().isEmpty());
        QCOMPARE(rendered(), before);
        QVERIFY(m_host->m_document.isModified());
        QCOMPARE(m_host->m_document.path(), m_docPath);
    }

    void updateKeepsTheEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("name");
        const QByteArray ansi = "CLASS USER\r\nCATEGORY \"Caf\xe9\"\r\nEND CATEGORY\r\n";
        QByteArray utf16("\xff\xfe");
        for (char c : QByteArray("CLASS USER\r\nCATEGORY \"Caf")) {
            utf16.append(c);
            utf16.append('\0');
        }
        utf16.append("\xe9\0\"\0\r\0\n\0", 8);
        QTest::newRow("Windows-1252") << ansi << "" << int(TextEncoding::Windows1252) << "Caf\u00e9";
        QTest::newRow("UTF-16LE") << utf16 << "" << int(TextEncoding::Utf16LE) << "Caf\u00e9";
        QTest::newRow("a character beyond the code page")
            << ansi << "\u0142" << int(TextEncoding::Utf16LE) << "Caf\u00e9\u0142";
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
        QVERIFY(editor()->toPlainText().contains(QStringLiteral("Caf\u00e9\"")));
        if (!typed.isEmpty()) {
            setCaret(editor()->toPlainText().indexOf(QStringLiteral("\"\n")));
            editor()->insertPlainText(typed);
        }
        QVERIFY(mode().TextModeUpdate());
        QCOMPARE(int(m_host->m_document.encoding()), encoding);
        QCOMPARE(m_host->m_document.root()->child(1)->child(0)->text, name);
    }

    void untouchedTextKeepsEveryCharacter()
    {
        // A no-break space and a line separator inside a quoted text are characters of the line.
        const QString name = QStringLiteral("A\u00a0B\u2028C");
        const QString path = m_tempDir->filePath(QStringLiteral("special.adm"));
        const QString text = QStringLiteral("CLASS USER\r\nCATEGORY \"%1\"\r\nEND CATEGORY\r\n").arg(name);
        QVERIFY(writeBytes(path, text.toUtf8().prepend("\xef\xbb\xbf")));
        QVERIFY(m_host->open(path));
        QVERIFY(mode().EnterTextMode());
        QCOMPARE(mode().LineCount(), 5); // CLASS MACHINE, CLASS USER, CATEGORY, END CATEGORY, empty
        mode().page()->searchField()->setText(QStringLiteral("b\u2028c"));
        mode().FindFirst();
        QCOMPARE(editor()->textCursor().selectionStart(), mode().editorText().indexOf(QStringLiteral("B\u2028C")));
        QVERIFY(mode().TextModeUpdate());
        QCOMPARE(m_host->m_document.root()->child(1)->child(0)->text, name);
        QVERIFY(!m_host->m_document.isModified());
    }

    void updateWritesTheEditedTextWithCrLf()
    {
        QVERIFY(mode().EnterTextMode());
        replaceText(QStringLiteral("CLASS USER\nCATEGORY \"New\"\nEND CATEGORY"));
        QVERIFY(mode().TextModeUpdate());
        QCOMPARE(readBytes(m_host->m_tempFiles.paths().at(1)),
                 QByteArray("CLASS USER\r\nCATEGORY \"New\"\r\nEND CATEGORY\r\n"));
        QVERIFY(m_host->m_document.isModified());
        QVERIFY(rendered().contains(QStringLiteral("CATEGORY \"New\"")));
        QVERIFY(!rendered().contains(QStringLiteral("Desktop")));
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
        TemplateDocument &doc = m_host->m_document;
        doc.setModified(modifiedBefore);
        const QString before = rendered();
        const int nodes = doc.nodeCount();
        QVERIFY(mode().EnterTextMode());
        const QString entryFile = doc.path();
        if (type)
            replaceText(QStringLiteral("garbage that would never load\n\"unterminated"));
        mode().TextModeNoUpdate();

        QVERIFY(!mode().isTextModeOn());
        QCOMPARE(rendered(), before);
        QCOMPARE(doc.nodeCount(), nodes);
        QCOMPARE(doc.isModified(), modifiedBefore);
        QCOMPARE(doc.path(), m_docPath);
        QCOMPARE(m_host->m_loadCalls.last(), entryFile + QStringLiteral(" off"));
        QCOMPARE(m_host->window().windowTitle(), QStringLiteral("Kova - ") + m_docPath);
        QCOMPARE(m_host->m_central->currentWidget(), m_host->m_treeSide);
        QVERIFY(m_host->m_tree->hasFocus());
        QVERIFY(editor()->toPlainText().isEmpty());
        QVERIFY(!mode().isLoading());
    }

    void failingUpdateKeepsTextModeAtTheReportedLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caretBefore");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("line 1") << "BOGUS\nCLASS MACHINE\nCATEGORY \"A\"\nEND CATEGORY" << 20 << 1
                                << "Error in line  1";
        QTest::newRow("line 3") << "CLASS MACHINE\nCATEGORY \"A\"\nBOGUS\nEND CATEGORY" << 0 << 3 << "Error in line  3";
        QTest::newRow("bad category name, last line")
            << "CLASS MACHINE\nCATEGORY \"A\"\nEND CATEGORY\nCATEGORY KEYNAME" << 2 << 4 << "Error in line 4";
    }
    void failingUpdateKeepsTextModeAtTheReportedLine()
    {
        QFETCH(QString, text);
        QFETCH(int, caretBefore);
        QFETCH(int, line);
        QFETCH(QString, message);
        TemplateDocument &doc = m_host->m_document;
        doc.setModified(false);
        QVERIFY(mode().EnterTextMode());
        const QString entryFile = doc.path();
        replaceText(text);
        setCaret(caretBefore);
        prompter().expect(message, Message::Icon::None);
        QVERIFY(!mode().TextModeUpdate());

        QVERIFY(mode().isTextModeOn());
        QCOMPARE(editor()->toPlainText(), text);
        QCOMPARE(caret(), lineStart(line));
        QCOMPARE(display(), QStringLiteral("Current line: %1 of %2").arg(line).arg(mode().LineCount()));
        QCOMPARE(doc.path(), entryFile);
        QVERIFY(editor()->hasFocus());
        QCOMPARE(m_host->m_central->currentWidget(), mode().page());
        QVERIFY(mode().toolBar()->isVisible());
        QVERIFY(!mode().isLoading());
        QVERIFY(mode().isTextChanged());

        // Typing after the failure still counts, and a mended text goes through.
        replaceText(QStringLiteral("CLASS MACHINE\nCATEGORY \"A\"\nEND CATEGORY"));
        QVERIFY(mode().TextModeUpdate());
        QCOMPARE(doc.path(), m_docPath);
        QVERIFY(doc.isModified());
    }

    void noUpdateAfterAFailedUpdateRestoresTheTemplate()
    {
        TemplateDocument &doc = m_host->m_document;
        const QString before = rendered();
        QVERIFY(mode().EnterTextMode());
        replaceText(QStringLiteral("CLASS MACHINE\nBOGUS"));
        prompter().expect(QStringLiteral("Error in line  2"), Message::Icon::None);
        QVERIFY(!mode().TextModeUpdate());
        QCOMPARE(doc.root(), nullptr);
        mode().TextModeNoUpdate();
        QCOMPARE(rendered(), before);
        QVERIFY(!doc.isModified());
        QCOMPARE(doc.path(), m_docPath);
    }

    void updateWithoutATemporaryFileKeepsTextMode()
    {
        QVERIFY(mode().EnterTextMode());
        const QString entryFile = m_host->m_document.path();
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", "/proc"); // a folder where no file can be made, not even by root
        prompter().allowAnything(Answer::Ok);
        const bool updated = mode().TextModeUpdate();
        qputenv("TMPDIR", oldTmp);
        QVERIFY(!updated);
        QCOMPARE(prompter().messages().size(), 1);
        QVERIFY(mode().isTextModeOn());
        QCOMPARE(m_host->m_document.path(), entryFile);
        QVERIFY(!mode().isLoading());
    }

    // --- line display ---

    void lineDisplay_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty text") << "" << 0 << "Current line: 1 of 1";
        QTest::newRow("first line") << "A\nB\nC" << 1 << "Current line: 1 of 3";
        QTest::newRow("last line") << "A\nB\nC" << 4 << "Current line: 3 of 3";
        QTest::newRow("empty last line") << "A\nB\n" << 4 << "Current line: 3 of 3";
        QTest::newRow("middle") << "A\nBB\nC" << 3 << "Current line: 2 of 3";
    }
    void lineDisplay()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(QString, expected);
        QVERIFY(mode().EnterTextMode());
        replaceText(text);
        setCaret(position);
        QCOMPARE(display(), expected);
    }

    void lineDisplayFollowsTheSelectionStart()
    {
        QVERIFY(mode().EnterTextMode());
        replaceText(QStringLiteral("A\nB\nC\nD"));
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(6);
        cursor.setPosition(2, QTextCursor::KeepAnchor); // selected upwards from line 4 to line 2
        editor()->setTextCursor(cursor);
        QCOMPARE(display(), QStringLiteral("Current line: 2 of 4"));
    }

    // --- go to line ---

    void gotoLine_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("line"); // 0: the caret stays
        QTest::newRow("0") << "0"
                           << "Valid line numbers are 1-20" << 0;
        QTest::newRow("beyond the end") << "21"
                                        << "Valid line numbers are 1-20" << 0;
        QTest::newRow("negative") << "-3"
                                  << "Valid line numbers are 1-20" << 0;
        QTest::newRow("abc") << "abc"
                             << "Value isn't numeric" << 0;
        QTest::newRow("empty") << ""
                               << "Value isn't numeric" << 0;
        QTest::newRow("1") << "1"
                           << "" << 1;
        QTest::newRow("middle") << "7"
                                << "" << 7;
        QTest::newRow("last") << "20"
                              << "" << 20;
        QTest::newRow("blanks around") << " 4 "
                                       << "" << 4;
        QTest::newRow("fraction: no move") << "2.5"
                                           << "" << 0;
    }
    void gotoLine()
    {
        QFETCH(QString, field);
        QFETCH(QString, message);
        QFETCH(int, line);
        QVERIFY(mode().EnterTextMode());
        setCaret(lineStart(3) + 2);
        const int before = caret();
        const QString displayBefore = display();
        if (!message.isEmpty())
            prompter().expect(message, Message::Icon::Exclamation);
        QTextCursor cursor = editor()->textCursor();
        TextModeField *gotoField = mode().page()->gotoField();
        gotoField->setText(field);
        gotoField->setFocus();
        QTest::keyClick(gotoField, Qt::Key_Return);

        QCOMPARE(gotoField->text().trimmed(), field.trimmed()); // the Enter key was consumed
        if (line > 0) {
            QCOMPARE(caret(), lineStart(line));
            QCOMPARE(display(), QStringLiteral("Current line: %1 of 20").arg(line));
        } else {
            QCOMPARE(caret(), before);
            QCOMPARE(display(), displayBefore);
        }
        if (message.isEmpty())
            QVERIFY(editor()->hasFocus());
    }

    void gotoLineOneIsTheFirstCharacter()
    {
        QVERIFY(mode().EnterTextMode());
        editor()->moveCursor(QTextCursor::End);
        mode().page()->gotoField()->setText(QStringLiteral("1"));
        mode().GotoLine();
        QCOMPARE(caret(), 0);
    }

    // --- find ---

    void findIgnoresCase()
    {
        QVERIFY(mode().EnterTextMode());
        editor()->moveCursor(QTextCursor::End);
        TextModeField *search = mode().page()->searchField();
        search->setText(QStringLiteral("  Policy "));
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Return);
        const QString text = editor()->toPlainText();
        QCOMPARE(editor()->textCursor().selectionStart(), text.indexOf(QStringLiteral("POLICY \"Hide icons\"")));
        QCOMPARE(editor()->textCursor().selectedText(), QStringLiteral("POLICY"));
        QCOMPARE(display(), QStringLiteral("Current line: 4 of 20"));
        QVERIFY(editor()->hasFocus());
    }

    void findNotFoundShowsThePatternInLowerCase()
    {
        QVERIFY(mode().EnterTextMode());
        setCaret(lineStart(5) + 3);
        mode().page()->searchField()->setText(QStringLiteral(" No Such Policy"));
        prompter().expect(QStringLiteral("\"no such policy\" not found"), Message::Icon::Exclamation);
        mode().FindFirst();
        QCOMPARE(caret(), lineStart(5) + 3);
        QVERIFY(!editor()->textCursor().hasSelection());
        QCOMPARE(display(), QStringLiteral("Current line: 5 of 20"));
    }

    void findWithAnEmptyPatternDoesNothing()
    {
        QVERIFY(mode().EnterTextMode());
        setCaret(lineStart(2));
        mode().page()->searchField()->setText(QStringLiteral("   "));
        mode().FindFirst();
        QCOMPARE(caret(), lineStart(2));
        QVERIFY(editor()->hasFocus());
    }

    void findNextFromAMatchFindsTheNextOne()
    {
        QVERIFY(mode().EnterTextMode());
        const QString text = editor()->toPlainText();
        const int first = text.indexOf(QStringLiteral("POLICY \"Hide icons\""));
        setCaret(first); // the caret on the first character of a match
        mode().page()->searchField()->setText(QStringLiteral("policy"));
        mode().FindNext();
        QCOMPARE(editor()->textCursor().selectionStart(), text.indexOf(QStringLiteral("POLICY"), first + 1));
        QCOMPARE(editor()->textCursor().selectedText(), QStringLiteral("POLICY"));
        QVERIFY(editor()->hasFocus());
    }

    void findNextPastTheLastMatchKeepsTheSelection()
    {
        QVERIFY(mode().EnterTextMode());
        const QString text = editor()->toPlainText();
        const int last = text.lastIndexOf(QStringLiteral("policy"), -1, Qt::CaseInsensitive);
        QTextCursor cursor = editor()->textCursor();
        cursor.setPosition(last);
        cursor.setPosition(last + 6, QTextCursor::KeepAnchor);
        editor()->setTextCursor(cursor);
        mode().page()->searchField()->setText(QStringLiteral(" Policy  "));
        prompter().expect(QStringLiteral("\"Policy\" not found after current position"), Message::Icon::Exclamation);
        mode().FindNext();
        QCOMPARE(editor()->textCursor().selectionStart(), last);
        QCOMPARE(editor()->textCursor().selectionEnd(), last + 6);
    }

    void findNextWalksEveryMatch()
    {
        QVERIFY(mode().EnterTextMode());
        const QString text = editor()->toPlainText();
        mode().page()->searchField()->setText(QStringLiteral("end policy"));
        setCaret(0);
        QList<int> found;
        for (int i = 0; i < 3; ++i) {
            mode().FindNext();
            found.append(editor()->textCursor().selectionStart());
        }
        const int a = text.indexOf(QStringLiteral("END POLICY"));
        const int b = text.indexOf(QStringLiteral("END POLICY"), a + 1);
        const int c = text.indexOf(QStringLiteral("END POLICY"), b + 1);
        QCOMPARE(found, (QList<int>{a, b, c}));
    }

    void findNextWithAnEmptyFieldFocusesTheSearchField()
    {
        QVERIFY(mode().EnterTextMode());
        setCaret(5);
        mode().FindNext();
        QVERIFY(mode().page()->searchField()->hasFocus());
        QCOMPARE(caret(), 5);
    }

    // --- fields ---

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

    void editorMenu_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::newRow("M_Update") << "M_Update"
                                  << "Update changes and return to GUI editor"
                                  << QKeySequence(QStringLiteral("Ctrl+U"));
        QTest::newRow("M_NoUpdate") << "M_NoUpdate"
                                    << "Don't update changes and return to GUI editor"
                                    << QKeySequence(QStringLiteral("Ctrl+D"));
        QTest::newRow("M_Goto") << "M_Goto"
                                << "Goto line number" << QKeySequence(QStringLiteral("Ctrl+G"));
        QTest::newRow("M_Find") << "M_Find"
                                << "Find" << QKeySequence(QStringLiteral("Ctrl+F"));
        QTest::newRow("M_FindNext") << "M_FindNext"
                                    << "Find Next" << QKeySequence(QStringLiteral("F3"));
        QTest::newRow("M_EPrint") << "M_EPrint"
                                  << "Print Template" << QKeySequence();
    }
    void editorMenu()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QCOMPARE(mode().editorMenu()->title(), QStringLiteral("&Editor"));
        QCOMPARE(mode().editorMenu()->objectName(), QStringLiteral("M_Editor"));
        QAction *action = mode().commands()->menuItem(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), shortcut);
    }

    void toolBar_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("Update") << "Update"
                                << "Update changes and return to GUI editor";
        QTest::newRow("DontSave") << "DontSave"
                                  << "Don't update changes and return to GUI editor";
        QTest::newRow("Goto") << "Goto"
                              << "Goto line number";
        QTest::newRow("Find") << "Find"
                              << "Find";
        QTest::newRow("FindNext") << "FindNext"
                                  << "Find Next";
        QTest::newRow("Print") << "Print"
                               << "Print Template";
        QTest::newRow("Help") << "Help"
                              << "Show help file";
        QTest::newRow("Mail") << "Mail"
                              << "Send E-mail to author";
        QTest::newRow("Web") << "Web"
                             << "Go to authors website";
    }
    void toolBar()
    {
        QFETCH(QString, description);
        QFETCH(QString, toolTip);
        QAction *action = mode().commands()->toolButton(description);
        QVERIFY(action);
        QCOMPARE(action->toolTip(), toolTip);
        QVERIFY(!action->icon().isNull());
    }

    void menuItemsAndButtonsRunTheirCommands()
    {
        QVERIFY(mode().EnterTextMode());
        mode().commands()->menuItem(QStringLiteral("M_Goto"))->trigger();
        QVERIFY(mode().page()->gotoField()->hasFocus());
        mode().commands()->toolButton(QStringLiteral("Find"))->trigger();
        QVERIFY(mode().page()->searchField()->hasFocus());
        mode().commands()->toolButton(QStringLiteral("Goto"))->trigger();
        QVERIFY(mode().page()->gotoField()->hasFocus());
        mode().commands()->menuItem(QStringLiteral("M_Find"))->trigger();
        QVERIFY(mode().page()->searchField()->hasFocus());

        mode().page()->searchField()->setText(QStringLiteral("category"));
        setCaret(0);
        mode().commands()->menuItem(QStringLiteral("M_FindNext"))->trigger();
        QCOMPARE(editor()->textCursor().selectedText(), QStringLiteral("CATEGORY"));
        const int first = editor()->textCursor().selectionStart();
        mode().commands()->toolButton(QStringLiteral("FindNext"))->trigger();
        QVERIFY(editor()->textCursor().selectionStart() > first);

        mode().commands()->toolButton(QStringLiteral("Update"))->trigger();
        QVERIFY(!mode().isTextModeOn());
        QVERIFY(mode().EnterTextMode());
        mode().commands()->menuItem(QStringLiteral("M_NoUpdate"))->trigger();
        QVERIFY(!mode().isTextModeOn());
        QVERIFY(mode().EnterTextMode());
        mode().commands()->menuItem(QStringLiteral("M_Update"))->trigger();
        QVERIFY(!mode().isTextModeOn());
        QVERIFY(mode().EnterTextMode());
        mode().commands()->toolButton(QStringLiteral("DontSave"))->trigger();
        QVERIFY(!mode().isTextModeOn());
        mode().runToolbarCommand(QStringLiteral("NoSuchButton")); // does nothing
        QVERIFY(!mode().isTextModeOn());
    }

    void shortcutsWorkOnlyInTextMode()
    {
        QTest::keyClick(&m_host->window(), Qt::Key_F3);
        QVERIFY(!mode().page()->searchField()->hasFocus());
        QVERIFY(mode().EnterTextMode());
        QVERIFY(editor()->hasFocus());
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

    void outsideToolsAreEnabledWhenTheWindowHasThem()
    {
        QVERIFY(mode().EnterTextMode());
        for (const char *name : {"Print", "Help", "Mail", "Web"})
            QVERIFY2(!mode().commands()->toolButton(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(!mode().commands()->menuItem(QStringLiteral("M_EPrint"))->isEnabled());
        mode().TextModeNoUpdate();

        // Tools the window lacks stay off; the present ones run from the buttons and the menu.
        test::RecordingOutsideTools tools({OutsideTools::Tool::Print, OutsideTools::Tool::Mail});
        m_host->m_tools = &tools;
        QVERIFY(mode().EnterTextMode());
        QVERIFY(!mode().commands()->toolButton(QStringLiteral("Help"))->isEnabled());
        QVERIFY(!mode().commands()->toolButton(QStringLiteral("Web"))->isEnabled());
        QVERIFY(mode().commands()->menuItem(QStringLiteral("M_EPrint"))->isEnabled());
        mode().TextModeNoUpdate();

        tools.present = test::RecordingOutsideTools::allTools();
        QVERIFY(mode().EnterTextMode());
        for (const char *name : {"Print", "Help", "Mail", "Web"})
            mode().commands()->toolButton(QString::fromLatin1(name))->trigger();
        mode().commands()->menuItem(QStringLiteral("M_EPrint"))->trigger();
        QCOMPARE(tools.calls, (QStringList{"print", "help", "mail", "web", "print"}));
        QVERIFY(mode().isTextModeOn());
        m_host->m_tools = nullptr;
    }

    void printingFromTreeModeLoadsTheHiddenEditor()
    {
        QVERIFY(mode().loadEditorFromFile(m_docPath));
        QVERIFY(!mode().isTextChanged());
        QVERIFY(editor()->toPlainText().startsWith(QStringLiteral("; Test template for text mode\nCLASS MACHINE\n")));
        QVERIFY(!mode().loadEditorFromFile(m_tempDir->filePath(QStringLiteral("none.adm"))));
        QVERIFY(editor()->toPlainText().isEmpty());
    }
};

QTEST_MAIN(TestTextMode)
#include "tst_textmode.moc"
