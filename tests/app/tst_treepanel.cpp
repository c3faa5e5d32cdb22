// The tree panel of the real window (the tree, its preview and key window, its context menu and keys,
// the find field above it: the filter, its keys and the status line) and the tree model under it. What the tree
// commands do to the template is the document layer's.
#include "appfixture.h"
#include "templatefixtures.h"

#include "app/historyactions.h"
#include "app/templatetreemodel.h"
#include "app/templatetreeview.h"
#include "app/treefiltermodel.h"
#include "forms/editsession.h"

#include "document/treeoperations.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

using namespace kova;
using kova::test::AppFixture;

namespace {

// The captions the view shows, depth first, each indented by its depth; collapsed branches included.
QStringList shown(const QAbstractItemModel *model, const QModelIndex &parent = {}, int depth = 0)
{
    QStringList rows;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        rows << QString(depth, u' ') + index.data().toString();
        rows << shown(model, index, depth + 1);
    }
    return rows;
}

QString status(MainWindow &w)
{
    const auto *label = w.statusBar()->findChild<QLabel *>(QStringLiteral("FindStatus"));
    return label && label->isVisibleTo(&w) ? label->text() : QStringLiteral("(no status)");
}

TemplateNode *node(MainWindow &w, const char *caption)
{
    return test::findNode(w.document(), caption);
}

// A window with the tree template loaded from the command line.
struct TreeWindow : AppFixture
{
    TreeWindow()
    {
        start(file(QStringLiteral("tree.adm"), test::kTreeTemplate));
        window->document().setModified(false);
        window->activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(window.get());
    }
    TreePanel *panel() const { return window->treePanel(); }
    TemplateNode *node(const char *caption) const { return test::findNode(window->document(), caption); }
    void select(const char *caption) const { panel()->selectNode(node(caption)); }
    QString preview() const { return panel()->Inhoud()->toPlainText(); }
    QString key() const { return panel()->keyLabel()->text(); }
};

} // namespace

class TestTreePanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Selecting, by a call or a click, shows the node's text and the key it uses.
    void selectShowsTextAndKey()
    {
        TreeWindow f;
        f.select("Wallpaper");
        QCOMPARE(f.preview(), QStringLiteral("POLICY \"Wallpaper\"\nVALUENAME \"Path\"\nEND POLICY\n"));
        QCOMPARE(f.key(), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Desktop"));
        QCOMPARE(f.panel()->keyLabel()->toolTip(), f.key());
        TemplateTreeView *tree = f.panel()->treeView();
        const QModelIndex start = f.panel()->filterModel()->indexForNode(f.node("Start"));
        tree->scrollTo(start);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(start).center());
        QCOMPARE(f.panel()->selectedNode(), f.node("Start"));
        QCOMPARE(f.key(), QStringLiteral("HKEY_CURRENT_USER\\Software\\Start"));
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
        TreeWindow f;
        f.panel()->selectNode(test::findNode(f.window->document(), node));
        QVERIFY(f.panel()->M1()->isEnabled());
        QStringList visible;
        for (const char *name : {"M_EditNode", "M_Delete", "M_Add", "M_AddCat", "M_AddPol", "M_AddPartM", "M_Insert",
                                 "M_InsertCat", "M_InsertPol", "M_InsertPartM"})
            if (f.treeItem(name)->isVisible())
                visible << QString::fromLatin1(name);
        QCOMPARE(visible, shown);
        f.panel()->selectRoot();
        QVERIFY(!f.panel()->M1()->isEnabled()); // the root has none
    }

    // Undoing the delete of an open category brings it back open.
    void undoDeleteKeepsTheExpansion()
    {
        TreeWindow f;
        TreePanel *panel = f.panel();
        panel->treeView()->expand(panel->filterModel()->indexForNode(f.node("Desktop")));
        f.select("Desktop");
        f.prompter.expect(QStringLiteral("Delete entry \"Desktop\""), Message::Icon::Exclamation,
                          Message::Buttons::YesNo, Answer::Yes);
        f.treeItem("M_Delete")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        f.window->historyActions().undoAction()->trigger();
        QVERIFY(f.node("Desktop"));
        QVERIFY(panel->treeView()->isExpanded(panel->filterModel()->indexForNode(f.node("Desktop"))));
    }

    // Delete, from the menu or the Delete key, asks first; a class cannot be deleted.
    void deleteAsks_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("menu") << false;
        QTest::newRow("Delete key") << true;
    }
    void deleteAsks()
    {
        QFETCH(bool, byKey);
        TreeWindow f;
        f.select("Machine");
        QVERIFY(!f.treeItem("M_Delete")->isEnabled());
        QVERIFY(!f.panel()->deleteSelected()); // the scripted prompter fails on any question
        f.select("Wallpaper");
        f.panel()->treeView()->setFocus();
        f.prompter.expect(QStringLiteral("Delete entry \"Wallpaper\""), Message::Icon::Exclamation,
                          Message::Buttons::YesNo, Answer::Yes);
        if (byKey)
            QTest::keyClick(f.panel()->treeView(), Qt::Key_Delete);
        else
            f.treeItem("M_Delete")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(!f.node("Wallpaper"));
        QVERIFY(f.window->document().isModified());
        QCOMPARE(f.preview(), QString(f.window->document().nodeText(f.panel()->selectedNode()))
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }

    // Each "Add part" item adds its own type, selected and shown.
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
        TreeWindow f;
        f.select("Wallpaper");
        f.panel()->menuAction(QStringLiteral("M_AddPart%1").arg(type))->trigger();
        QCOMPARE(f.panel()->selectedNode()->parent(), f.node("Wallpaper"));
        QCOMPARE(f.preview(), line + QStringLiteral("\nEND PART\n"));
    }

    // Add appends, Insert puts the new node after the selected one or, in the other insert mode, before it.
    void addAndInsert_data()
    {
        QTest::addColumn<bool>("before");
        QTest::addColumn<QStringList>("children");
        QTest::newRow("after (the default)") << false << QStringList{"Desktop", "<new>", "Network", "<new>"};
        QTest::newRow("before") << true << QStringList{"<new>", "Desktop", "Network", "<new>"};
    }
    void addAndInsert()
    {
        QFETCH(bool, before);
        QFETCH(QStringList, children);
        TreeWindow f;
        f.select("Machine");
        f.treeItem("M_AddCat")->trigger();
        QCOMPARE(NodeImage(f.panel()->selectedNode()), QStringLiteral("category"));
        if (before)
            f.treeItem("Insmode1")->trigger();
        QCOMPARE(f.treeItem("Insmode0")->isChecked(), !before);
        f.select("Desktop");
        f.treeItem("M_InsertCat")->trigger();
        QCOMPARE(test::childTexts(f.node("Machine")), children);
        QCOMPARE(f.panel()->selectedNode()->text, QStringLiteral("<new>"));
    }

    // A drop asks the document layer, says what it says, and selects the moved node.
    void dropToOtherClass()
    {
        TreeWindow f;
        f.prompter.expect(QStringLiteral("- The target class is different than its source class.\r\n"
                                         "- This drag and drop operation caused a change in the keys beeing used.\r\n"
                                         "Check the keys used in this entry before you continue."),
                          Message::Icon::Exclamation);
        QVERIFY(f.panel()->dropNode(f.node("Wallpaper"), f.node("Start")));
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QCOMPARE(f.node("Wallpaper")->parent(), f.node("Start"));
        QCOMPARE(f.panel()->selectedNode(), f.node("Wallpaper"));
        QCOMPARE(f.key(), QStringLiteral("HKEY_CURRENT_USER\\Software\\Start"));
    }

    void expandAndCollapseAll()
    {
        TreeWindow f;
        TemplateTreeView *tree = f.panel()->treeView();
        TreeFilterModel *model = f.panel()->filterModel();
        const QModelIndex desktop = model->indexForNode(f.node("Desktop"));
        const QModelIndex wallpaper = model->indexForNode(f.node("Wallpaper"));
        f.window->RunToolbarCommand(QStringLiteral("Expand"));
        QVERIFY(tree->isExpanded(desktop) && tree->isExpanded(wallpaper));
        QCOMPARE(desktop.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("open"));
        f.item("M_Collapse")->trigger();
        QVERIFY(!tree->isExpanded(desktop) && !tree->isExpanded(model->index(0, 0)));
        QCOMPARE(desktop.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("category"));
    }

    // A double click or "Edit" opens the node's page, once and without touching the expansion; the
    // root is never edited.
    void editRequestsThePage()
    {
        TreeWindow f;
        int edits = 0;
        bool busyDuringEdit = false;
        connect(f.panel(), &TreePanel::editRequested, this, [&] {
            ++edits;
            busyDuringEdit = f.panel()->isBusy();
        });
        TemplateTreeView *tree = f.panel()->treeView();
        f.select("Wallpaper");
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
        QVERIFY(busyDuringEdit && !f.panel()->isBusy());
        QCOMPARE(tree->isExpanded(index), expanded);
        QVERIFY(f.window->editors().isOpen());
        f.window->editors().session().cancel();
        f.treeItem("M_EditNode")->trigger();
        QCOMPARE(edits, 2);
        f.window->editors().session().cancel();
        f.panel()->selectRoot();
        f.panel()->editSelected();
        QCOMPARE(edits, 2);
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
        QCOMPARE(model.index(0, 0, root).data().toString(), QStringLiteral("Machine"));
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

    // The view keeps the nodes found with their ancestors, opened so that each can be seen.
    void filterKeepsMatchesAndAncestors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("status");
        QTest::newRow("nested caption") << "deep"
                                        << QStringList{"Computer", " Machine", "  Desktop", "   Inner", "    Deep"}
                                        << "Deep"
                                        << "1 of 1 matches";
        QTest::newRow("key names in both classes")
            << "software\\" << QStringList{"Computer", " Machine", "  Desktop", "  Network", " User", "  Start"}
            << "Desktop"
            << "1 of 3 matches";
        QTest::newRow("none") << "nowhere" << QStringList{"Computer"} << "Computer"
                              << "No matches";
    }
    void filterKeepsMatchesAndAncestors()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, rows);
        QFETCH(QString, selected);
        QFETCH(QString, status);
        TreeWindow f;
        MainWindow &w = *f.window;
        TreePanel *panel = w.treePanel();
        panel->setFindText(text);
        QCOMPARE(shown(panel->treeView()->model()), rows);
        QCOMPARE(panel->selectedNode()->text, selected);
        const QModelIndex parent = panel->treeView()->currentIndex().parent();
        QVERIFY(!parent.isValid() || panel->treeView()->isExpanded(parent));
        QCOMPARE(::status(w), status);
    }

    // Ctrl+Shift+F, typing, Enter and F3 round the matches, Shift+F3 back, Esc clears.
    void keys()
    {
        TreeWindow f;
        MainWindow &w = *f.window;
        TreePanel *panel = w.treePanel();
        QLineEdit *field = panel->findField();
        const auto *label = qobject_cast<QLabel *>(field->parentWidget()->layout()->itemAt(0)->widget());
        QVERIFY(label && label->buddy() == field && label->text() == QStringLiteral("F&ind:"));
        const bool desktopOpen = node(w, "Desktop")->expanded;

        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(field->hasFocus());
        QTest::keyClicks(field, QStringLiteral("Software"));
        QCOMPARE(panel->selectedNode(), node(w, "Desktop"));
        QCOMPARE(status(w), QStringLiteral("1 of 3 matches"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(status(w), QStringLiteral("2 of 3 matches"));
        QTest::keyClick(field, Qt::Key_F3);
        QCOMPARE(panel->selectedNode(), node(w, "Start"));
        QTest::keyClick(field, Qt::Key_Enter);
        QCOMPARE(panel->selectedNode(), node(w, "Desktop")); // round to the first
        QTest::keyClick(field, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(panel->selectedNode(), node(w, "Start"));
        QCOMPARE(status(w), QStringLiteral("3 of 3 matches"));
        // F3 goes on from the tree too.
        panel->treeView()->setFocus();
        QTest::keyClick(panel->treeView(), Qt::Key_F3);
        QCOMPARE(panel->selectedNode(), node(w, "Desktop"));

        field->setFocus();
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(field->text().isEmpty());
        QCOMPARE(status(w), QString());
        QCOMPARE(shown(panel->treeView()->model()), shown(panel->model()));
        QCOMPARE(panel->selectedNode(), node(w, "Desktop"));
        // Opening the view to show matches is not the template's expansion.
        QCOMPARE(node(w, "Desktop")->expanded, desktopOpen);
        QCOMPARE(panel->treeView()->isExpanded(panel->treeView()->currentIndex()), desktopOpen);
    }

    // With a find on, the commands act on the real node, and what they make or move stays in view.
    void commandsActOnRealNodes()
    {
        TreeWindow f;
        MainWindow &w = *f.window;
        TreePanel *panel = w.treePanel();
        // Machine, Desktop, Wallpaper, Style, Inner, Deep, Network, User, and Start by its key "Software\Start"
        panel->setFindText(QStringLiteral("e"));
        QCOMPARE(panel->findMatches().size(), size_t(9));
        panel->selectNode(node(w, "Inner"));

        f.treeItem("M_AddPol")->trigger();
        QCOMPARE(panel->selectedNode()->parent(), node(w, "Inner"));
        QVERIFY(panel->treeView()->currentIndex().isValid());

        panel->selectNode(node(w, "Deep"));
        f.prompter.expect(QStringLiteral("Delete entry \"Deep\""), Message::Icon::Exclamation, Message::Buttons::YesNo,
                          Answer::Yes);
        f.treeItem("M_Delete")->trigger();
        KOVA_VERIFY_PROMPTS_DONE(f.prompter);
        QVERIFY(!node(w, "Deep"));
        QCoreApplication::processEvents();                            // the count follows the template once it settles
        QVERIFY(status(w).endsWith(QStringLiteral(" of 9 matches"))); // "<new>" in, "Deep" out

        panel->selectNode(node(w, "Wallpaper"));
        panel->editSelected();
        QCOMPARE(w.editors().session().node(), node(w, "Wallpaper"));
        QVERIFY(!w.findAction()->isEnabled()); // a page is open
        w.editors().session().cancel();
        QVERIFY(w.findAction()->isEnabled());

        QVERIFY(panel->dropNode(node(w, "Wallpaper"), node(w, "Inner")));
        QCOMPARE(panel->selectedNode(), node(w, "Wallpaper"));
    }

    // An edit that takes a node out of the find keeps the count true.
    void countFollowsEdits()
    {
        TreeWindow f;
        MainWindow &w = *f.window;
        TreePanel *panel = w.treePanel();
        panel->setFindText(QStringLiteral("software"));
        QCOMPARE(panel->findMatches().size(), size_t(3));
        TemplateNode *network = node(w, "Network");
        w.document().commitNodeEdit(network, network->text, u"CATEGORY \"Network\"\r\nEND CATEGORY\r\n");
        QCoreApplication::processEvents();
        QCOMPARE(panel->findMatches().size(), size_t(2));
        QVERIFY(status(w).endsWith(QStringLiteral(" of 2 matches")));
    }
};

QTEST_MAIN(TestTreePanel)
#include "tst_treepanel.moc"
