// What the window cases (tests/data/window) cannot show: the window's signals, its geometry, the mouse,
// the focus moving inside text mode, the tree model under the view, real templates through text mode, and
// the editor run as a program: refused before its window, ended by a signal.
#include "appfixture.h"
#include "programrun.h"
#include "templatefixtures.h"

#include "app/registrywiring.h"
#include "registry/core/clsreg.h"
#include "registry/core/registryfilestore.h"

#include "app/templatetreemodel.h"
#include "app/templatetreeview.h"
#include "app/treefiltermodel.h"
#include "document/loader.h"
#include "document/treeoperations.h"
#include "document/writer.h"
#include "forms/editsession.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecommands.h"
#include "textedit/textmodecontroller.h"
#include "textedit/textmodefield.h"
#include "textedit/textmodepage.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <csignal>

#include <signal.h>

using namespace kova;
using kova::test::AppFixture;

class TestWindowWiring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Start-up asks for the associations before the registry page; a fatal fault on the command line
    // leaves the registry alone; the registry page hears when it is entered and left.
    void windowSignals()
    {
        AppFixture f;
        QStringList order;
        f.window = std::make_unique<MainWindow>(f.prompter, f.chooser, f.preferences);
        connect(f.window.get(), &MainWindow::fileAssociationsDue, this, [&] { order << "associations"; });
        connect(f.window.get(), &MainWindow::registryBrowserRefreshDue, this, [&] { order << "registry"; });
        f.window->show();
        f.window->StartUp(QString());
        connect(f.window.get(), &MainWindow::registryPageEntered, this, [&] { order << "entered"; });
        connect(f.window.get(), &MainWindow::registryPageLeft, this, [&] { order << "left"; });
        f.item("M_New")->trigger();
        f.window->tabs()->setCurrentIndex(MainWindow::RegistryTab);
        f.window->tabs()->setCurrentIndex(MainWindow::Overview);
        QCOMPARE(order, (QStringList{"associations", "registry", "entered", "left"}));

        AppFixture g;
        g.prompter.allowAnything(Answer::Ok);
        g.window = std::make_unique<MainWindow>(g.prompter, g.chooser, g.preferences);
        QSignalSpy refreshed(g.window.get(), &MainWindow::registryBrowserRefreshDue);
        g.window->StartUp(g.file(QStringLiteral("f.adm"), "CLASS MACHINE\nCATEGORY !!Nowhere\nEND CATEGORY\n"));
        QCOMPARE(refreshed.count(), 0);
    }

    // The menus and toolbar as the user meets them: unique keys, a tip and an icon on every button; the
    // window starts centred.
    void menusToolbarAndPlace()
    {
        AppFixture f;
        f.start();
        QStringList keys;
        for (QAction *top : f.window->menuBar()->actions())
            for (QAction *item : top->menu()->actions())
                for (const QKeySequence &key : item->shortcuts())
                    keys << key.toString();
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        QCOMPARE(f.item("M_SaveAs")->shortcut(), QKeySequence(QStringLiteral("Ctrl+A")));
        QCOMPARE(f.item("M_Collapse")->text(), QStringLiteral("Collapse Overview  Window"));
        QToolBar *bar = f.window->actions().toolBar();
        int buttons = 0;
        for (QAction *action : bar->actions()) {
            auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
            QVERIFY(action->isSeparator() || (button && !button->toolTip().isEmpty() && !button->icon().isNull()));
            buttons += action->isSeparator() ? 0 : 1;
        }
        QCOMPARE(buttons, 13);
        QCOMPARE(f.window->actions().button(QStringLiteral("Web"))->toolTip(), QStringLiteral("Go to authors website"));
        // A command disabled for want of a document says so in its tooltip; once there is one, the plain tooltip.
        QCOMPARE(f.item("M_Poledit")->toolTip(),
                 QStringLiteral("Load POLEDIT with this template (Open or create a template first)"));
        f.item("M_New")->trigger();
        QCOMPARE(f.item("M_Print")->toolTip(), QStringLiteral("Print Template"));
        const QPoint offset = f.window->frameGeometry().center() - f.window->screen()->geometry().center();
        QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1, qPrintable(QString::number(offset.manhattanLength())));
    }

    // A click selects; a double click opens the node's page once, without touching the expansion; the
    // root is never edited. A key of 300 characters does not widen the window.
    void mouseAndWidth()
    {
        AppFixture f;
        const QByteArray key = "Software\\" + QByteArray(300, 'k');
        f.start(f.file(QStringLiteral("t.adm"),
                       test::kSample + "CATEGORY \"Long\"\nKEYNAME \"" + key + "\"\nEND CATEGORY\n"));
        TreePanel *panel = f.window->treePanel();
        TemplateTreeView *tree = panel->treeView();
        const QModelIndex start = panel->filterModel()->indexForNode(test::findNode(f.window->document(), "Printers"));
        tree->scrollTo(start);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(start).center());
        QCOMPARE(panel->keyLabel()->text(), QStringLiteral("HKEY_CURRENT_USER\\Software\\Kova\\Printers"));

        int edits = 0;
        bool busyDuringEdit = false;
        connect(panel, &TreePanel::editRequested, this, [&] {
            ++edits;
            busyDuringEdit = panel->isBusy();
        });
        panel->selectNode(test::findNode(f.window->document(), "Wallpaper"));
        const QModelIndex index = tree->currentIndex();
        const bool expanded = tree->isExpanded(index);
        const QPoint at = tree->visualRect(index).center(); // as the platform delivers a double click
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &dbl);
        QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(edits, 1);
        QVERIFY(busyDuringEdit && !panel->isBusy());
        QCOMPARE(tree->isExpanded(index), expanded);
        f.window->editors().session().cancel();
        panel->selectRoot();
        panel->editSelected();
        QCOMPARE(edits, 1);

        f.window->resize(900, 640);
        panel->selectNode(test::findNode(f.window->document(), "Long"));
        QCoreApplication::processEvents();
        QCOMPARE(panel->keyLabel()->text(), QStringLiteral("HKEY_CURRENT_USER\\") + QString::fromLatin1(key));
        QCOMPARE(f.window->width(), 900);
        QVERIFY(f.window->minimumSizeHint().width() < 900);
    }

    // The model stays sound through every kind of change, and shows each node's picture, key and drag.
    void model()
    {
        TemplateDocument document;
        TemplateTreeModel model(document);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(test::loadText(document, test::kSample));
        const QModelIndex root = model.index(0, 0);
        QCOMPARE(root.data().toString(), QStringLiteral("Computer"));
        QCOMPARE(root.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("root"));
        QVERIFY(!(model.flags(model.index(0, 0, root)) & Qt::ItemIsDragEnabled)); // a class
        TemplateNode *machine = document.root()->child(0);
        const QModelIndex category = model.indexForNode(machine->child(0));
        QVERIFY(model.flags(category) & Qt::ItemIsDragEnabled);
        std::unique_ptr<QMimeData> mime(model.mimeData({category}));
        QCOMPARE(mime->data(TemplateTreeModel::kMimeType), category.data(TemplateTreeModel::KeyRole).toByteArray());
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setExpanded(category, true);
        QCOMPARE(category.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("open"));
        document.setNodeCaption(machine->child(0), QStringLiteral("Renamed"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(category.data().toString(), QStringLiteral("Renamed"));
        TemplateNode *added = AddNode(document, machine, NewNodeKind::Category);
        QCOMPARE(model.indexForNode(added).row(), machine->childCount() - 1);
        InsertNode(document, machine->child(0), NewNodeKind::Category, InsertPosition::Before);
        QCOMPARE(model.index(0, 0, model.indexForNode(machine)).data().toString(), QStringLiteral("<new>"));
        test::ScriptedPrompter prompter;
        prompter.allowAnything(Answer::Yes);
        TemplateNode *moved = document.root()->child(1)->child(0);
        QVERIFY(DropNode(document, moved, machine, prompter));
        QCOMPARE(model.parent(model.indexForNode(moved)), model.indexForNode(machine));
        QVERIFY(DeleteNode(document, added, prompter));
        document.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    // In text mode the Editor menu's items, the buttons and the keys move the focus to their fields; a
    // click on a field's caption focuses it; leaving a field trims its blanks and selects it; F3 finds.
    void textModeFocus()
    {
        AppFixture f;
        f.start(f.file(QStringLiteral("t.adm"), test::kSample));
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        TextModeController &mode = *f.window->textMode();
        f.item("M_TEdit")->trigger();
        TextModePage *page = mode.page();
        const auto focusedBy = [&](QAction *action, TextModeField *field) {
            action->trigger();
            return field->hasFocus();
        };
        QVERIFY(focusedBy(mode.commands()->menuItem(QStringLiteral("M_Goto")), page->gotoField()));
        QVERIFY(focusedBy(mode.commands()->toolButton(QStringLiteral("Find")), page->searchField()));
        QVERIFY(focusedBy(mode.commands()->toolButton(QStringLiteral("Goto")), page->gotoField()));
        QVERIFY(focusedBy(mode.commands()->menuItem(QStringLiteral("M_Find")), page->searchField()));
        QTest::keySequence(page->searchField(), QKeySequence(QStringLiteral("Ctrl+G")));
        QVERIFY(page->gotoField()->hasFocus());
        QTest::keySequence(page->gotoField(), QKeySequence(QStringLiteral("Ctrl+F")));
        QVERIFY(page->searchField()->hasFocus());
        QTest::mouseClick(page->gotoLabel(), Qt::LeftButton);
        QVERIFY(page->gotoField()->hasFocus());
        QTest::mouseClick(page->searchLabel(), Qt::LeftButton);
        QTest::keyClicks(page->searchField(), QStringLiteral("  policy  "));
        mode.editor()->setFocus();
        QCOMPARE(page->searchField()->selectedText(), QStringLiteral("policy"));
        mode.editor()->moveCursor(QTextCursor::Start);
        QTest::keyClick(mode.editor(), Qt::Key_F3);
        QCOMPARE(mode.editor()->textCursor().selectedText(), QStringLiteral("POLICY"));
    }

    // Real templates: entering, touching the text and choosing Update gives back the template as saving
    // and opening it again would, without a message.
    void corpusThroughTextMode_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = test::corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("no corpus");
        for (const QString &path : files)
            if (path.endsWith(QStringLiteral(".adm"), Qt::CaseInsensitive))
                QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
    }
    void corpusThroughTextMode()
    {
        QFETCH(QString, path);
        AppFixture f;
        f.preferences.setNewerStatements(true);
        f.prompter.allowAnything(Answer::Yes); // remove conditional statements
        QVERIFY(test::writeBytes(f.dir.filePath(QStringLiteral("t.adm")), test::readBytes(path))); // byte for byte
        f.start(f.dir.filePath(QStringLiteral("t.adm")));
        TemplateDocument &doc = f.window->document();
        if (!doc.root())
            QSKIP("does not load");
        for (const bool strings : {false, true}) {
            doc.setStringsOption(strings);
            TemplateDocument copy; // with the string table, texts that differ only in case share one entry
            const QString text = renderTemplate(doc, strings);
            QVERIFY(loadTemplateBytes(copy, text.toUtf8().prepend("\xef\xbb\xbf"), f.prompter, LoadOptions{false, true})
                        .loaded());
            const qsizetype messages = f.prompter.messages().size();
            f.item("M_TEdit")->trigger();
            QCOMPARE(f.window->textMode()->LineCount(), int(text.count(QStringLiteral("\r\n"))) + 1);
            f.window->textMode()->editor()->insertPlainText(QStringLiteral(" ")); // touched and taken back
            f.window->textMode()->editor()->undo();
            QVERIFY(f.window->textMode()->TextModeUpdate());
            QCOMPARE(f.prompter.messages().size(), messages);
            QVERIFY(renderTemplate(doc, false) == renderTemplate(copy, false)); // no dump of two whole templates
        }
    }

    // A file opened from the command line leaves the keyboard in the tree, as Open does.
    void commandLineFileTakesTheFocusToTheTree_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("template") << "t.adm" << test::kSample;
        QTest::newRow("registry export") << "e.reg"
                                         << QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\Policies\\P]\n\"A\"=\"1\"\n");
    }
    void commandLineFileTakesTheFocusToTheTree()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        AppFixture f;
        RegistryFileStore store(f.dir.filePath(QStringLiteral("registry")));
        clsReg reg(store);
        f.window = std::make_unique<MainWindow>(f.prompter, f.chooser, f.preferences);
        connectRegistry(*f.window, reg);
        f.window->show();
        f.window->StartUp(f.file(name, text));
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(f.window->document().root());
        // The widget that takes the keyboard when the window is active (whenever the desktop makes it so).
        QCOMPARE(f.window->focusWidget(), static_cast<QWidget *>(f.window->treePanel()->treeView()));
    }

    // Bad usage ends the editor before any window (exit status 64); so does a missing display, with
    // the way to start it without one (exit status 1).
    void refusedBeforeTheWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "offscreen" << 64
                                        << "kova: unknown option --bogus";
        QTest::newRow("unknown option, no display") << QStringList{"-x"} << "" << 64 << "kova: unknown option -x";
        QTest::newRow("no display") << QStringList{"t.adm"} << "" << 1 << "xvfb-run -a kova t.adm";
    }
    void refusedBeforeTheWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, platform);
        QFETCH(int, code);
        QFETCH(QString, message);
        const test::ProgramRun run =
            test::runProgram(QStringLiteral(KOVA_EDITOR), arguments, {},
                             {"DISPLAY=", "WAYLAND_DISPLAY=", QStringLiteral("QT_QPA_PLATFORM=") + platform});
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
    }

    // Ended by a signal while its Policies question waits for an answer (the scratch files of the
    // conversion made), the editor removes its temporary files and ends by that signal.
    void signalRemovesTempFiles_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void signalRemovesTempFiles()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString tmp = dir.filePath(QStringLiteral("tmp"));
        const QString runtime = dir.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(tmp));
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        const QString export_ = test::writeText(dir.filePath(QStringLiteral("e.reg")),
                                                "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Demo]\n\"A\"=\"1\"\n");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmp);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KOVA_EDITOR), {"--registry", dir.filePath(QStringLiteral("registry")), export_});
        QVERIFY(p.waitForStarted());
        const auto tempFiles = [&] { return QDir(tmp).entryList({QStringLiteral("ADM*.tmp")}, QDir::Files); };
        QTRY_VERIFY_WITH_TIMEOUT(tempFiles().size() == 3 || p.state() == QProcess::NotRunning, 30000);
        QCOMPARE(p.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(tempFiles(), QStringList());
    }
};

QTEST_MAIN(TestWindowWiring)
#include "tst_windowwiring.moc"
