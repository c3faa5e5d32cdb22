// Every node of every page kind in the real templates: "Ok" without edits gives a
// text that, opened and committed again, stays the same; "Cancel" leaves the node byte for byte.
#include "document/loader.h"
#include "document/nodekeys.h"
#include "document/nodetext.h"
#include "document/templatedocument.h"
#include "forms/editsession.h"
#include "okunchanged.h"

#include "scriptedprompter.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QTest>

using namespace kova;

using kova::test::Composed;

class TestEditorCorpus : public QObject
{
    Q_OBJECT

private slots:
    void okIsIdempotentAndCancelKeepsTheNode_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = test::corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not beside this checkout");
        for (const QString &f : files)
            QTest::newRow(qPrintable(QFileInfo(f).fileName())) << f;
    }
    void okIsIdempotentAndCancelKeepsTheNode()
    {
        QFETCH(QString, path);
        test::ScriptedPrompter prompter;
        prompter.allowAnything(Answer::Yes);
        TemplateDocument document;
        QVERIFY(Vullen(document, path, prompter, {false, true}).loaded());
        EditSession session(document);
        int edited = 0;
        QList<TemplateNode *> nodes;
        document.root()->forEach([&](TemplateNode *n) { nodes.append(n); });
        for (TemplateNode *node : std::as_const(nodes)) {
            const QString before = document.nodeText(node);
            const QString caption = node->text;
            const std::optional<EditorKind> kind = session.begin(node);
            if (!kind)
                continue;
            QCOMPARE(session.EditLines(), makeEditLines(before));
            session.cancel();
            QCOMPARE(document.nodeText(node), before);
            QCOMPARE(node->text, caption);
            const QString inherited = ActiveKeyPath(document, node);
            const Composed first = test::okUnchanged(*kind, makeEditLines(before), inherited);
            if (!first.valid)
                continue; // the page would refuse "Ok" and keep the node
            QVERIFY(session.begin(node));
            session.commit(first.text, first.caption);
            QCOMPARE(document.nodeText(node), first.text);
            QCOMPARE(node->text, first.caption);
            const Composed second = test::okUnchanged(*kind, makeEditLines(first.text), inherited);
            QVERIFY2(second.valid, qPrintable(first.text));
            QCOMPARE(second.text, first.text);
            QCOMPARE(second.caption, first.caption);
            ++edited;
        }
        QVERIFY(document.isModified() || edited == 0);
    }
};

KOVA_CORPUS_TEST_MAIN(QCoreApplication, TestEditorCorpus)
#include "tst_editorcorpus.moc"
