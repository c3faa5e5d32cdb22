// The find field above the tree on the real window: the filter, its keys and the status line, and
// tree commands acting through the filtered view on the real nodes.
#include "appfixture.h"
#include "templatefixtures.h"

#include "app/templatetreemodel.h"
#include "app/templatetreeview.h"
#include "app/treefiltermodel.h"
#include "editors/core/editsession.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
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

} // namespace

class TestFindField : public QObject
{
    Q_OBJECT

    MainWindow &open(AppFixture &f)
    {
        MainWindow &w = f.start(f.file(QStringLiteral("tree.adm"), test::kTreeTemplate));
        w.activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&w);
        return w;
    }
    static QString status(MainWindow &w)
    {
        const auto *label = w.statusBar()->findChild<QLabel *>(QStringLiteral("FindStatus"));
        return label && label->isVisibleTo(&w) ? label->text() : QStringLiteral("(no status)");
    }
    static TemplateNode *node(MainWindow &w, const char *caption) { return test::findNode(w.document(), caption); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

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
        AppFixture f;
        MainWindow &w = open(f);
        TreePanel *panel = w.treePanel();
        panel->setFindText(text);
        QCOMPARE(shown(panel->treeView()->model()), rows);
        QCOMPARE(panel->selectedNode()->text, selected);
        const QModelIndex parent = panel->treeView()->currentIndex().parent();
        QVERIFY(!parent.isValid() || panel->treeView()->isExpanded(parent));
        QCOMPARE(TestFindField::status(w), status);
    }

    // Ctrl+Shift+F, typing, Enter and F3 round the matches, Shift+F3 back, Esc clears.
    void keys()
    {
        AppFixture f;
        MainWindow &w = open(f);
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
        AppFixture f;
        MainWindow &w = open(f);
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
        AppFixture f;
        MainWindow &w = open(f);
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

QTEST_MAIN(TestFindField)
#include "tst_findfield.moc"
