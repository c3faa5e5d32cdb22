// The main window's wiring: what the user sees of the menus, toolbar, tabs and about panel, and that
// commands reach the controller and the outside tools (the controller's own rules are tested with it).
#include "appfixture.h"

#include "editors/editorpage.h"
#include "templatefixtures.h"

#include "app/aboutpanel.h"
#include "app/templatetreemodel.h"
#include "app/templatetreeview.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace kova;
using kova::test::AppFixture;
using kova::test::RecordingOutsideTools;
using Tool = kova::OutsideTools::Tool;

namespace {

// The commands that need a document or a tree.
const QStringList kDocumentItems{"M_Save",    "M_SaveAs", "M_ExportAdmx", "M_Print",
                                 "M_Poledit", "M_TEdit",  "M_Expand",     "M_Collapse"};
const QStringList kToolItems{"M_Print", "M_Poledit", "M_Help", "M_History", "M_Update", "M_Mail", "M_Web"};

QStringList enabledItems(const AppFixture &f, const QStringList &names)
{
    QStringList on;
    for (const QString &name : names)
        if (f.window->actions().item(name)->isEnabled())
            on << name;
    return on;
}

QStringList visibleRecent(const AppFixture &f)
{
    QStringList shown;
    for (int i = 0; i <= 4; ++i)
        if (f.window->actions().Bestand(i)->isVisible())
            shown.append(i == 0 ? QStringLiteral("-") : f.window->actions().Bestand(i)->text());
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
        QStringList tabs;
        for (int tab = 0; tab < w.tabs()->count(); ++tab)
            tabs << w.tabs()->tabText(tab) + (w.tabs()->isTabEnabled(tab) ? QStringLiteral("+") : QString());
        QCOMPARE(tabs, (QStringList{"&Overview", "&Category", "&Policy", "C&heckBox", "Co&mbobox", "&Dropdown",
                                    "&Edittext", "&Listbox", "&Numeric", "&Text", "&Registry+"}));
        QCOMPARE(w.tabs()->currentIndex(), 0);
        QCOMPARE(enabledItems(f, kDocumentItems), QStringList());
        QCOMPARE(enabledItems(f, {"M_New", "M_Open", "M_Exit", "M_Strings", "M_About", "M_Help"}).size(), 6);
        QCOMPARE(w.treePanel()->keyLabel()->text(), QString());
        QCOMPARE(visibleRecent(f), QStringList());
        QVERIFY(f.treeItem("Insmode0")->isChecked());
        QVERIFY(!f.item("M_NewerStatements")->isChecked());
    }

