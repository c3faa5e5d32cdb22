// Raw text mode in the real main window: the way in and out, the Editor menu, buttons and keys, the
// about panel and the close sequence. Update, Don't update, go to line and find are cases under
// tests/data/textedit/window.
#include "appfixture.h"
#include "templatefixtures.h"

#include "app/aboutpanel.h"
#include "app/templatetreeview.h"

#include "document/loader.h"
#include "document/tempfiles.h"
#include "document/writer.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecommands.h"
#include "textedit/textmodecontroller.h"
#include "textedit/textmodefield.h"
#include "textedit/textmodepage.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>

using namespace kova;
using kova::test::AppFixture;

namespace {

// The real main window on a template given on the command line (the sample unless told).
struct TextWindow : AppFixture
{
    QString path;

    // corpus: a real template, read with the newer statements and every question answered Yes.
    explicit TextWindow(const QByteArray &bytes = test::crlf(test::kSample), bool corpus = false)
    {
        path = dir.filePath(QStringLiteral("t.adm"));
        test::writeBytes(path, bytes);
        preferences.setNewerStatements(corpus);
        if (corpus)
            prompter.allowAnything(Answer::Yes); // remove conditional statements
        start(path);
        window->activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(window.get());
    }
    TemplateDocument &document() { return window->document(); }
    TextModeController &mode() { return *window->textMode(); }
    TextModePage *page() { return mode().page(); }
    AdmTextEditor *editor() { return mode().editor(); }
    QAction *editorItem(const char *name) { return mode().commands()->menuItem(QString::fromLatin1(name)); }
    QAction *button(const char *name) { return mode().commands()->toolButton(QString::fromLatin1(name)); }
    QString rendered() { return renderTemplate(document(), false); }
    void replaceText(const QString &text)
    {
        editor()->selectAll();
        editor()->insertPlainText(text);
    }
    void typeAtEnd(const QString &text)
    {
        editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor(), text);
    }
};

bool shown(QMenu *menu)
{
    return menu->menuAction()->isVisible();
}

// What the window shows in text mode, and what it shows in tree mode.
void verifyView(TextWindow &f, bool textMode)
{
    MainWindow &w = *f.window;
    QCOMPARE(f.mode().isTextModeOn(), textMode);
    QCOMPARE(f.page()->isVisible(), textMode);
    QCOMPARE(f.mode().toolBar()->isVisible(), textMode);
    QCOMPARE(shown(f.mode().editorMenu()), textMode);
    QCOMPARE(shown(w.actions().fileMenu()), !textMode);
    QCOMPARE(shown(w.actions().optionsMenu()), !textMode);
    QCOMPARE(w.actions().toolBar()->isVisible(), !textMode);
    QCOMPARE(w.tabs()->isVisible(), !textMode);
    QCOMPARE(w.treePanel()->keyLabel()->isVisible(), !textMode);
    if (textMode) {
        QVERIFY(f.editor()->hasFocus());
    } else {
        QCOMPARE(w.tabs()->currentIndex(), int(MainWindow::Overview));
        QVERIFY(w.treePanel()->treeView()->hasFocus());
        QVERIFY(f.editor()->toPlainText().isEmpty());
    }
}

} // namespace

class TestTextModeWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_tmp;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_tmp.isValid());
        // The temporary files of text mode land in this test's own folder.
        qputenv("TMPDIR", QFile::encodeName(m_tmp.path()));
    }

    // In by the Options item or the Editor button; out by the Editor menu or the text toolbar.
    void enterAndLeave_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<QString>("leave"); // "item:" or "button:" and the command
        QTest::newRow("Options item, DontSave button") << false << "button:DontSave";
        QTest::newRow("Editor button, No Update item") << true << "item:M_NoUpdate";
        QTest::newRow("typed, Update button") << false << "button:Update";
        QTest::newRow("typed, Update item") << true << "item:M_Update";
    }
    void enterAndLeave()
    {
        QFETCH(bool, byButton);
        QFETCH(QString, leave);
        TextWindow f;
        MainWindow &w = *f.window;
        const QString before = f.rendered();
        const QString caption = w.windowTitle();
        if (byButton)
            QTest::mouseClick(w.actions().toolBar()->widgetForAction(w.actions().button(QStringLiteral("Editor"))),
                              Qt::LeftButton);
        else
            f.item("M_TEdit")->trigger();

        verifyView(f, true);
        QCOMPARE(f.editor()->toPlainText(), QString(before).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(f.document().root(), nullptr);
        // The template waits in a temporary file, which the recent files never list.
        const QString entryFile = f.document().path();
        QCOMPARE(w.controller().tempFiles().paths(), QStringList{entryFile});
        QCOMPARE(QFileInfo(entryFile).absolutePath(), QDir(m_tmp.path()).absolutePath());
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(f.page()->lineDisplay()->text(), QStringLiteral("Current line: 1 of 20"));
        // A second entry is refused by the window's edit-screen rule.
        f.prompter.expect(QStringLiteral("There is an edit screen open. Close it first"), Message::Icon::Exclamation);
        f.item("M_TEdit")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(f.document().path(), entryFile);

        const bool update = !leave.contains(u"NoUpdate") && !leave.contains(u"DontSave");
        if (update)
            f.typeAtEnd(QStringLiteral(" "));
        const QString command = leave.section(u':', 1);
        QAction *action =
            leave.startsWith(u"button:") ? f.button(qPrintable(command)) : f.editorItem(qPrintable(command));
        if (leave.startsWith(u"button:"))
            QTest::mouseClick(f.mode().toolBar()->widgetForAction(action), Qt::LeftButton);
        else
            action->trigger();
        verifyView(f, false);
        QCOMPARE(f.document().path(), f.path);
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(f.rendered(), before);
        QCOMPARE(w.treePanel()->selectedNode(), f.document().root());
        QCOMPARE(f.document().isModified(), update);
        QVERIFY(f.item("M_Save")->isEnabled());
        QCOMPARE(w.actions().Bestand(1)->text(), f.path);
        QVERIFY(w.actions().Bestand(2)->text().isEmpty());
        QVERIFY(!QApplication::overrideCursor()); // the wait cursor went
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    // The Editor menu's items, the text toolbar's buttons and the keys reach their commands; the
    // outside tools are the window's own.
    void commandsReachTheController()
    {
        TextWindow f;
        TextModePage *page = f.page();
        QTest::keyClick(f.window.get(), Qt::Key_F3); // no text mode yet: nothing
        QVERIFY(!page->searchField()->hasFocus());
        f.item("M_TEdit")->trigger();
        f.editorItem("M_Goto")->trigger();
        QVERIFY(page->gotoField()->hasFocus());
        f.button("Find")->trigger();
        QVERIFY(page->searchField()->hasFocus());
        f.button("Goto")->trigger();
        QVERIFY(page->gotoField()->hasFocus());
        f.editorItem("M_Find")->trigger();
        QVERIFY(page->searchField()->hasFocus());
        QTest::keySequence(page->searchField(), QKeySequence(QStringLiteral("Ctrl+G")));
        QVERIFY(page->gotoField()->hasFocus());
        QTest::keySequence(page->gotoField(), QKeySequence(QStringLiteral("Ctrl+F")));
        QVERIFY(page->searchField()->hasFocus());
        QTest::keyClicks(page->searchField(), QStringLiteral("policy"));
        f.editor()->moveCursor(QTextCursor::Start);
        QTest::keyClick(f.editor(), Qt::Key_F3);
        const int first = f.editor()->textCursor().selectionStart();
        QCOMPARE(f.editor()->textCursor().selectedText(), QStringLiteral("POLICY"));
        f.button("FindNext")->trigger();
        QVERIFY(f.editor()->textCursor().selectionStart() > first);

        for (const char *tool : {"Print", "Help", "Mail", "Web"})
            f.button(tool)->trigger();
        f.editorItem("M_EPrint")->trigger();
        QCOMPARE(f.tools.calls, (QStringList{"print", "help", "mail", "web", "print"}));

        QTest::keySequence(f.editor(), QKeySequence(QStringLiteral("Ctrl+D")));
        QVERIFY(!f.mode().isTextModeOn());
        f.item("M_TEdit")->trigger();
        f.typeAtEnd(QStringLiteral(" "));
        QTest::keySequence(f.editor(), QKeySequence(QStringLiteral("Ctrl+U")));
        QVERIFY(!f.mode().isTextModeOn());
        QVERIFY(f.document().isModified());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    // A click on a field's caption focuses the field; leaving a field trims its blanks and selects it.
    void pageFields()
    {
        TextWindow f;
        f.item("M_TEdit")->trigger();
        TextModePage *page = f.page();
        QCOMPARE(page->searchLabel()->text() + page->gotoLabel()->text(),
                 QStringLiteral("Search for:Goto line number:"));
        QTest::mouseClick(page->gotoLabel(), Qt::LeftButton);
        QVERIFY(page->gotoField()->hasFocus());
        QTest::mouseClick(page->searchLabel(), Qt::LeftButton);
        QTest::keyClicks(page->searchField(), QStringLiteral("  key name  "));
        f.editor()->setFocus();
        QCOMPARE(page->searchField()->selectedText(), QStringLiteral("key name"));
        QCOMPARE(page->searchField()->text(), QStringLiteral("key name"));
    }

    // Without a temporary file neither entering nor Update goes on: one message, the mode stays.
    void noTemporaryFile()
    {
        TextWindow f;
        const QString before = f.rendered();
        const QByteArray tmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", "/proc"); // no file can be made there, not even by root
        f.prompter.allowAnything(Answer::Ok);
        f.item("M_TEdit")->trigger();
        QVERIFY(!f.mode().isTextModeOn());
        QCOMPARE(f.rendered(), before);
        QCOMPARE(f.document().path(), f.path);
        qputenv("TMPDIR", tmp);
        f.item("M_TEdit")->trigger();
        f.typeAtEnd(QStringLiteral("; note"));
        qputenv("TMPDIR", "/proc");
        QVERIFY(!f.mode().TextModeUpdate());
        qputenv("TMPDIR", tmp);
        QVERIFY(f.mode().isTextModeOn());
        QVERIFY(f.editor()->toPlainText().endsWith(QStringLiteral("; note")));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(f.prompter.messages().size(), 2);
        QCOMPARE(f.prompter.messages().first().icon, Message::Icon::Exclamation);
    }

    // The about panel covers text mode and gives it back as it was.
    void aboutPanelReturnsToTextMode()
    {
        TextWindow f;
        MainWindow &w = *f.window;
        f.item("M_TEdit")->trigger();
        f.typeAtEnd(QStringLiteral("; note"));
        const QString edited = f.editor()->toPlainText();
        f.item("M_About")->trigger();
        QVERIFY(w.isAboutShown());
        QVERIFY(!f.page()->isVisible() && !f.mode().toolBar()->isVisible() && !shown(f.mode().editorMenu()));
        QVERIFY(w.controller().EditScreenOpen(false)); // covered, text mode is still open
        w.aboutPanel()->exitButton()->click();
        verifyView(f, true);
        QCOMPARE(f.editor()->toPlainText(), edited);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    // Closing in text mode asks once (never the save question: the text is not in the template).
    void closeWhileInTextMode_data()
    {
        QTest::addColumn<bool>("behindAbout");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes: closes at once") << false << int(Answer::Yes);
        QTest::newRow("about panel over text mode, no") << true << int(Answer::No);
    }
    void closeWhileInTextMode()
    {
        QFETCH(bool, behindAbout);
        QFETCH(int, answer);
        TextWindow f;
        f.item("M_TEdit")->trigger();
        f.typeAtEnd(QStringLiteral(" "));
        if (behindAbout)
            f.item("M_About")->trigger();
        f.prompter.expect(QStringLiteral("There is an edit screen open. Exit without saving changes?"),
                          Message::Icon::Exclamation, Message::Buttons::YesNo, Answer(answer));
        QCOMPARE(f.window->close(), Answer(answer) == Answer::Yes);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        if (Answer(answer) == Answer::No) {
            QVERIFY(f.mode().isTextModeOn());
            QCOMPARE(f.window->isAboutShown(), behindAbout);
        }
    }

    // After Update the edit is in the template: closing saves it and removes the temporary files.
    void closeAfterUpdateSavesTheEditedText()
    {
        TextWindow f;
        f.item("M_TEdit")->trigger();
        const QString entryFile = f.document().path();
        f.replaceText(QStringLiteral("CLASS USER\nCATEGORY \"Edited\"\nEND CATEGORY"));
        QVERIFY(f.mode().TextModeUpdate());
        const QString out = f.dir.filePath(QStringLiteral("out.adm"));
        f.prompter.expect(test::kSaveChanges, Answer::Yes);
        f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save, out);
        QVERIFY(f.window->close());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(QString::fromLatin1(test::readBytes(out)).contains(QStringLiteral("CATEGORY \"Edited\"")));
        QVERIFY(!QFile::exists(entryFile));
    }

    // Real templates: entering, touching the text and choosing Update gives back the template as saving
    // and opening it again would, without a message.
    void corpusRoundTrip_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = test::corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("no corpus");
        for (const QString &path : files)
            if (path.endsWith(QStringLiteral(".adm"), Qt::CaseInsensitive))
                QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }
    void corpusRoundTrip()
    {
        QFETCH(QString, path);
        TextWindow f(test::readBytes(path), true);
        if (!f.document().root())
            QSKIP("does not load");
        for (const bool strings : {false, true}) {
            f.document().setStringsOption(strings);
            // With the string table, texts that differ only in case share one entry: compare with
            // what Save and Open give.
            TemplateDocument copy;
            test::ScriptedPrompter quiet;
            quiet.allowAnything(Answer::Yes);
            const QString text = renderTemplate(f.document(), strings);
            QVERIFY(loadTemplateBytes(copy, text.toUtf8().prepend("\xef\xbb\xbf"), quiet, LoadOptions{false, true})
                        .loaded());
            const qsizetype messages = f.prompter.messages().size();
            f.item("M_TEdit")->trigger();
            QCOMPARE(f.mode().LineCount(), int(text.count(QStringLiteral("\r\n"))) + 1);
            // Touched and taken back: an untouched text would bring back the template it was written from.
            f.typeAtEnd(QStringLiteral(" "));
            f.editor()->undo();
            QVERIFY(f.mode().TextModeUpdate());
            QCOMPARE(f.prompter.messages().size(), messages);
            QVERIFY(f.rendered() == renderTemplate(copy, false)); // no dump of two whole templates
        }
    }
};

QTEST_MAIN(TestTextModeWindow)
#include "tst_textmodewindow.moc"
