#include "app/templatetreemodel.h"

#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/treeoperations.h"

#include "scriptedprompter.h"
#include "testfiles.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace kova;

class TestTemplateTreeModel : public QObject
{
    Q_OBJECT

    bool loadSample(TemplateDocument &document)
    {
        test::ScriptedPrompter prompter;
        return Vullen(document, QStringLiteral(KOVA_SOURCE_DIR "/examples/sample.adm"), prompter).loaded();
    }

private slots:
    void testerThroughEveryChange()
    {
        TemplateDocument document;
        TemplateTreeModel model(document);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(loadSample(document));
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
        TemplateDocument document;
        TemplateTreeModel model(document);
        QVERIFY(loadSample(document));
        const QModelIndex root = model.index(0, 0);
        QCOMPARE(root.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("root"));
        QCOMPARE(root.data(TemplateTreeModel::KindRole).toString(), QStringLiteral("ROOT"));
        QCOMPARE(root.data(TemplateTreeModel::KeyRole).toString(), QStringLiteral("K1"));
        QVERIFY(!root.data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(!(model.flags(root) & Qt::ItemIsDragEnabled));
        const QModelIndex machine = model.index(0, 0, root);
        QVERIFY(!(model.flags(machine) & Qt::ItemIsDragEnabled));
        const QModelIndex category = model.index(0, 0, machine);
        QVERIFY(model.flags(category) & Qt::ItemIsDragEnabled);
        QCOMPARE(category.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("category"));
    }

    void expandingChangesTheImage()
    {
        TemplateDocument document;
        TemplateTreeModel model(document);
        QVERIFY(loadSample(document));
        const QModelIndex category = model.index(0, 0, model.index(0, 0, model.index(0, 0)));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setExpanded(category, true);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(category.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("open"));
        model.setExpanded(category, false);
        QCOMPARE(category.data(TemplateTreeModel::ImageNameRole).toString(), QStringLiteral("category"));
    }

    void captionChangeIsSeen()
    {
        TemplateDocument document;
        TemplateTreeModel model(document);
        QVERIFY(loadSample(document));
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        TemplateNode *category = document.root()->child(0)->child(0);
        document.setNodeCaption(category, QStringLiteral("Renamed"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.indexForNode(category).data().toString(), QStringLiteral("Renamed"));
    }

    void mimeCarriesTheKey()
    {
        TemplateDocument document;
        TemplateTreeModel model(document);
        QVERIFY(loadSample(document));
        const QModelIndex category = model.index(0, 0, model.index(0, 0, model.index(0, 0)));
        std::unique_ptr<QMimeData> mime(model.mimeData({category}));
        QVERIFY(mime);
        QCOMPARE(mime->data(TemplateTreeModel::kMimeType), category.data(TemplateTreeModel::KeyRole).toByteArray());
    }
};

QTEST_MAIN(TestTemplateTreeModel)
#include "tst_templatetreemodel.moc"
