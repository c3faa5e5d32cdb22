#include "appfixture.h"
#include "templatefixtures.h"

#include "app/historyactions.h"
#include "app/templatetreemodel.h"
#include "app/templatetreeview.h"
#include "app/treefiltermodel.h"

#include "document/treeoperations.h"
#include "document/writer.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>

using namespace kova;
using kova::test::AppFixture;

class TestTreePanel : public QObject
{
    Q_OBJECT

    // A window with the tree template loaded from the command line.
    MainWindow &open(AppFixture &f)
    {
        MainWindow &w = f.start(f.file(QStringLiteral("tree.adm"), test::kTreeTemplate));
        w.document().setModified(false);
        return w;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void selectShowsTextAndKey()
    {
        AppFixture f;
        MainWindow &w = open(f);
        TreePanel *panel = w.treePanel();
        panel->selectNode(test::findNode(w.document(), "Wallpaper"));
        QCOMPARE(panel->Inhoud()->toPlainText(),
                 QStringLiteral("POLICY \"Wallpaper\"\nVALUENAME \"Path\"\nEND POLICY\n"));
        QCOMPARE(panel->keyLabel()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Desktop"));
        QCOMPARE(panel->keyLabel()->toolTip(), panel->keyLabel()->text());
        // A click selects as well.
        TemplateTreeView *tree = panel->treeView();
        const QModelIndex start = panel->filterModel()->indexForNode(test::findNode(w.document(), "Start"));
        tree->scrollTo(start);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(start).center());
        QCOMPARE(panel->selectedNode(), test::findNode(w.document(), "Start"));
        QCOMPARE(panel->keyLabel()->text(), QStringLiteral("HKEY_CURRENT_USER\\Software\\Start"));
    }

    // A key of 300 characters does not widen the window: the display elides it.
    void longKeyKeepsTheWindowWidth()
    {
        AppFixture f;
        const QByteArray key = "Software\\" + QByteArray(300, 'k');
        MainWindow &w = f.start(f.file(QStringLiteral("long.adm"),
                                       "CLASS MACHINE\nCATEGORY \"Long\"\nKEYNAME \"" + key + "\"\nEND CATEGORY\n"));
        w.resize(900, 640);
        const int before = w.width();
        w.treePanel()->selectNode(test::findNode(w.document(), "Long"));
        QCoreApplication::processEvents();
        QCOMPARE(w.treePanel()->keyLabel()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\") + QString::fromLatin1(key));
        QCOMPARE(w.width(), before);
        QVERIFY(w.minimumSizeHint().width() < 900);
    }

    void contextMenuByKind_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("class") << "Machine" << QStringList{"M_Add", "M_AddCat"};
        QTest::newRow("category") << "Desktop" << QStringList{"M_EditNode", "M_Delete", "M_Add",      "M_AddCat",
                                                              "M_AddPol",   "M_Insert", "M_InsertCat"};
        QTest::newRow("policy") << "Wallpaper" << QStringList{"M_EditNode", "M_Delete", "M_Add",
                                                              "M_AddPartM", "M_Insert", "M_InsertPol"};
        QTest::newRow("part") << "Style" << QStringList{"M_EditNode", "M_Delete", "M_Insert", "M_InsertPartM"};
    }
    void contextMenuByKind()
    {
        QFETCH(QString, node);
        QFETCH(QStringList, shown);
        AppFixture f;
        MainWindow &w = open(f);
        w.treePanel()->selectNode(test::findNode(w.document(), node));
        QVERIFY(w.treePanel()->M1()->isEnabled());
        QStringList visible;
        for (const char *name : {"M_EditNode", "M_Delete", "M_Add", "M_AddCat", "M_AddPol", "M_AddPartM", "M_Insert",
                                 "M_InsertCat", "M_InsertPol", "M_InsertPartM"})
            if (f.treeItem(name)->isVisible())
                visible << QString::fromLatin1(name);
        QCOMPARE(visible, shown);
    }

    // Undoing the delete of an open category brings it back open.
    void undoDeleteKeepsTheExpansion()
    {
        AppFixture f;
        MainWindow &w = open(f);
        TreePanel *panel = w.treePanel();
        panel->treeView()->expand(panel->filterModel()->indexForNode(test::findNode(w.document(), "Desktop")));
        panel->selectNode(test::findNode(w.document(), "Desktop"));
        f.prompter.expect(QStringLiteral("Delete entry \"Desktop\""), Message::Icon::Exclamation,
                          Message::Buttons::YesNo, Answer::Yes);
        f.treeItem("M_Delete")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        w.historyActions().undoAction()->trigger();
        TemplateNode *desktop = test::findNode(w.document(), "Desktop");
        QVERIFY(desktop);
        QVERIFY(panel->treeView()->isExpanded(panel->filterModel()->indexForNode(desktop)));
    }

    void rootHasNoContextMenu()
    {
        AppFixture f;
        MainWindow &w = open(f);
        w.treePanel()->selectRoot();
        QVERIFY(!w.treePanel()->M1()->isEnabled());
        QVERIFY(!w.treePanel()->deleteSelected());
    }

    void deleteAsksAndRemoves()
    {
        AppFixture f;
        MainWindow &w = open(f);
        w.treePanel()->selectNode(test::findNode(w.document(), "Wallpaper"));
        f.prompter.expect(QStringLiteral("Delete entry \"Wallpaper\""), Message::Icon::Exclamation,
                          Message::Buttons::YesNo, Answer::Yes);
        f.treeItem("M_Delete")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(!test::findNode(w.document(), "Wallpaper"));
        QVERIFY(!test::findNode(w.document(), "Style"));
        QVERIFY(w.document().isModified());
        TemplateNode *selected = w.treePanel()->selectedNode();
        QVERIFY(selected);
        QCOMPARE(w.treePanel()->Inhoud()->toPlainText(),
                 QString(w.document().nodeText(selected)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    void deleteKey()
    {
        AppFixture f;
        MainWindow &w = open(f);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.treePanel()->selectNode(test::findNode(w.document(), "Network"));
        w.treePanel()->treeView()->setFocus();
        f.prompter.expect(QStringLiteral("Delete entry \"Network\""), Message::Icon::Exclamation,
                          Message::Buttons::YesNo, Answer::Yes);
        QTest::keyClick(w.treePanel()->treeView(), Qt::Key_Delete);
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(!test::findNode(w.document(), "Network"));
    }

    void deleteKeyOnClassDoesNothing()
    {
        AppFixture f;
        MainWindow &w = open(f);
        w.treePanel()->selectNode(test::findNode(w.document(), "Machine"));
        QVERIFY(!f.treeItem("M_Delete")->isEnabled());
        QVERIFY(!w.treePanel()->deleteSelected()); // the scripted prompter fails on any question
    }

    void addPartOfEachType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("line");
        const char *types[] = {"CHECKBOX", "COMBOBOX", "DROPDOWNLIST", "EDITTEXT", "LISTBOX", "NUMERIC", "TEXT"};
        for (int i = 1; i <= 7; ++i)
            QTest::newRow(types[i - 1]) << i << QStringLiteral("PART \"<new>\" %1").arg(QLatin1String(types[i - 1]));
    }
    void addPartOfEachType()
    {
        QFETCH(int, type);
        QFETCH(QString, line);
        AppFixture f;
        MainWindow &w = open(f);
        TemplateNode *policy = test::findNode(w.document(), "Wallpaper");
        w.treePanel()->selectNode(policy);
        f.window->treePanel()->menuAction(QStringLiteral("M_AddPart%1").arg(type))->trigger();
        TemplateNode *added = w.treePanel()->selectedNode();
        QCOMPARE(added->parent(), policy);
        QCOMPARE(added, policy->child(policy->childCount() - 1));
        QCOMPARE(added->text, QStringLiteral("<new>"));
        QCOMPARE(w.document().nodeText(added), line + QStringLiteral("\r\nEND PART\r\n"));
        QCOMPARE(w.treePanel()->Inhoud()->toPlainText(), line + QStringLiteral("\nEND PART\n"));
        QCOMPARE(w.treePanel()->keyLabel()->text(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Desktop"));
        QVERIFY(w.document().isModified());
    }

    void addCategoryToClass()
    {
        AppFixture f;
        MainWindow &w = open(f);
        w.treePanel()->selectNode(test::findNode(w.document(), "User"));
        f.treeItem("M_AddCat")->trigger();
        QCOMPARE(test::childTexts(test::findNode(w.document(), "User")), (QStringList{"Start", "<new>"}));
        QCOMPARE(NodeImage(w.treePanel()->selectedNode()), QStringLiteral("category"));
    }

    void insertPositions_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<QStringList>("children");
        QTest::newRow("after (the default)") << false << QStringList{"Desktop", "<new>", "Network"};
        QTest::newRow("before the first child") << true << QStringList{"<new>", "Desktop", "Network"};
    }
    void insertPositions()
    {
        QFETCH(bool, before);
        QFETCH(QStringList, children);
        AppFixture f;
        MainWindow &w = open(f);
        if (before)
            f.treeItem("Insmode1")->trigger();
        QCOMPARE(f.treeItem("Insmode1")->isChecked(), before);
        QCOMPARE(f.treeItem("Insmode0")->isChecked(), !before);
        w.treePanel()->selectNode(test::findNode(w.document(), "Desktop"));
        f.treeItem("M_InsertCat")->trigger();
        QCOMPARE(test::childTexts(test::findNode(w.document(), "Machine")), children);
        QCOMPARE(w.treePanel()->selectedNode()->text, QStringLiteral("<new>"));
    }

    void dragPolicyToOtherClass()
    {
        AppFixture f;
        MainWindow &w = open(f);
        TemplateNode *policy = test::findNode(w.document(), "Wallpaper");
        f.prompter.expect(QStringLiteral("- The target class is different than its source class.\r\n"
                                         "- This drag and drop operation caused a change in the keys beeing used.\r\n"
                                         "Check the keys used in this entry before you continue."),
                          Message::Icon::Exclamation);
        QVERIFY(w.treePanel()->dropNode(policy, test::findNode(w.document(), "Start")));
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(policy->parent(), test::findNode(w.document(), "Start"));
        QCOMPARE(w.treePanel()->selectedNode(), policy);
        QCOMPARE(w.treePanel()->keyLabel()->text(), QStringLiteral("HKEY_CURRENT_USER\\Software\\Start"));
        QVERIFY(w.document().isModified());
        const QString written = renderTemplate(w.document(), false);
        const qsizetype user = written.indexOf(QStringLiteral("CLASS USER"));
        QVERIFY(user > 0);
        QVERIFY(written.indexOf(QStringLiteral("\tPOLICY \"Wallpaper\"")) > user);
    }

    void expandAndCollapseAll()
    {
        AppFixture f;
        MainWindow &w = open(f);
        TemplateTreeView *tree = w.treePanel()->treeView();
        TreeFilterModel *model = w.treePanel()->filterModel(); // the view's model
        const QModelIndex desktop = model->indexForNode(test::findNode(w.document(), "Desktop"));
        const QModelIndex wallpaper = model->indexForNode(test::findNode(w.document(), "Wallpaper"));
        QVERIFY(!tree->isExpanded(desktop));
        w.RunToolbarCommand(QStringLiteral("Expand"));
        QVERIFY(tree->isExpanded(desktop));
        QVERIFY(tree->isExpanded(wallpaper));
        QCOMPARE(desktop.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("open"));
        QCOMPARE(wallpaper.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("open"));
        QVERIFY(tree->isEnabled());
        f.item("M_Collapse")->trigger();
        QVERIFY(!tree->isExpanded(desktop));
        QVERIFY(!tree->isExpanded(model->index(0, 0)));
        QCOMPARE(desktop.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("category"));
        // A single node expanded by hand shows the open picture too.
        tree->expand(model->index(0, 0));
        tree->expand(model->indexForNode(test::findNode(w.document(), "Machine")));
        tree->expand(desktop);
        QCOMPARE(desktop.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("open"));
        tree->collapse(desktop);
        QCOMPARE(desktop.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("category"));
    }

    void editRequestsThePage()
    {
        AppFixture f;
        MainWindow &w = open(f);
        int edits = 0;
        bool busyDuringEdit = false;
        connect(w.treePanel(), &TreePanel::editRequested, this, [&] {
            ++edits;
            busyDuringEdit = w.treePanel()->isBusy();
        });
        TemplateTreeView *tree = w.treePanel()->treeView();
        w.treePanel()->selectNode(test::findNode(w.document(), "Wallpaper"));
        const QModelIndex index = tree->currentIndex();
        const bool expanded = tree->isExpanded(index);
        // As the platform delivers it: press, release, double-click, release.
        const QPoint at = tree->visualRect(index).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &dbl);
        QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(edits, 1);
        QVERIFY(busyDuringEdit);
        QVERIFY(!w.treePanel()->isBusy());
        QCOMPARE(tree->isExpanded(index), expanded);
        QVERIFY(w.editors().isOpen());
        w.editors().session().cancel();
        f.treeItem("M_EditNode")->trigger();
        QCOMPARE(edits, 2);
        w.editors().session().cancel();
        w.treePanel()->selectRoot();
        w.treePanel()->editSelected();
        QCOMPARE(edits, 2); // the root has no context menu and is never edited
    }
};

QTEST_MAIN(TestTreePanel)
#include "tst_treepanel.moc"
