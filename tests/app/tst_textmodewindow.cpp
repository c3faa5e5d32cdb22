#include "appfixture.h"
#include "templatefixtures.h"

#include "app/aboutpanel.h"
#include "app/templatetreeview.h"

#include "document/tempfiles.h"
#include "document/writer.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecommands.h"
#include "textedit/textmodecontroller.h"
#include "textedit/textmodepage.h"

#include <QDir>
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
using kova::test::RecordingOutsideTools;

namespace {

const QString kSample = QStringLiteral(KOVA_SOURCE_DIR "/examples/sample.adm");
const QString kCloseItFirst = QStringLiteral("There is an edit screen open. Close it first");
const QString kExitWithoutSaving = QStringLiteral("There is an edit screen open. Exit without saving changes?");
using test::kSaveChanges;

// The real main window with the sample template loaded from the command line.
struct SampleWindow : AppFixture
{
    QString path;

    bool startOnSample()
    {
        path = dir.filePath(QStringLiteral("sample.adm"));
        if (!QFile::copy(kSample, path))
            return false;
        start(path);
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get()) && document().root();
    }
    TemplateDocument &document() { return window->document(); }
    TextModeController &mode() { return *window->textMode(); }
    AdmTextEditor *editor() { return mode().editor(); }
    QAction *editorItem(const char *name) { return mode().commands()->menuItem(QString::fromLatin1(name)); }
    QWidget *textButton(const char *description)
    {
        return mode().toolBar()->widgetForAction(mode().commands()->toolButton(QString::fromLatin1(description)));
    }
    QString expectedText()
    {
        return renderTemplate(document(), false).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    void replaceText(const QString &text)
    {
        editor()->selectAll();
        editor()->insertPlainText(text);
    }
    bool menuShown(QMenu *menu) const { return menu->menuAction()->isVisible(); }
};

// What the window shows in text mode, and what it shows in tree mode.
void verifyView(SampleWindow &f, bool textMode)
{
    MainWindow &w = *f.window;
    QCOMPARE(f.mode().isTextModeOn(), textMode);
    QCOMPARE(f.mode().page()->isVisible(), textMode);
    QCOMPARE(f.mode().toolBar()->isVisible(), textMode);
    QCOMPARE(f.menuShown(f.mode().editorMenu()), textMode);
    QCOMPARE(f.menuShown(w.actions().fileMenu()), !textMode);
    QCOMPARE(f.menuShown(w.actions().optionsMenu()), !textMode);
    QVERIFY(f.menuShown(w.actions().helpMenu()));
    QCOMPARE(w.actions().toolBar()->isVisible(), !textMode);
    QCOMPARE(w.tabs()->isVisible(), !textMode);
    QCOMPARE(w.treePanel()->keyLabel()->isVisible(), !textMode);
    QVERIFY(!w.isAboutShown());
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
        QCOMPARE(QDir::tempPath(), QDir(m_tmp.path()).absolutePath());
    }

