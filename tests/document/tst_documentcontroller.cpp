#include "document/documentcontroller.h"
#include "document/editscreens.h"
#include "document/preferences.h"
#include "document/regexportconverter.h"
#include "document/templatedocument.h"

#include "scriptedfilechooser.h"
#include "scriptedprompter.h"
#include "templatefixtures.h"
#include "testfiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;

namespace {

using test::kBad;
using test::kGood;
using test::kSaveChanges;
const Message kEditScreen{QStringLiteral("There is an edit screen open. Close it first"), Message::Icon::Exclamation,
                          Message::Buttons::Ok};

// Edit screens whose state a test sets; applyTextMode records its calls.
struct FakeScreens : EditScreens
{
    bool editScreen = false;
    bool shown = false;
    bool applied = true;
    QStringList calls;
    bool editScreenOpen() const override { return editScreen; }
    bool textModeShown() const override { return shown; }
    bool applyTextMode() override
    {
        calls << "update";
        return applied;
    }
};

// One controller over its own document, preferences and files in a fresh folder.
struct Fixture
{
    QTemporaryDir dir;
    Preferences preferences{dir.filePath(QStringLiteral("settings.ini"))};
    TemplateDocument document;
    test::ScriptedPrompter prompter;
    test::ScriptedFileChooser chooser;
    DocumentController controller{document, prompter, chooser, preferences};
    FakeScreens screens;
    bool &editScreen = screens.editScreen;

    Fixture() { controller.setEditScreens(&screens); }
    QString file(const QString &name, const QByteArray &text) { return test::writeText(dir.filePath(name), text); }
};

} // namespace

