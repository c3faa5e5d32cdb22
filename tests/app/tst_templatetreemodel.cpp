#include "app/templatetreemodel.h"

#include "document/templatedocument.h"
#include "document/treeoperations.h"

#include "scriptedprompter.h"
#include "templatefixtures.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace kova;

class TestTemplateTreeModel : public QObject
{
    Q_OBJECT

    // The sample template in a fresh document and its model.
    struct Sample
    {
        TemplateDocument document;
        TemplateTreeModel model{document};
        bool loaded = test::loadText(document, test::kSample);
        QModelIndex firstCategory() { return model.index(0, 0, model.index(0, 0, model.index(0, 0))); }
    };

private slots:
    void testerThroughEveryChange()
    {
        TemplateDocument document;
        TemplateTreeModel model(document);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(test::loadText(document, test::kSample));
        QCOMPARE(model.rowCount(), 1);
        const QModelIndex root = model.index(0, 0);
        QCOMPARE(root.data().toString(), QStringLiteral("Computer"));
        QCOMPARE(model.rowCount(root), 2);
        QCOMPARE(model.index(0, 0, root).data().toString(), QStringLiteral("Machine"));

        TemplateNode *machine = document.root()->child(0);
        TemplateNode *added = AddNode(document, machine, NewNodeKind::Category);
        QCOMPARE(model.indexForNode(added).row(), machine->childCount() - 1);
        TemplateNode *first = machine->child(0);
        InsertNode(document, first, NewNodeKind::Category, InsertPosition::Before);
        QCOMPARE(model.index(0, 0, model.indexForNode(machine)).data().toString(), QStringLiteral("<new>"));

        TemplateNode *user = document.root()->child(1);
        TemplateNode *category = user->child(0);
        test::ScriptedPrompter prompter;
        prompter.allowAnything(Answer::Ok);
        QVERIFY(DropNode(document, category, machine, prompter));
        QCOMPARE(model.parent(model.indexForNode(category)), model.indexForNode(machine));
        QVERIFY(DropNode(document, category, machine, prompter)); // already last: no move at all
        QCOMPARE(model.indexForNode(category).row(), machine->childCount() - 1);

        prompter.allowAnything(Answer::Yes);
        QVERIFY(DeleteNode(document, added, prompter));
        document.newTemplate();
        QCOMPARE(model.rowCount(model.index(0, 0)), 2);
        document.clear();
        QCOMPARE(model.rowCount(), 0);
    }

    void roles()
    {
        Sample s;
        QVERIFY(s.loaded);
        const QModelIndex root = s.model.index(0, 0);
        QCOMPARE(root.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("root"));
        QCOMPARE(root.data(TemplateTreeModel::KindRole).toString(), QStringLiteral("ROOT"));
        QCOMPARE(root.data(TemplateTreeModel::KeyRole).toString(), QStringLiteral("K1"));
        QVERIFY(!root.data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(!(s.model.flags(root) & Qt::ItemIsDragEnabled));
        QVERIFY(!(s.model.flags(s.model.index(0, 0, root)) & Qt::ItemIsDragEnabled)); // a class
        const QModelIndex category = s.firstCategory();
        QVERIFY(s.model.flags(category) & Qt::ItemIsDragEnabled);
        QCOMPARE(category.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("category"));
        // The drag carries the node's key.
        std::unique_ptr<QMimeData> mime(s.model.mimeData({category}));
        QVERIFY(mime);
        QCOMPARE(mime->data(TemplateTreeModel::kMimeType), category.data(TemplateTreeModel::KeyRole).toByteArray());
    }

    // Expanding a category and renaming it each change the row once.
    void changesAreSeen()
    {
        Sample s;
        QVERIFY(s.loaded);
        const QModelIndex category = s.firstCategory();
        QSignalSpy changed(&s.model, &QAbstractItemModel::dataChanged);
        s.model.setExpanded(category, true);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(category.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("open"));
        s.model.setExpanded(category, false);
        QCOMPARE(category.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("category"));
        s.document.setNodeCaption(s.document.root()->child(0)->child(0), QStringLiteral("Renamed"));
        QCOMPARE(changed.count(), 3);
        QCOMPARE(category.data().toString(), QStringLiteral("Renamed"));
    }
};

QTEST_MAIN(TestTemplateTreeModel)
#include "tst_templatetreemodel.moc"
