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

namespace {

const QString kCloseItFirst = QStringLiteral("There is an edit screen open. Close it first");
const QString kExitWithoutSaving = QStringLiteral("There is an edit screen open. Exit without saving changes?");
using test::kSaveChanges;

// The real main window with the sample template loaded from the command line.
struct SampleWindow : AppFixture
{
    QString path;

    bool startOnSample()
    {
        path = file(QStringLiteral("sample.adm"), test::kSample);
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

    // In by the Options item or the Editor button; out by No Update (item or button), or by Update
    // (item or button) after a typed character.
    void enterAndLeave_data()
    {
        QTest::addColumn<bool>("fromToolbar");
        QTest::addColumn<QString>("leave"); // "item:" or "button:" and the command
        QTest::newRow("Options item, DontSave button") << false << "button:DontSave";
        QTest::newRow("Editor button, No Update item") << true << "item:M_NoUpdate";
        QTest::newRow("typed, Update button") << false << "button:Update";
        QTest::newRow("typed, Update item") << true << "item:M_Update";
    }
    void enterAndLeave()
    {
        QFETCH(bool, fromToolbar);
        QFETCH(QString, leave);
        SampleWindow f;
        QVERIFY(f.startOnSample());
        MainWindow &w = *f.window;
        const QString expected = f.expectedText();
        const QString caption = w.windowTitle();
        if (fromToolbar)
            QTest::mouseClick(w.actions().toolBar()->widgetForAction(w.actions().button(QStringLiteral("Editor"))),
                              Qt::LeftButton);
        else
            f.item("M_TEdit")->trigger();

        verifyView(f, true);
        QCOMPARE(f.editor()->toPlainText(), expected);
        QCOMPARE(f.document().root(), nullptr);
        QCOMPARE(w.controller().tempFiles().paths(), QStringList{f.document().path()});
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(f.mode().page()->lineDisplay()->text(),
                 QStringLiteral("Current line: 1 of %1").arg(f.mode().LineCount()));
        QVERIFY(w.controller().EditScreenOpen(false));

        const bool update = leave.contains(u"Update") && !leave.contains(u"NoUpdate");
        if (update) {
            f.editor()->moveCursor(QTextCursor::End);
            QTest::keyClick(f.editor(), Qt::Key_Space);
        }
        const QString command = leave.section(u':', 1);
        if (leave.startsWith(u"button:"))
            QTest::mouseClick(f.textButton(qPrintable(command)), Qt::LeftButton);
        else
            f.editorItem(qPrintable(command))->trigger();
        verifyView(f, false);
        QCOMPARE(f.document().path(), f.path);
        QCOMPARE(w.windowTitle(), caption);
        QCOMPARE(f.expectedText(), expected);
        QCOMPARE(w.treePanel()->selectedNode(), f.document().root());
        QCOMPARE(f.document().isModified(), update);
        QVERIFY(f.item("M_Save")->isEnabled());
        QVERIFY(!w.controller().EditScreenOpen(false));
        QCOMPARE(w.controller().tempFiles().paths().size(), update ? 2 : 1);
        QCOMPARE(w.actions().Bestand(1)->text(), f.path); // the temporary files stay off the list
        QVERIFY(w.actions().Bestand(2)->text().isEmpty());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
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
        QVERIFY(!f.mode().page()->isVisible() && !f.mode().toolBar()->isVisible());
        QVERIFY(!w.actions().toolBar()->isVisible());
        QVERIFY(!f.menuShown(f.mode().editorMenu()) && !f.menuShown(w.actions().helpMenu()));
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
    }

    // Entering again goes through the window's edit-screen rule (the document commands' refusals are
    // the controller's own).
    void textModeAgainIsRefused()
    {
        SampleWindow f;
        QVERIFY(f.startOnSample());
        f.item("M_TEdit")->trigger();
        const QString entryFile = f.document().path();
        f.replaceText(QStringLiteral("CLASS MACHINE"));
        f.prompter.expect(kCloseItFirst, Message::Icon::Exclamation);
        f.item("M_TEdit")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        verifyView(f, true);
        QCOMPARE(f.document().path(), entryFile);
        QCOMPARE(f.document().root(), nullptr);
        QCOMPARE(f.editor()->toPlainText(), QStringLiteral("CLASS MACHINE"));
        QCOMPARE(f.window->controller().tempFiles().paths(), QStringList{entryFile});
    }
};

QTEST_MAIN(TestTextModeWindow)
#include "tst_textmodewindow.moc"