class TestDocumentController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void newMakesRootAndClasses()
    {
        Fixture f;
        QCOMPARE(f.controller.commandState(), DocumentController::CommandState{});
        QCOMPARE(f.controller.caption(), QStringLiteral("Kova"));
        QSignalSpy created(&f.controller, &DocumentController::documentCreated);
        QVERIFY(f.controller.newDocument());
        QCOMPARE(created.count(), 1);
        QCOMPARE(f.document.root()->text, QStringLiteral("Computer"));
        QCOMPARE(f.document.root()->childCount(), 2);
        QCOMPARE(f.document.texts().text(2), QStringLiteral("CLASS MACHINE\r\n"));
        QCOMPARE(f.document.texts().text(3), QStringLiteral("CLASS USER\r\n"));
        QVERIFY(!f.document.isModified());
        QCOMPARE(f.controller.commandState(), (DocumentController::CommandState{true, false, true}));
    }

    void openGoodFile()
    {
        Fixture f;
        const QString path = f.file(QStringLiteral("good.adm"), kGood);
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, path);
        QSignalSpy loaded(&f.controller, &DocumentController::documentLoaded);
        QVERIFY(f.controller.open());
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(f.document.path(), path);
        QCOMPARE(f.controller.caption(), QStringLiteral("Kova - ") + path);
        QCOMPARE(f.controller.commandState(), (DocumentController::CommandState{true, true, true}));
        QCOMPARE(f.controller.recentFiles().item(1), path);
        QCOMPARE(f.preferences.recentFile(1), path);
        QVERIFY(!f.document.isModified());
        // Open again, cancelled: the dialog proposed the file's name, and it stays open.
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, QString());
        QVERIFY(!f.controller.open());
        QCOMPARE(f.chooser.requests().last().proposedName, path);
        QCOMPARE(f.document.path(), path);
    }

    void openBadFile()
    {
        Fixture f;
        const QString path = f.file(QStringLiteral("bad.adm"), kBad);
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, path);
        f.prompter.allowAnything(Answer::Ok); // the syntax error, then "File not loaded"
        QVERIFY(!f.controller.open());
        QCOMPARE(f.prompter.messages().last(),
                 (Message{QStringLiteral("File not loaded"), Message::Icon::Exclamation, Message::Buttons::Ok}));
        QCOMPARE(f.document.path(), QString());
        QCOMPARE(f.controller.caption(), QStringLiteral("Kova"));
        QCOMPARE(f.controller.commandState(), DocumentController::CommandState{});
        QCOMPARE(f.controller.recentFiles().item(1), QString());
    }

    void missingRecentFileLeavesTheList()
    {
        Fixture f;
        const QString gone = f.dir.filePath(QStringLiteral("gone.adm"));
        const QString other = f.file(QStringLiteral("other.adm"), kGood);
        f.preferences.setRecentFile(1, gone);
        f.preferences.setRecentFile(2, other);
        f.controller.readPreferences();
        f.prompter.allowAnything(Answer::Ok); // the system's own error text
        QVERIFY(!f.controller.openRecent(1));
        QCOMPARE(f.prompter.messages().size(), 1);
        QCOMPARE(f.prompter.messages().first().icon, Message::Icon::Exclamation);
        QCOMPARE(f.controller.recentFiles().items(), (QStringList{other, "", "", ""}));
    }

    // The question before a modified template is left, on the way to opening another.
    void saveChanges_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs"); // "-" no dialog, "" cancelled, else a file name
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("no: go on without saving") << int(Answer::No) << "-" << true;
        QTest::newRow("cancel: stop") << int(Answer::Cancel) << "-" << false;
        QTest::newRow("yes, Save As cancelled: stop") << int(Answer::Yes) << "" << false;
        QTest::newRow("yes, saved: go on") << int(Answer::Yes) << "saved.adm" << true;
    }
    void saveChanges()
    {
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, goesOn);
        Fixture f;
        const QString path = f.file(QStringLiteral("good.adm"), kGood);
        const QString next = f.file(QStringLiteral("next.adm"), kGood);
        QVERIFY(f.controller.LoadDocument(path, false).loaded());
        f.document.setModified(true);
        f.prompter.expect(kSaveChanges, Answer(answer));
        const QString target = saveAs.isEmpty() ? QString() : f.dir.filePath(saveAs);
        if (saveAs != u"-")
            f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save, target);
        if (goesOn)
            f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, next);
        QCOMPARE(f.controller.open(), goesOn);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(f.chooser.pending(), 0);
        QCOMPARE(f.document.path(), goesOn ? next : path);
        QCOMPARE(f.document.isModified(), !goesOn);
        if (saveAs.size() > 1) // both the written and the loaded file are on the list, newest first
            QCOMPARE(f.controller.recentFiles().items(), (QStringList{next, target, path, ""}));
    }

    void saveUntitledAsksForName()
    {
        Fixture f;
        QVERIFY(f.controller.newDocument());
        const QString target = f.dir.filePath(QStringLiteral("new.adm"));
        f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save, target);
        QVERIFY(f.controller.save());
        QCOMPARE(test::readBytes(target), QByteArray("CLASS MACHINE\r\nCLASS USER\r\n"));
        QCOMPARE(f.controller.caption(), QStringLiteral("Kova - ") + target);
    }

    void saveWritesToCurrentPath()
    {
        Fixture f;
        const QString path = f.file(QStringLiteral("good.adm"), kGood);
        QVERIFY(f.controller.LoadDocument(path, false).loaded());
        f.document.setModified(true);
        QVERIFY(f.controller.save()); // no dialog expected
        QVERIFY(!f.document.isModified());
        QVERIFY(test::readBytes(path).contains("\tPOLICY \"Icons\"\r\n"));
    }

    void nothingToSave()
    {
        Fixture f;
        f.prompter.expect(QStringLiteral("There is nothing to save"), Message::Icon::Exclamation);
        QVERIFY(!f.controller.save());
        f.prompter.expect(QStringLiteral("There is nothing to save"), Message::Icon::Exclamation);
        QVERIFY(!f.controller.saveAs());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
    }

    void editScreenGuard()
    {
        Fixture f;
        f.editScreen = true;
        for (int i = 0; i < 5; ++i)
            f.prompter.expect(kEditScreen);
        QVERIFY(!f.controller.newDocument());
        QVERIFY(!f.controller.open());
        QVERIFY(!f.controller.openRecent(1));
        QVERIFY(!f.controller.save());
        QVERIFY(!f.controller.saveAs());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(f.controller.EditScreenOpen(false)); // silent
    }

    void stringsToggle_data()
    {
        QTest::addColumn<bool>("loadFile");
        QTest::addColumn<bool>("modified");
        QTest::newRow("empty template stays unmodified") << false << false;
        QTest::newRow("template with nodes is modified") << true << true;
    }
    void stringsToggle()
    {
        QFETCH(bool, loadFile);
        QFETCH(bool, modified);
        Fixture f;
        if (loadFile)
            QVERIFY(f.controller.LoadDocument(f.file(QStringLiteral("g.adm"), kGood), false).loaded());
        else
            QVERIFY(f.controller.newDocument());
        QSignalSpy spy(&f.controller, &DocumentController::stringsOptionChanged);
        f.controller.toggleStrings();
        QVERIFY(f.document.stringsOption());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toBool(), true);
        QVERIFY(f.preferences.strings());
        QCOMPARE(f.document.isModified(), modified);
        f.controller.toggleStrings();
        QVERIFY(!f.preferences.strings());
        // and the preference reaches the next document
        f.preferences.setStrings(true);
        f.controller.readPreferences();
        QVERIFY(f.document.stringsOption());
    }

    void newerStatementsReachLoader()
    {
        Fixture f;
        const QString path =
            f.file(QStringLiteral("newer.adm"), "CLASS MACHINE\nCATEGORY \"C\"\nPOLICY \"P\"\nEXPLAIN \"Why\"\n"
                                                "VALUENAME \"V\"\nEND POLICY\nEND CATEGORY\n");
        f.prompter.allowAnything(Answer::Ok);
        QVERIFY(!f.controller.LoadDocument(path, false).loaded());
        f.controller.setNewerStatements(true);
        QVERIFY(f.controller.newerStatements());
        QVERIFY(f.controller.LoadDocument(path, false).loaded());
    }

    void regWithoutConverterFailsCleanly()
    {
        Fixture f;
        const QString path = f.file(QStringLiteral("good.adm"), kGood);
        QVERIFY(f.controller.LoadDocument(path, false).loaded());
        f.prompter.expect(QStringLiteral("Registry files cannot be converted in this version"),
                          Message::Icon::Exclamation);
        QVERIFY(!f.controller.LoadDocument(f.dir.filePath(QStringLiteral("x.REG")), false).loaded());
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(f.document.path(), path); // nothing else changed
        QVERIFY(f.document.root());
    }

    void regThroughConverter()
    {
        Fixture f;
        const QString temporary = f.file(QStringLiteral("ADM7.tmp"), kGood);
        // Converts to the temporary template it is given; none: the conversion fails.
        struct Converter : RegExportConverter
        {
            std::optional<QString> result;
            QString asked;
            std::optional<QString> convertExport(const QString &reg) override
            {
                asked = reg;
                return result;
            }
        } converter;
        converter.result = temporary;
        f.controller.setRegConverter(&converter);
        const QString reg = f.dir.filePath(QStringLiteral("export.reg"));
        QVERIFY(f.controller.LoadDocument(reg, false).loaded());
        QCOMPARE(converter.asked, reg);
        QVERIFY(f.document.isModified());
        QCOMPARE(f.document.path(), QString());
        QCOMPARE(f.controller.caption(), QStringLiteral("Kova"));
        QVERIFY(!QFile::exists(temporary));
        QVERIFY(!f.controller.recentFiles().hasEntries());

        converter.result.reset();
        QVERIFY(!f.controller.LoadDocument(reg, false).loaded());
        QVERIFY(f.document.root()); // a failed conversion changes nothing
    }

    // An ADMX opens as a new, untitled template from its ADML beside it; what ADM cannot hold is one
    // message. The reading itself is tested with the ADMX cases.
    void admxOpensAsNewTemplate()
    {
        Fixture f;
        const QString folder = QStringLiteral(KOVA_SOURCE_DIR "/tests/data/cli/import-admx/defaults/");
        f.prompter.expect({QStringLiteral("An ADM template cannot hold everything of this ADMX (1 warnings):\r\n\r\n"
                                          "Server host: Hosts:: multiText (a list of texts in one value) has no ADM "
                                          "form; it was written as an EDITTEXT, which holds one text."),
                           Message::Icon::Exclamation, Message::Buttons::Ok});
        QVERIFY(f.controller.LoadDocument(folder + QStringLiteral("in.admx"), false).loaded());
        QVERIFY(f.document.isModified());
        QCOMPARE(f.document.path(), QString());
        QCOMPARE(f.document.root()->child(0)->child(0)->child(0)->text, QStringLiteral("Server host"));
        QVERIFY(!f.controller.recentFiles().hasEntries());
    }

    void fatalFault()
    {
        Fixture f;
        const QString path = f.file(QStringLiteral("fatal.adm"), "CLASS MACHINE\nCATEGORY !!Missing\nEND CATEGORY\n");
        f.prompter.allowAnything(Answer::Ok);
        QSignalSpy fatal(&f.controller, &DocumentController::fatalFault);
        QCOMPARE(f.controller.LoadDocument(path, false).status, LoadResult::Status::Fatal);
        QCOMPARE(fatal.count(), 1);
        QCOMPARE(f.prompter.messages().last().icon, Message::Icon::Critical);
    }

    void closeRequest_data()
    {
        QTest::addColumn<bool>("editScreen");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs"); // "-" no dialog, "" cancelled, else a file name
        QTest::addColumn<int>("decision");
        const QString edit = QStringLiteral("There is an edit screen open. Exit without saving changes?");
        const QString save = QStringLiteral("Save changes in current file?");
        using D = DocumentController::CloseDecision;
        QTest::newRow("clean") << false << false << "" << 0 << "-" << int(D::Close);
        QTest::newRow("edit screen, yes") << true << true << edit << int(Answer::Yes) << "-" << int(D::CloseNow);
        QTest::newRow("edit screen, no") << true << false << edit << int(Answer::No) << "-" << int(D::Cancel);
        QTest::newRow("modified, no") << false << true << save << int(Answer::No) << "-" << int(D::Close);
        QTest::newRow("modified, cancel") << false << true << save << int(Answer::Cancel) << "-" << int(D::Cancel);
        QTest::newRow("modified, yes, dialog cancelled")
            << false << true << save << int(Answer::Yes) << "" << int(D::Cancel);
        QTest::newRow("modified, yes, saved")
            << false << true << save << int(Answer::Yes) << "out.adm" << int(D::Close);
    }
    void closeRequest()
    {
        QFETCH(bool, editScreen);
        QFETCH(bool, modified);
        QFETCH(QString, question);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(int, decision);
        Fixture f;
        QVERIFY(f.controller.newDocument());
        f.document.setModified(modified);
        f.editScreen = editScreen;
        if (!question.isEmpty())
            f.prompter.expect(question, Message::Icon::Exclamation,
                              editScreen ? Message::Buttons::YesNo : Message::Buttons::YesNoCancel, Answer(answer));
        if (saveAs != u"-")
            f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save,
                             saveAs.isEmpty() ? QString() : f.dir.filePath(saveAs));
        QCOMPARE(int(f.controller.closeRequest()), decision);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(f.chooser.pending(), 0);
    }

    // Saving on the way out first takes a showing text mode back into the tree; when the loader
    // refuses the text, the window stays open and nothing is saved.
    void closeRequestAppliesTextModeFirst_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("applied");
        QTest::newRow("text mode applied") << true << true;
        QTest::newRow("text refused") << true << false;
        QTest::newRow("no text mode") << false << true;
    }
    void closeRequestAppliesTextModeFirst()
    {
        QFETCH(bool, shown);
        QFETCH(bool, applied);
        Fixture f;
        QVERIFY(f.controller.newDocument());
        f.document.setModified(true);
        f.screens.shown = shown;
        f.screens.applied = applied;
        f.prompter.expect(kSaveChanges, Answer::Yes);
        if (applied)
            f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save,
                             f.dir.filePath(QStringLiteral("out.adm")));
        const auto decision = f.controller.closeRequest();
        QCOMPARE(decision,
                 applied ? DocumentController::CloseDecision::Close : DocumentController::CloseDecision::Cancel);
        QCOMPARE(f.screens.calls, shown ? QStringList{"update"} : QStringList());
        QCOMPARE(QFile::exists(f.dir.filePath(QStringLiteral("out.adm"))), applied);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(f.chooser.pending(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDocumentController)
#include "tst_documentcontroller.moc"
