#include "appfixture.h"

#include "editors/editorpage.h"
#include "templatefixtures.h"

#include "app/aboutpanel.h"
#include "app/templatetreemodel.h"
#include "app/templatetreeview.h"

#include "document/tempfiles.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace kova;
using kova::test::AppFixture;
using kova::test::RecordingOutsideTools;

namespace {

using test::kBad;
using test::kGood;
using test::kSaveChanges;

QStringList visibleRecent(const AppFixture &f)
{
    QStringList shown;
    for (int i = 0; i <= 4; ++i)
        if (f.window->actions().Bestand(i)->isVisible())
            shown.append(QString::number(i));
    return shown;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void startUpState()
    {
        AppFixture f;
        QStringList order;
        f.window = std::make_unique<MainWindow>(f.prompter, f.chooser, f.preferences);
        f.window->setOutsideTools(&f.tools);
        connect(f.window.get(), &MainWindow::fileAssociationsDue, this, [&] { order << "associations"; });
        connect(f.window.get(), &MainWindow::registryBrowserRefreshDue, this, [&] { order << "registry"; });
        f.window->show();
        f.window->StartUp(QString());
        MainWindow &w = *f.window;
        QCOMPARE(order, (QStringList{"associations", "registry"}));
        QCOMPARE(w.windowTitle(), QStringLiteral("Kova"));
        QVERIFY(w.isAboutShown());
        QVERIFY(!w.aboutPanel()->exitButton()->isVisible());
        QVERIFY(w.actions().toolBar()->isVisible());
        for (int tab = 0; tab < 10; ++tab)
            QVERIFY2(!w.tabs()->isTabEnabled(tab), qPrintable(QString::number(tab)));
        QVERIFY(w.tabs()->isTabEnabled(10));
        QCOMPARE(w.tabs()->currentIndex(), 0);
        for (const char *name : {"M_Save", "M_SaveAs", "M_Print", "M_Poledit", "M_TEdit", "M_Expand", "M_Collapse"})
            QVERIFY2(!f.item(name)->isEnabled(), name);
        for (const char *name : {"M_New", "M_Open", "M_Exit", "M_Strings", "M_About", "M_Help"})
            QVERIFY2(f.item(name)->isEnabled(), name);
        QCOMPARE(w.treePanel()->keyLabel()->text(), QString());
        QCOMPARE(visibleRecent(f), QStringList());
        QCOMPARE(w.treePanel()->insertPosition(), InsertPosition::After);
        QVERIFY(f.treeItem("Insmode0")->isChecked());
        QVERIFY(!f.item("M_NewerStatements")->isChecked());
    }

    void tabCaptions()
    {
        AppFixture f;
        f.start();
        const QStringList captions{"&Overview", "&Category", "&Policy",  "C&heckBox", "Co&mbobox", "&Dropdown",
                                   "&Edittext", "&Listbox",  "&Numeric", "&Text",     "&Registry"};
        QCOMPARE(f.window->tabs()->count(), 11);
        for (int i = 0; i < 11; ++i)
            QCOMPARE(f.window->tabs()->tabText(i), captions.at(i));
    }

    void menuItems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::newRow("new") << "M_New"
                             << "&File"
                             << "New"
                             << "Ctrl+N";
        QTest::newRow("open") << "M_Open"
                              << "&File"
                              << "Open"
                              << "Ctrl+O";
        QTest::newRow("save") << "M_Save"
                              << "&File"
                              << "Save"
                              << "Ctrl+S";
        QTest::newRow("save as") << "M_SaveAs"
                                 << "&File"
                                 << "Save As"
                                 << "Ctrl+A";
        QTest::newRow("print") << "M_Print"
                               << "&File"
                               << "Print Template"
                               << "";
        QTest::newRow("exit") << "M_Exit"
                              << "&File"
                              << "Exit"
                              << "Ctrl+X";
        QTest::newRow("expand") << "M_Expand"
                                << "Option&s"
                                << "Expand Overview Window"
                                << "Ctrl+E";
        QTest::newRow("collapse") << "M_Collapse"
                                  << "Option&s"
                                  << "Collapse Overview  Window"
                                  << "Ctrl+C";
        QTest::newRow("strings") << "M_Strings"
                                 << "Option&s"
                                 << "Save strings in string table"
                                 << "Ctrl+T";
        QTest::newRow("poledit") << "M_Poledit"
                                 << "Option&s"
                                 << "Load POLEDIT with this template"
                                 << "Ctrl+P";
        QTest::newRow("text editor") << "M_TEdit"
                                     << "Option&s"
                                     << "Edit file with text editor"
                                     << "Ctrl+I";
        QTest::newRow("help") << "M_Help"
                              << "&Help"
                              << "&Help"
                              << "F1";
        QTest::newRow("about") << "M_About"
                               << "&Help"
                               << "&About"
                               << "";
        QTest::newRow("history") << "M_History"
                                 << "&Help"
                                 << "&Program history"
                                 << "";
        QTest::newRow("update") << "M_Update"
                                << "&Help"
                                << "Check for new version on the Internet"
                                << "";
        QTest::newRow("mail") << "M_Mail"
                              << "&Help"
                              << "Send E-mail to author"
                              << "Ctrl+M";
        QTest::newRow("web") << "M_Web"
                             << "&Help"
                             << "Go to website"
                             << "Ctrl+W";
    }
    void menuItems()
    {
        QFETCH(QString, name);
        QFETCH(QString, menu);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        AppFixture f;
        f.start();
        QAction *action = f.window->actions().item(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), QKeySequence(shortcut));
        QMenu *owner = nullptr;
        for (QAction *top : f.window->menuBar()->actions())
            if (top->menu() && top->menu()->actions().contains(action))
                owner = top->menu();
        QVERIFY(owner);
        QCOMPARE(owner->title(), menu);
    }

    void toolbar()
    {
        AppFixture f;
        f.start();
        const QList<std::pair<QString, QString>> buttons{{"New", "Create New Policy Template File"},
                                                         {"Open", "Open Policy Template File"},
                                                         {"Save", "Save Policy Template File"},
                                                         {"SaveAs", "Save Policy Template File As"},
                                                         {"Print", "Print Template"},
                                                         {"Expand", "Expand Overview Window"},
                                                         {"Collapse", "Collapse Overview Window"},
                                                         {"Strings", "Save strings in stringtable"},
                                                         {"Poledit", "Load POLEDIT with this template"},
                                                         {"Editor", "Edit file with text editor"},
                                                         {"Help", "Show help file"},
                                                         {"Mail", "Send E-mail to author"},
                                                         {"Web", "Go to authors website"}};
        QStringList order;
        for (const auto &[description, tip] : buttons) {
            order << description;
            QAction *action = f.window->actions().button(description);
            QVERIFY2(action, qPrintable(description));
            auto *button = qobject_cast<QToolButton *>(f.window->actions().toolBar()->widgetForAction(action));
            QVERIFY(button);
            QCOMPARE(button->toolTip(), tip);
            QVERIFY(!button->icon().isNull());
        }
        QCOMPARE(f.window->actions().descriptions(), order);
        QVERIFY(!f.window->actions().button(QStringLiteral("Save"))->isEnabled());
    }

    void runToolbarCommand()
    {
        AppFixture f;
        f.start();
        RecordingOutsideTools tools;
        f.window->setOutsideTools(&tools);
        f.window->RunToolbarCommand(QStringLiteral("new")); // matches nothing: case counts
        QVERIFY(f.window->isAboutShown());
        f.window->RunToolbarCommand(QStringLiteral("Mail"));
        QCOMPARE(tools.calls, QStringList{"mail"});
        f.window->RunToolbarCommand(QStringLiteral("New"));
        QVERIFY(!f.window->isAboutShown());
        QVERIFY(f.window->document().root());
    }

    void laterCommandsCallTheirTools()
    {
        AppFixture f;
        f.start();
        RecordingOutsideTools tools;
        f.window->setOutsideTools(&tools);
        f.item("M_New")->trigger();
        for (const char *name : {"M_Print", "M_Poledit", "M_TEdit", "M_Help", "M_History", "M_Update", "M_Web"})
            f.item(name)->trigger();
        QVERIFY(f.window->isTextModeShown());
        QCOMPARE(tools.calls, (QStringList{"print", "poledit", "help", "history", "update", "web"}));
    }

    // A command whose tool is absent is disabled; POLEDIT and printing also wait for a document.
    void commandsWithoutTheirToolAreDisabled()
    {
        AppFixture f;
        f.start();
        f.window->setOutsideTools(nullptr);
        const char *const toolItems[] = {"M_Print", "M_Poledit", "M_Help", "M_History", "M_Update", "M_Mail", "M_Web"};
        for (const char *name : toolItems)
            QVERIFY2(!f.item(name)->isEnabled(), name);
        QVERIFY(!f.window->aboutPanel()->commentLine()->isEnabled());

        RecordingOutsideTools tools({OutsideTools::Tool::Print, OutsideTools::Tool::Help, OutsideTools::Tool::Mail});
        f.window->setOutsideTools(&tools);
        QVERIFY(!f.item("M_Print")->isEnabled()); // no document yet
        QVERIFY(f.item("M_Help")->isEnabled());
        QVERIFY(f.window->aboutPanel()->commentLine()->isEnabled());
        QVERIFY(!f.window->aboutPanel()->copyrightLine()->isEnabled());
        f.item("M_New")->trigger();
        const QStringList enabled{"M_Print", "M_Help", "M_Mail"};
        for (const char *name : toolItems)
            QCOMPARE(f.item(name)->isEnabled(), enabled.contains(QLatin1String(name)));
        for (const char *name : toolItems)
            f.item(name)->trigger();
        f.window->RunToolbarCommand(QStringLiteral("Web"));
        QCOMPARE(tools.calls, (QStringList{"print", "help", "mail"}));
        f.window->setOutsideTools(nullptr);
        QVERIFY(!f.item("M_Print")->isEnabled());
    }

    void newDocument()
    {
        AppFixture f;
        f.start();
        f.item("M_New")->trigger();
        MainWindow &w = *f.window;
        QVERIFY(!w.isAboutShown());
        QVERIFY(w.tabs()->isTabEnabled(0));
        QVERIFY(w.treePanel()->treeView()->isEnabled());
        QCOMPARE(w.treePanel()->model()->rowCount(w.treePanel()->model()->index(0, 0)), 2);
        for (const char *name : {"M_Save", "M_SaveAs", "M_Print", "M_Poledit", "M_TEdit"})
            QVERIFY2(f.item(name)->isEnabled(), name);
        QCOMPARE(w.treePanel()->Inhoud()->toPlainText(), QString());
        QCOMPARE(w.windowTitle(), QStringLiteral("Kova"));
        QVERIFY(!w.document().isModified());
    }

    void openGoodFile()
    {
        AppFixture f;
        f.start();
        const QString path = f.file(QStringLiteral("good.adm"), kGood);
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, path);
        f.item("M_Open")->trigger();
        MainWindow &w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Kova - ") + path);
        QVERIFY(!w.isAboutShown());
        QVERIFY(w.tabs()->isTabEnabled(0));
        for (const char *name : {"M_Save", "M_SaveAs", "M_Print", "M_Poledit", "M_TEdit", "M_Expand", "M_Collapse"})
            QVERIFY2(f.item(name)->isEnabled(), name);
        QCOMPARE(w.treePanel()->selectedNode(), w.document().root());
        QCOMPARE(visibleRecent(f), (QStringList{"0", "1"}));
        QCOMPARE(w.actions().Bestand(1)->text(), path);
    }

    void openBadFile()
    {
        AppFixture f;
        f.start();
        const QString good = f.file(QStringLiteral("good.adm"), kGood);
        QVERIFY(f.window->controller().LoadDocument(good, false).loaded());
        const QString path = f.file(QStringLiteral("bad.adm"), kBad);
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, path);
        f.prompter.allowAnything(Answer::Ok);
        f.item("M_Open")->trigger();
        QCOMPARE(f.prompter.messages().last().text, QStringLiteral("File not loaded"));
        MainWindow &w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Kova"));
        QVERIFY(!w.tabs()->isTabEnabled(0));
        QVERIFY(!w.treePanel()->treeView()->isEnabled());
        for (const char *name : {"M_Save", "M_SaveAs", "M_Print", "M_Poledit", "M_TEdit", "M_Expand", "M_Collapse"})
            QVERIFY2(!f.item(name)->isEnabled(), name);
        QCOMPARE(w.actions().Bestand(1)->text(), good); // a file that does not load stays off the list
    }

    void saveChangesYesThenCancelledSaveAs()
    {
        AppFixture f;
        f.start();
        const QString path = f.file(QStringLiteral("good.adm"), kGood);
        QVERIFY(f.window->controller().LoadDocument(path, false).loaded());
        f.window->document().setModified(true);
        f.prompter.expect(kSaveChanges, Answer::Yes);
        f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save, QString());
        f.item("M_New")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Kova - ") + path);
        QCOMPARE(f.window->document().root()->child(0)->child(0)->text, QStringLiteral("Desktop"));
        QVERIFY(f.window->document().isModified());
    }

    void recentEntriesOneAndThree()
    {
        AppFixture f;
        const QString a = f.file(QStringLiteral("a.adm"), kGood);
        const QString c = f.file(QStringLiteral("c.adm"), kGood);
        f.preferences.setRecentFile(1, a);
        f.preferences.setRecentFile(3, c);
        f.start();
        QCOMPARE(visibleRecent(f), (QStringList{"0", "1", "3"}));
        QCOMPARE(f.window->actions().Bestand(1)->text(), a);
        QCOMPARE(f.window->actions().Bestand(3)->text(), c);
        // Opening entry 3 moves it to the top without a duplicate.
        f.window->actions().Bestand(3)->trigger();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Kova - ") + c);
        QCOMPARE(visibleRecent(f), (QStringList{"0", "1", "2"}));
        QCOMPARE(f.window->actions().Bestand(1)->text(), c);
        QCOMPARE(f.window->actions().Bestand(2)->text(), a);
        QCOMPARE(f.preferences.recentFile(1), c);
        QCOMPARE(f.preferences.recentFile(3), QString());
    }

    void temporaryFilesStayOffTheList()
    {
        AppFixture f;
        f.start();
        const QString tmp = f.file(QStringLiteral("ADMFF.tmp"), kGood);
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, tmp);
        f.item("M_Open")->trigger();
        QVERIFY(f.window->document().root());
        QCOMPARE(visibleRecent(f), QStringList());
    }

    void stringsFromSettings_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("other") << "true" << false;
        QTest::newRow("missing") << QString() << false;
    }
    void stringsFromSettings()
    {
        QFETCH(QString, stored);
        QFETCH(bool, on);
        AppFixture f;
        if (!stored.isNull()) {
            QSettings raw(f.dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
            raw.setValue(QStringLiteral("Kova Edit/Strings"), stored);
        }
        Preferences preferences(f.dir.filePath(QStringLiteral("settings.ini")));
        MainWindow w(f.prompter, f.chooser, preferences);
        w.StartUp(QString());
        QCOMPARE(w.actions().item(QStringLiteral("M_Strings"))->isChecked(), on);
        auto *button = qobject_cast<QToolButton *>(
            w.actions().toolBar()->widgetForAction(w.actions().button(QStringLiteral("Strings"))));
        QCOMPARE(button->isChecked(), on);
        QCOMPARE(w.document().stringsOption(), on);
    }

    void toggleStringsOnEmptyTemplate()
    {
        AppFixture f;
        f.start();
        f.item("M_New")->trigger();
        f.window->RunToolbarCommand(QStringLiteral("Strings"));
        QVERIFY(f.item("M_Strings")->isChecked());
        QVERIFY(f.window->document().stringsOption());
        QVERIFY(!f.window->document().isModified());
        QVERIFY(f.preferences.strings());
        f.item("M_Strings")->trigger();
        QVERIFY(!f.item("M_Strings")->isChecked());
        QVERIFY(!f.window->document().stringsOption());
        QVERIFY(!f.preferences.strings());
    }

    void newerStatementsOption()
    {
        AppFixture f;
        f.preferences.setNewerStatements(true);
        f.start();
        QVERIFY(f.item("M_NewerStatements")->isChecked());
        f.item("M_NewerStatements")->trigger();
        QVERIFY(!f.preferences.newerStatements());
    }

    void closeWithModifiedDocument_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("cancelDialog");
        QTest::addColumn<bool>("closed");
        QTest::newRow("yes, Save As cancelled: stays open") << int(Answer::Yes) << true << false;
        QTest::newRow("yes, saved: closes") << int(Answer::Yes) << false << true;
        QTest::newRow("no: closes") << int(Answer::No) << false << true;
        QTest::newRow("cancel: stays open") << int(Answer::Cancel) << false << false;
    }
    void closeWithModifiedDocument()
    {
        QFETCH(int, answer);
        QFETCH(bool, cancelDialog);
        QFETCH(bool, closed);
        AppFixture f;
        f.start();
        f.item("M_New")->trigger();
        f.window->document().setModified(true);
        const QString temporary = NewTempFile(f.window->controller().tempFiles());
        QVERIFY(QFile::exists(temporary));
        f.prompter.expect(kSaveChanges, Answer(answer));
        if (Answer(answer) == Answer::Yes)
            f.chooser.expect(QStringLiteral("Save file as"), FileRequest::Mode::Save,
                             cancelDialog ? QString() : f.dir.filePath(QStringLiteral("out.adm")));
        QCOMPARE(f.window->close(), closed);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(f.window->isVisible(), !closed);
        QCOMPARE(QFile::exists(temporary), !closed);
        QFile::remove(temporary);
    }

    void closeWithEditScreenOpen_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(Answer::Yes);
        QTest::newRow("no") << int(Answer::No);
    }
    void closeWithEditScreenOpen()
    {
        QFETCH(int, answer);
        AppFixture f;
        f.start(f.file(QStringLiteral("good.adm"), test::kGood));
        f.window->document().setModified(true);
        const QString temporary = NewTempFile(f.window->controller().tempFiles());
        f.window->editors().EditNode(test::findNode(f.window->document(), "Icons"));
        f.prompter.expect(QStringLiteral("There is an edit screen open. Exit without saving changes?"),
                          Message::Icon::Exclamation, Message::Buttons::YesNo, Answer(answer));
        const bool closed = f.window->close(); // no question about saving either way
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(closed, Answer(answer) == Answer::Yes);
        QVERIFY(QFile::exists(temporary)); // left in place
        QFile::remove(temporary);
    }

    void editPageGuardsDocumentCommands()
    {
        AppFixture f;
        f.start(f.file(QStringLiteral("good.adm"), test::kGood));
        f.window->editors().EditNode(test::findNode(f.window->document(), "Desktop"));
        QVERIFY(!f.window->tabs()->isTabEnabled(0));
        QCOMPARE(f.window->tabs()->currentIndex(), 1);
        QVERIFY(f.window->treePanel()->treeView()->isHidden());
        f.prompter.expect(QStringLiteral("There is an edit screen open. Close it first"), Message::Icon::Exclamation);
        f.item("M_Open")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        f.window->editors().page(EditorKind::Category)->cancelButton()->click();
        QVERIFY(f.window->tabs()->isTabEnabled(0));
        QVERIFY(!f.window->tabs()->isTabEnabled(1));
        QCOMPARE(f.window->tabs()->currentIndex(), 0);
        QVERIFY(!f.window->treePanel()->treeView()->isHidden());
        QVERIFY(!f.window->controller().EditScreenOpen(false));
    }

    void aboutPanelOverTabs()
    {
        AppFixture f;
        f.start();
        f.item("M_About")->trigger(); // already showing at start: no Exit button
        QVERIFY(!f.window->aboutPanel()->exitButton()->isVisible());
        f.item("M_New")->trigger();
        f.item("M_About")->trigger();
        MainWindow &w = *f.window;
        QVERIFY(w.isAboutShown());
        QVERIFY(w.aboutPanel()->exitButton()->isVisible());
        QVERIFY(!w.actions().toolBar()->isVisible());
        QVERIFY(!w.actions().fileMenu()->menuAction()->isVisible());
        QVERIFY(!w.actions().optionsMenu()->menuAction()->isVisible());
        QVERIFY(!w.actions().helpMenu()->menuAction()->isVisible());
        for (QLabel *line : w.aboutPanel()->lines())
            QVERIFY(line->isVisible());
        w.aboutPanel()->exitButton()->click();
        QVERIFY(!w.isAboutShown());
        QVERIFY(w.tabs()->isVisible());
        QVERIFY(w.actions().toolBar()->isVisible());
        QVERIFY(w.actions().fileMenu()->menuAction()->isVisible());
        QVERIFY(!w.aboutPanel()->exitButton()->isVisible());
    }

    void aboutLinesCallHooks()
    {
        AppFixture f;
        f.start();
        RecordingOutsideTools tools;
        f.window->setOutsideTools(&tools);
        QTest::mouseClick(f.window->aboutPanel()->commentLine(), Qt::LeftButton);
        QTest::mouseClick(f.window->aboutPanel()->copyrightLine(), Qt::LeftButton);
        QCOMPARE(tools.calls, (QStringList{"mail", "web"}));
    }

    void tabChangedCallsTheRegistryPage()
    {
        AppFixture f;
        f.start();
        QStringList called;
        connect(f.window.get(), &MainWindow::registryPageEntered, this, [&] { called << "entered"; });
        connect(f.window.get(), &MainWindow::registryPageLeft, this, [&] { called << "left"; });
        f.item("M_New")->trigger();
        f.window->tabs()->setCurrentIndex(MainWindow::RegistryTab);
        f.window->tabs()->setCurrentIndex(MainWindow::Overview);
        QCOMPARE(called, (QStringList{"entered", "left"}));
    }

    void commandLine_data()
    {
        QTest::addColumn<bool>("quoted");
        QTest::newRow("quoted with a switch") << true;
        QTest::newRow("plain path") << false;
    }
    void commandLine()
    {
        QFETCH(bool, quoted);
        AppFixture f;
        const QString path = f.file(QStringLiteral("cmd.adm"), kGood);
        f.start(quoted ? QLatin1Char('"') + path + QStringLiteral("\" /x") : path);
        QCOMPARE(f.window->document().path(), path);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Kova - ") + path);
        QVERIFY(!f.window->isAboutShown());
        QVERIFY(f.window->tabs()->isTabEnabled(0));
    }

    void commandLineFileThatCannotBeOpened()
    {
        AppFixture f;
        f.prompter.allowAnything(Answer::Ok);
        f.start(f.dir.filePath(QStringLiteral("missing.adm")));
        QCOMPARE(f.prompter.messages().size(), 1);
        QVERIFY(f.window->isAboutShown());
        QVERIFY(!f.window->tabs()->isTabEnabled(0));
        QVERIFY(!f.window->fatalOccurred());
    }

    void fatalFaultOnTheCommandLine()
    {
        AppFixture f;
        const QString path = f.file(QStringLiteral("fatal.adm"), "CLASS MACHINE\nCATEGORY !!Nowhere\nEND CATEGORY\n");
        f.prompter.allowAnything(Answer::Ok);
        int refreshed = 0;
        f.window = std::make_unique<MainWindow>(f.prompter, f.chooser, f.preferences);
        connect(f.window.get(), &MainWindow::registryBrowserRefreshDue, this, [&] { ++refreshed; });
        QSignalSpy fatal(f.window.get(), &MainWindow::fatalFault);
        f.window->StartUp(path);
        QVERIFY(f.window->fatalOccurred());
        QCOMPARE(fatal.count(), 1);
        QCOMPARE(refreshed, 0);
        QVERIFY(f.window->close()); // no closing questions after a fatal fault
    }

    void regFileGoesToTheConverter()
    {
        AppFixture f;
        f.start();
        const QString temporary = f.file(QStringLiteral("ADM5.tmp"), kGood);
        f.window->controller().setRegConverter([&](const QString &) -> std::optional<QString> { return temporary; });
        const QString reg = f.dir.filePath(QStringLiteral("export.reg"));
        f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, reg);
        f.item("M_Open")->trigger();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Kova"));
        QVERIFY(f.window->document().isModified());
        QVERIFY(f.window->tabs()->isTabEnabled(0));
    }

    void centerWindow()
    {
        AppFixture f;
        f.start();
        f.window->CenterWindow();
        const QRect screen = f.window->screen()->geometry();
        const QRect frame = f.window->frameGeometry();
        QVERIFY(qAbs(frame.center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(frame.center().y() - screen.center().y()) <= 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
