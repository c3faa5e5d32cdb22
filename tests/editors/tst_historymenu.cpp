// The "&Edit" menu on the real window: its place, the texts naming the step, its keys, and its
// enabling while a page is open.
#include "pagefixture.h"

#include "app/historyactions.h"
#include "app/templatetreeview.h"

#include <QMenuBar>

using namespace kova;
using kova::test::PageFixture;

class TestHistoryMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void undoAndRedoAPageCommit()
    {
        PageFixture f;
        HistoryActions &menu = f.w.historyActions();
        QStringList titles;
        for (QAction *a : f.w.menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles.mid(0, 3), (QStringList{"&File", "&Edit", "Option&s"}));
        QVERIFY(!menu.undoAction()->isEnabled());
        QCOMPARE(menu.undoAction()->text(), QStringLiteral("Undo"));

        const QString before = f.slot("Desktop");
        EditorPage *page = f.edit("Desktop");
        QVERIFY(!menu.undoAction()->isEnabled());
        f.field<QLineEdit>(page, "Description")->setText(QStringLiteral("Screen"));
        page->okButton()->click();
        QCOMPARE(menu.undoAction()->text(), QStringLiteral("Undo Edit category 'Screen'"));
        QVERIFY(menu.undoAction()->isEnabled());
        QVERIFY(f.w.document().isModified());

        // While a page is open neither can be used.
        f.edit("Hide clock");
        QVERIFY(!menu.undoAction()->isEnabled());
        f.w.editors().session().cancel();
        QVERIFY(menu.undoAction()->isEnabled());

        QTest::keyClick(f.w.treePanel()->treeView(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.slot("Desktop"), before);
        QVERIFY(!f.w.document().isModified());
        QCOMPARE(f.w.treePanel()->selectedNode(), f.node("Desktop"));
        QCOMPARE(menu.redoAction()->text(), QStringLiteral("Redo Edit category 'Screen'"));
        QTest::keyClick(f.w.treePanel()->treeView(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(f.node("Screen"));
        QTest::keyClick(f.w.treePanel()->treeView(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(f.w.treePanel()->treeView(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(f.node("Screen"));
        QVERIFY(f.w.document().isModified());
    }
};

QTEST_MAIN(TestHistoryMenu)
#include "tst_historymenu.moc"