    void enterAndLeave_data()
    {
        QTest::addColumn<bool>("fromToolbar");
        QTest::newRow("Options menu item") << false;
        QTest::newRow("Editor toolbar button") << true;
    }
    void enterAndLeave()
    {
        QFETCH(bool, fromToolbar);
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        const QString expected = f.expectedText();
        const QString caption = w.windowTitle();
        QVERIFY(f.item("M_TEdit")->isEnabled());
        if (fromToolbar)
            QTest::mouseClick(w.actions().toolBar()->widgetForAction(w.actions().button(QStringLiteral("Editor"))),
                              Qt::LeftButton);
        else
            f.item("M_TEdit")->trigger();

        verifyView(f, true);
        QCOMPARE(f.editor()->toPlainText(), expected);
        QCOMPARE(f.document().root(), nullptr);
        const QString entryFile = f.document().path();
        QCOMPARE(w.controller().tempFiles().paths(), QStringList{entryFile});
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(f.mode().page()->lineDisplay()->text(),
                 QStringLiteral("Current line: 1 of %1").arg(f.mode().LineCount()));
        QVERIFY(w.controller().EditScreenOpen(false));

        // No Update from its toolbar button: the tree as it was, the sample's own name.
        QTest::mouseClick(f.textButton("DontSave"), Qt::LeftButton);
        verifyView(f, false);
        QCOMPARE(f.document().path(), f.path);
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(f.expectedText(), expected);
        QCOMPARE(w.treePanel()->selectedNode(), f.document().root());
        QVERIFY(!f.document().isModified());
        QVERIFY(!w.controller().EditScreenOpen(false));
        QCOMPARE(w.actions().Bestand(1)->text(), f.path); // the temporary files stay off the list
        QVERIFY(w.actions().Bestand(2)->text().isEmpty());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    void updateKeepsOrSetsTheModifiedFlag_data()
    {
        QTest::addColumn<bool>("modifiedBefore");
        QTest::addColumn<bool>("type");
        QTest::addColumn<bool>("fromToolbar");
        QTest::addColumn<bool>("modifiedAfter");
        QTest::newRow("untouched, clean") << false << false << false << false;
        QTest::newRow("untouched, modified") << true << false << true << true;
        QTest::newRow("one character") << false << true << false << true;
        QTest::newRow("one character, toolbar") << false << true << true << true;
    }
    void updateKeepsOrSetsTheModifiedFlag()
    {
        QFETCH(bool, modifiedBefore);
        QFETCH(bool, type);
        QFETCH(bool, fromToolbar);
        QFETCH(bool, modifiedAfter);
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        f.document().setModified(modifiedBefore);
        const QString before = f.expectedText();
        f.item("M_TEdit")->trigger();
        QVERIFY(f.mode().isTextModeOn());
        if (type) {
            f.editor()->moveCursor(QTextCursor::End);
            QTest::keyClick(f.editor(), Qt::Key_Space);
        }
        if (fromToolbar)
            QTest::mouseClick(f.textButton("Update"), Qt::LeftButton);
        else
            f.editorItem("M_Update")->trigger();

        verifyView(f, false);
        QCOMPARE(f.document().isModified(), modifiedAfter);
        QCOMPARE(f.document().path(), f.path);
        QCOMPARE(w.windowTitle(), QStringLiteral("Kova - ") + f.path);
        QCOMPARE(f.expectedText(), before);
        QCOMPARE(w.treePanel()->selectedNode(), f.document().root());
        QVERIFY(f.item("M_Save")->isEnabled());
        QVERIFY(w.tabs()->isTabEnabled(MainWindow::Overview));
        QCOMPARE(w.actions().Bestand(1)->text(), f.path);
        QCOMPARE(w.controller().tempFiles().paths().size(), 2); // the entry copy and the edited text
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    void failingUpdateStaysAtTheReportedLine()
    {
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        f.item("M_TEdit")->trigger();
        const QString entryFile = f.document().path();
        f.replaceText(QStringLiteral("CLASS MACHINE\nCATEGORY \"A\"\nBOGUS\nEND CATEGORY"));
        f.editor()->moveCursor(QTextCursor::Start);
        f.prompter.expect(QStringLiteral("Error in line  3"), Message::Icon::None);
        f.editorItem("M_Update")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);

        verifyView(f, true);
        QCOMPARE(f.editor()->textCursor().position(), f.editor()->document()->findBlockByNumber(2).position());
        QCOMPARE(f.mode().page()->lineDisplay()->text(), QStringLiteral("Current line: 3 of 4"));
        QCOMPARE(f.document().path(), entryFile);
        QVERIFY(w.controller().EditScreenOpen(false));

        // Mended, the text goes through and counts as a change.
        f.replaceText(QStringLiteral("CLASS MACHINE\nCATEGORY \"A\"\nEND CATEGORY"));
        f.editorItem("M_Update")->trigger();
        verifyView(f, false);
        QCOMPARE(f.document().path(), f.path);
        QCOMPARE(w.windowTitle(), QStringLiteral("Kova - ") + f.path);
        QVERIFY(f.document().isModified());
        QCOMPARE(f.document().root()->child(0)->child(0)->text, QStringLiteral("A"));
        for (const char *name : {"M_Save", "M_SaveAs", "M_TEdit", "M_Expand"})
            QVERIFY2(f.item(name)->isEnabled(), name);
    }

    void aboutPanelReturnsToTextMode()
    {
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        f.item("M_TEdit")->trigger();
        f.editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(f.editor(), QStringLiteral("; note"));
        const QString edited = f.editor()->toPlainText();

        f.item("M_About")->trigger();
        QVERIFY(w.isAboutShown());
        QVERIFY(w.aboutPanel()->exitButton()->isVisible());
        QVERIFY(!f.mode().page()->isVisible());
        QVERIFY(!f.mode().toolBar()->isVisible());
        QVERIFY(!w.actions().toolBar()->isVisible());
        for (QMenu *menu :
             {w.actions().fileMenu(), w.actions().optionsMenu(), w.actions().helpMenu(), f.mode().editorMenu()})
            QVERIFY2(!f.menuShown(menu), qPrintable(menu->title()));
        QVERIFY(w.isTextModeShown());
        QVERIFY(w.controller().EditScreenOpen(false)); // covered, text mode is still open

        w.aboutPanel()->exitButton()->click();
        verifyView(f, true);
        QVERIFY(!w.aboutPanel()->exitButton()->isVisible());
        QCOMPARE(f.editor()->toPlainText(), edited);
        QVERIFY(f.mode().isTextChanged());

        f.editorItem("M_NoUpdate")->trigger();
        verifyView(f, false);
        QVERIFY(!f.document().isModified());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    void closeWhileInTextMode_data()
    {
        QTest::addColumn<bool>("behindAbout");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes: closes at once") << false << int(Answer::Yes);
        QTest::newRow("no: text mode stays") << false << int(Answer::No);
        QTest::newRow("about panel over text mode, no") << true << int(Answer::No);
    }
    void closeWhileInTextMode()
    {
        QFETCH(bool, behindAbout);
        QFETCH(int, answer);
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        f.item("M_TEdit")->trigger();
        const QString entryFile = f.document().path();
        f.editor()->moveCursor(QTextCursor::End);
        QTest::keyClick(f.editor(), Qt::Key_Space);
        const QString edited = f.editor()->toPlainText();
        if (behindAbout)
            f.item("M_About")->trigger();

        f.prompter.expect(kExitWithoutSaving, Message::Icon::Exclamation, Message::Buttons::YesNo, Answer(answer));
        const bool closed = w.close(); // never the save question: the text is not in the template
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(closed, Answer(answer) == Answer::Yes);
        QVERIFY(QFile::exists(entryFile)); // closing at once leaves the temporary files
        if (closed) {
            QFile::remove(entryFile);
            return;
        }
        QVERIFY(w.isVisible());
        QVERIFY(f.mode().isTextModeOn());
        QCOMPARE(f.editor()->toPlainText(), edited);
        QCOMPARE(w.isAboutShown(), behindAbout);
    }

    // The close sequence's update is the text mode's own: after Update the edit is in the template,
    // and closing saves it and removes the temporary files.
    void closeAfterUpdateSavesTheEditedText()
    {
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        f.item("M_TEdit")->trigger();
        const QString entryFile = f.document().path();
        f.replaceText(QStringLiteral("CLASS USER\nCATEGORY \"Edited\"\nEND CATEGORY"));
        QVERIFY(w.textMode()->TextModeUpdate());
        verifyView(f, false);
        QVERIFY(f.document().isModified());

        const QString out = f.dir.filePath(QStringLiteral("out.adm"));
        f.prompter.expect(kSaveChanges, Answer::Yes);
        f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save, out);
        QVERIFY(w.close());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(QFile(out).open(QIODevice::ReadOnly));
        QVERIFY(QString::fromLatin1(test::readBytes(out)).contains(QStringLiteral("CATEGORY \"Edited\"")));
        QVERIFY(!QFile::exists(entryFile));
        QVERIFY(w.textMode()->TextModeUpdate()); // outside text mode there is nothing to apply
    }

    void editScreenRefusesDocumentCommands_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("New") << "M_New";
        QTest::newRow("Open") << "M_Open";
        QTest::newRow("Save") << "M_Save";
        QTest::newRow("Save As") << "M_SaveAs";
        QTest::newRow("recent file") << "Bestand1";
        QTest::newRow("text mode again") << "M_TEdit";
    }
    void editScreenRefusesDocumentCommands()
    {
        QFETCH(QString, item);
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        f.item("M_TEdit")->trigger();
        const QString entryFile = f.document().path();
        f.replaceText(QStringLiteral("CLASS MACHINE"));
        QAction *action = item.startsWith(u"Bestand") ? w.actions().Bestand(1) : w.actions().item(item);
        f.prompter.expect(kCloseItFirst, Message::Icon::Exclamation);
        action->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(f.chooser.requests().isEmpty());
        verifyView(f, true);
        QCOMPARE(f.document().path(), entryFile);
        QCOMPARE(f.document().root(), nullptr);
        QCOMPARE(f.editor()->toPlainText(), QStringLiteral("CLASS MACHINE"));
        QCOMPARE(w.controller().tempFiles().paths(), QStringList{entryFile});
    }

    // Print, Help, Mail and Web on the text toolbar are the window's outside tools.
    void outsideToolsFollowTheWindow()
    {
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        w.setOutsideTools(nullptr);
        f.item("M_TEdit")->trigger();
        for (const char *description : {"Print", "Help", "Mail", "Web"})
            QVERIFY2(!f.textButton(description)->isEnabled(), description);
        f.editorItem("M_NoUpdate")->trigger();

        RecordingOutsideTools tools({OutsideTools::Tool::Print, OutsideTools::Tool::Mail});
        w.setOutsideTools(&tools);
        f.item("M_TEdit")->trigger();
        QVERIFY(f.textButton("Print")->isEnabled());
        QVERIFY(!f.textButton("Help")->isEnabled());
        QTest::mouseClick(f.textButton("Print"), Qt::LeftButton);
        QTest::mouseClick(f.textButton("Mail"), Qt::LeftButton);
        f.editorItem("M_EPrint")->trigger();
        QCOMPARE(tools.calls, (QStringList{"print", "mail", "print"}));
        QVERIFY(f.mode().isTextModeOn());
        w.setOutsideTools(nullptr);
    }
};

QTEST_MAIN(TestTextModeWindow)
#include "tst_textmodewindow.moc"