    // The menus and toolbar as the user meets them: titles, unique keys, a tip and an icon on every button.
    void menusAndToolbar()
    {
        AppFixture f;
        f.start();
        QStringList titles;
        QStringList keys;
        for (QAction *top : f.window->menuBar()->actions()) {
            if (!top->isVisible())
                continue;
            titles << top->text();
            for (QAction *item : top->menu()->actions())
                for (const QKeySequence &key : item->shortcuts())
                    keys << key.toString();
        }
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "Option&s", "&Help"}));
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        QCOMPARE(f.item("M_SaveAs")->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
        QCOMPARE(f.item("M_Exit")->shortcut(), QKeySequence(QStringLiteral("Ctrl+X")));
        QCOMPARE(f.item("M_Collapse")->text(), QStringLiteral("Collapse Overview  Window"));
        QToolBar *bar = f.window->actions().toolBar();
        int buttons = 0;
        for (QAction *action : bar->actions()) {
            if (action->isSeparator())
                continue;
            auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
            QVERIFY(button && !button->toolTip().isEmpty() && !button->icon().isNull());
            ++buttons;
        }
        QCOMPARE(buttons, 13);
        QCOMPARE(f.window->actions().button(QStringLiteral("Web"))->toolTip(), QStringLiteral("Go to authors website"));
        // A command disabled for want of a document says so; once there is one, the plain tooltip.
        QCOMPARE(f.item("M_Print")->statusTip(), QStringLiteral("Open or create a template first"));
        QCOMPARE(f.item("M_Poledit")->toolTip(),
                 QStringLiteral("Load POLEDIT with this template (Open or create a template first)"));
        f.item("M_New")->trigger();
        QCOMPARE(f.item("M_Print")->toolTip(), QStringLiteral("Print Template"));
        QVERIFY(f.item("M_Print")->statusTip().isEmpty());
    }

    void runToolbarCommand()
    {
        AppFixture f;
        f.start();
        f.window->RunToolbarCommand(QStringLiteral("new")); // matches nothing: case counts
        QVERIFY(f.window->isAboutShown());
        f.window->RunToolbarCommand(QStringLiteral("Mail"));
        QCOMPARE(f.tools.calls, QStringList{"mail"});
        f.window->RunToolbarCommand(QStringLiteral("New"));
        QVERIFY(!f.window->isAboutShown());
        QVERIFY(f.window->document().root());
    }

    // A command whose tool is absent is disabled and does nothing; POLEDIT and printing also wait for a
    // document. Every present tool is reached from its menu item.
    void toolCommands_data()
    {
        QTest::addColumn<QStringList>("present"); // as the tools record their calls
        QTest::newRow("all tools") << QStringList{"print", "poledit", "help", "history", "update", "mail", "web"};
        QTest::newRow("some tools") << QStringList{"print", "help", "mail"};
        QTest::newRow("none") << QStringList{};
    }
    void toolCommands()
    {
        QFETCH(QStringList, present);
        const QList<std::pair<QString, Tool>> names{
            {"print", Tool::Print},   {"poledit", Tool::Poledit}, {"help", Tool::Help}, {"history", Tool::History},
            {"update", Tool::Update}, {"mail", Tool::Mail},       {"web", Tool::Web}};
        RecordingOutsideTools tools(QSet<Tool>{});
        for (const auto &[name, tool] : names)
            if (present.contains(name))
                tools.present.insert(tool);
        AppFixture f;
        f.start();
        f.window->setOutsideTools(&tools);
        QVERIFY(!f.item("M_Print")->isEnabled() && !f.item("M_Poledit")->isEnabled()); // no document yet
        QCOMPARE(f.window->aboutPanel()->commentLine()->isEnabled(), present.contains("mail"));
        QCOMPARE(f.window->aboutPanel()->copyrightLine()->isEnabled(), present.contains("web"));
        f.item("M_New")->trigger();
        QCOMPARE(enabledItems(f, kToolItems).size(), present.size());
        for (const QString &name : kToolItems) // in the order of present's first row
            f.window->actions().item(name)->trigger();
        f.window->RunToolbarCommand(QStringLiteral("Web"));
        QCOMPARE(tools.calls, present + (present.contains("web") ? QStringList{"web"} : QStringList{}));
        f.window->setOutsideTools(nullptr);
        QCOMPARE(enabledItems(f, kToolItems), QStringList());
    }

    // What New, a good file and a bad file leave in the window.
    void documentStates_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("enabled"); // of kDocumentItems
        QTest::addColumn<bool>("titled");
        const QStringList all = kDocumentItems;
        QTest::newRow("new") << "new" << all.mid(0, 6) << false; // nothing to expand or collapse yet
        QTest::newRow("good file") << "good" << all << true;
        QTest::newRow("bad file") << "bad" << QStringList{} << false;
    }
    void documentStates()
    {
        QFETCH(QString, how);
        QFETCH(QStringList, enabled);
        QFETCH(bool, titled);
        AppFixture f;
        f.start();
        const QString good = f.file(QStringLiteral("good.adm"), test::kSample);
        const QString path = how == u"bad" ? f.file(QStringLiteral("bad.adm"), test::kBad) : good;
        if (how == u"new") {
            f.item("M_New")->trigger();
        } else {
            if (how == u"bad") {
                QVERIFY(f.window->controller().LoadDocument(good, false).loaded());
                f.prompter.allowAnything(Answer::Ok);
            }
            f.chooser.expect(QStringLiteral("Open"), FileRequest::Mode::Open, path);
            f.item("M_Open")->trigger();
        }
        MainWindow &w = *f.window;
        const bool loaded = how != u"bad";
        QCOMPARE(w.windowTitle(), titled ? QStringLiteral("Kova - ") + path : QStringLiteral("Kova"));
        QCOMPARE(w.tabs()->isTabEnabled(0), loaded);
        QCOMPARE(w.treePanel()->treeView()->isEnabled(), loaded);
        QCOMPARE(enabledItems(f, kDocumentItems), enabled);
        if (loaded)
            QVERIFY(!w.isAboutShown());
        if (how == u"good")
            QCOMPARE(w.treePanel()->selectedNode(), w.document().root());
        QCOMPARE(visibleRecent(f), how == u"new" ? QStringList() : (QStringList{"-", good}));
        if (how == u"new")
            QCOMPARE(w.treePanel()->model()->rowCount(w.treePanel()->model()->index(0, 0)), 2);
    }

    void recentEntriesOpenAndMoveUp()
    {
        AppFixture f;
        const QString a = f.file(QStringLiteral("a.adm"), test::kSample);
        const QString c = f.file(QStringLiteral("c.adm"), test::kSample);
        f.preferences.setRecentFile(1, a);
        f.preferences.setRecentFile(3, c);
        f.start();
        QCOMPARE(visibleRecent(f), (QStringList{"-", a, c}));
        QVERIFY(f.window->actions().Bestand(2)->text().isEmpty());
        f.window->actions().Bestand(3)->trigger();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Kova - ") + c);
        QCOMPARE(visibleRecent(f), (QStringList{"-", c, a}));
    }

    // The strings and newer-statements options: read at start, shown on item and button, kept when changed.
    void options()
    {
        AppFixture f;
        f.preferences.setStrings(true);
        f.preferences.setNewerStatements(true);
        f.start();
        const auto *button = qobject_cast<QToolButton *>(
            f.window->actions().toolBar()->widgetForAction(f.window->actions().button(QStringLiteral("Strings"))));
        QVERIFY(f.item("M_Strings")->isChecked() && button->isChecked());
        QVERIFY(f.window->document().stringsOption());
        QVERIFY(f.item("M_NewerStatements")->isChecked());
        f.item("M_New")->trigger();
        f.window->RunToolbarCommand(QStringLiteral("Strings"));
        QVERIFY(!f.item("M_Strings")->isChecked() && !button->isChecked());
        QVERIFY(!f.window->document().stringsOption());
        QVERIFY(!f.preferences.strings());
        f.item("M_NewerStatements")->trigger();
        QVERIFY(!f.preferences.newerStatements());
    }

    void editPageGuardsDocumentCommands()
    {
        AppFixture f;
        f.start(f.file(QStringLiteral("good.adm"), test::kSample));
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
        const auto barsShown = [&] {
            return QList<bool>{w.actions().toolBar()->isVisible(), w.actions().fileMenu()->menuAction()->isVisible(),
                               w.actions().optionsMenu()->menuAction()->isVisible(),
                               w.actions().helpMenu()->menuAction()->isVisible()};
        };
        QVERIFY(w.isAboutShown());
        QVERIFY(w.aboutPanel()->exitButton()->isVisible());
        QCOMPARE(barsShown(), (QList<bool>{false, false, false, false}));
        const QList<QLabel *> lines = w.aboutPanel()->lines();
        QCOMPARE(std::count_if(lines.begin(), lines.end(), [](QLabel *line) { return line->isVisible(); }), 5);
        w.aboutPanel()->exitButton()->click();
        QVERIFY(!w.isAboutShown());
        QVERIFY(w.tabs()->isVisible());
        QCOMPARE(barsShown(), (QList<bool>{true, true, true, true}));
        QVERIFY(!w.aboutPanel()->exitButton()->isVisible());
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

    void commandLineFile_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("quoted with a switch") << true;
        QTest::newRow("cannot be opened") << false;
    }
    void commandLineFile()
    {
        QFETCH(bool, exists);
        AppFixture f;
        const QString path =
            exists ? f.file(QStringLiteral("cmd.adm"), test::kSample) : f.dir.filePath(QStringLiteral("none.adm"));
        f.prompter.allowAnything(Answer::Ok);
        f.start(QLatin1Char('"') + path + QStringLiteral("\" /x"));
        QCOMPARE(f.prompter.messages().size(), exists ? 0 : 1);
        QCOMPARE(f.window->windowTitle(), exists ? QStringLiteral("Kova - ") + path : QStringLiteral("Kova"));
        QCOMPARE(f.window->isAboutShown(), !exists);
        QCOMPARE(f.window->tabs()->isTabEnabled(0), exists);
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

    void centerWindow()
    {
        AppFixture f;
        f.start();
        f.window->CenterWindow();
        const QPoint offset = f.window->frameGeometry().center() - f.window->screen()->geometry().center();
        QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1, qPrintable(QString::number(offset.manhattanLength())));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
