// The "&Edit" menu on the real window: its place, the texts naming the step, its keys, and its
// enabling while a page is open.
#include "pagefixture.h"

#include "app/historyactions.h"
#include "app/templatetreeview.h"
#include "textedit/admtexteditor.h"
#include "textedit/textmodecontroller.h"

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

    // Text mode left with Update is one step; the steps before it still undo on the same nodes.
    void textModeUpdateIsOneStep()
    {
        PageFixture f;
        HistoryActions &menu = f.w.historyActions();
        const QString before = f.slot("Desktop");
        EditorPage *page = f.edit("Desktop");
        f.field<QLineEdit>(page, "Description")->setText(QStringLiteral("Screen"));
        page->okButton()->click();

        f.w.actions().item(QStringLiteral("M_TEdit"))->trigger();
        QVERIFY(f.w.isTextModeShown());
        QVERIFY(!menu.undoAction()->isEnabled());
        AdmTextEditor *editor = f.w.textMode()->editor();
        const QString text = editor->toPlainText().replace(QStringLiteral("Hide clock"), QStringLiteral("Show clock"));
        editor->selectAll();
        editor->insertPlainText(text); // as typed: an edit of the user's
        QVERIFY(f.w.textMode()->TextModeUpdate());
        QVERIFY(f.node("Show clock"));
        QCOMPARE(menu.undoAction()->text(), QStringLiteral("Undo Update from the text editor"));

        menu.undoAction()->trigger();
        QVERIFY(f.node("Hide clock"));
        QVERIFY(f.node("Screen"));
        menu.undoAction()->trigger();
        QCOMPARE(f.slot("Desktop"), before);
        QVERIFY(!f.w.document().isModified());
        menu.redoAction()->trigger();
        menu.redoAction()->trigger();
        QVERIFY(f.node("Show clock"));
        QVERIFY(f.w.document().isModified());
    }
};

QTEST_MAIN(TestHistoryMenu)
#include "tst_historymenu.moc"
