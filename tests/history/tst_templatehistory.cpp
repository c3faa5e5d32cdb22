// The edit history: each kind of step done, undone and redone, compared with the written template
// byte for byte; random runs over real templates undone to the start; the modified flag across save
// points; the memory cap.
#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/treeoperations.h"
#include "document/writer.h"
#include "forms/editsession.h"
#include "history/templatehistory.h"

#include "scriptedprompter.h"
#include "templatefixtures.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTest>
#include <QUndoStack>

using namespace kova;

namespace {

const QByteArray kTemplate = R"(CLASS MACHINE
CATEGORY "Desktop"
KEYNAME "Software\Desktop"
POLICY "Hide clock"
VALUENAME "HideClock"
PART "Seconds" CHECKBOX
VALUENAME "Sec"
END PART
END POLICY
END CATEGORY
CATEGORY "Network"
END CATEGORY
CLASS USER
CATEGORY "Start"
END CATEGORY
)";

QString written(const TemplateDocument &document)
{
    return renderTemplate(document, false);
}

// Raw text mode as the window runs it: the template leaves the document, a text comes back.
void leaveTextMode(TemplateHistory &history, TemplateDocument &document, const QByteArray &text, bool update)
{
    history.textModeEntered();
    document.clear();
    QVERIFY(test::loadText(document, text));
    if (update)
        history.textModeApplied(true);
    history.textModeLeft();
}

// One kind of step, done on document.
void doStep(const QString &kind, TemplateDocument &document, TemplateHistory *history = nullptr)
{
    test::ScriptedPrompter yes;
    yes.allowAnything(Answer::Yes);
    if (kind == u"commit") {
        EditSession session(document);
        QVERIFY(session.begin(test::findNode(document, "Hide clock")));
        session.commit(QStringLiteral("POLICY \"Show clock\"\r\nVALUENAME \"Show\"\r\nEND POLICY\r\n"),
                       QStringLiteral("Show clock"));
    } else if (kind == u"add") {
        QVERIFY(AddNode(document, test::findNode(document, "Network"), NewNodeKind::Policy));
    } else if (kind == u"insert") {
        QVERIFY(
            InsertNode(document, test::findNode(document, "Network"), NewNodeKind::Category, InsertPosition::Before));
    } else if (kind == u"delete") {
        QVERIFY(DeleteNode(document, test::findNode(document, "Desktop"), yes));
    } else if (kind == u"move") {
        QVERIFY(DropNode(document, test::findNode(document, "Hide clock"), test::findNode(document, "Start"), yes));
    } else if (kind == u"text") {
        QByteArray edited = kTemplate;
        leaveTextMode(*history, document, edited.replace("Network", "Wired network"), true);
    }
}

} // namespace

class TestTemplateHistory : public QObject
{
    Q_OBJECT

private slots:
    void stepUndoRedo_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::newRow("commit") << "commit"
                                << "Edit policy 'Show clock'";
        QTest::newRow("add") << "add"
                             << "Add policy '<new>'";
        QTest::newRow("insert") << "insert"
                                << "Add category '<new>'";
        QTest::newRow("delete") << "delete"
                                << "Delete category 'Desktop'";
        QTest::newRow("move") << "move"
                              << "Move policy 'Hide clock'";
        QTest::newRow("text-mode update") << "text"
                                          << "Update from the text editor";
    }
    void stepUndoRedo()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        auto *history = new TemplateHistory(document, &document);
        document.setModified(false);
        const QString before = written(document);
        doStep(kind, document, history);
        const QString after = written(document);
        QVERIFY(after != before);
        QCOMPARE(history->stack().count(), 1);
        QCOMPARE(history->undoText(), name);
        QVERIFY(document.isModified());

        history->undo();
        QCOMPARE(written(document), before);
        QVERIFY(!document.isModified());
        QCOMPARE(history->redoText(), name);
        history->redo();
        QCOMPARE(written(document), after);
        QVERIFY(document.isModified());
        history->undo();
        history->redo();
        QCOMPARE(written(document), after);
    }

    void deleteComesBackWithKeysAndExpansion()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        TemplateHistory history(document);
        TemplateNode *desktop = test::findNode(document, "Desktop");
        desktop->expanded = true;
        const QString text = document.nodeText(desktop);
        const int slot = desktop->slot();
        test::ScriptedPrompter yes;
        yes.allowAnything(Answer::Yes);
        QVERIFY(DeleteNode(document, desktop, yes));
        history.undo();
        TemplateNode *back = test::findNode(document, "Desktop");
        QCOMPARE(back->slot(), slot);
        QCOMPARE(back->key(), QStringLiteral("K%1").arg(slot));
        QCOMPARE(document.nodeText(back), text);
        QVERIFY(back->expanded);
        QCOMPARE(back->row(), 0);
    }

    // The flag follows the history: back at the saved step it clears, past it it is set again.
    void modifiedFollowsTheSavePoint()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        TemplateHistory history(document);
        document.setModified(false);
        doStep(QStringLiteral("add"), document);
        doStep(QStringLiteral("insert"), document);
        document.setModified(false); // saved here
        history.undo();
        QVERIFY(document.isModified());
        history.redo();
        QVERIFY(!document.isModified());
        history.undo();
        history.undo();
        QVERIFY(document.isModified());
        // A change the history does not hold (the "Strings" option, a converted export): no step is
        // the saved one any more.
        history.redo();
        document.setModified(true);
        history.redo();
        history.undo();
        QVERIFY(document.isModified());
    }

    void loadsStartAnEmptyHistory()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        TemplateHistory history(document);
        doStep(QStringLiteral("add"), document);
        QVERIFY(history.canUndo());
        QVERIFY(test::loadText(document, kTemplate));
        QVERIFY(!history.canUndo());
        QVERIFY(!history.canRedo());
    }

    // Text mode takes the template out and loads it anew; the steps before it name the original node
    // objects, which come back: unchanged after No Update, by undoing the step after Update.
    void textModeKeepsTheNodesTheStepsName()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        TemplateHistory history(document);
        const QString original = written(document);
        doStep(QStringLiteral("add"), document);
        TemplateNode *desktop = test::findNode(document, "Desktop");
        desktop->expanded = true;
        const QString added = written(document);

        leaveTextMode(history, document, added.toLatin1(), false);
        QCOMPARE(test::findNode(document, "Desktop"), desktop);
        QVERIFY(desktop->expanded);
        QCOMPARE(history.stack().count(), 1);

        QByteArray edited = added.toLatin1();
        leaveTextMode(history, document, edited.replace("Desktop", "Screen"), true);
        QVERIFY(!test::findNode(document, "Desktop"));
        QCOMPARE(history.stack().count(), 2);
        history.undo();
        QCOMPARE(test::findNode(document, "Desktop"), desktop);
        QCOMPARE(written(document), added);
        history.undo(); // the step before text mode still undoes
        QCOMPARE(written(document), original);
    }

    void memoryCapDropsTheOldestSteps()
    {
        TemplateDocument document;
        QVERIFY(test::loadText(document, kTemplate));
        TemplateHistory history(document);
        history.setMemoryCap(4000);
        EditSession session(document);
        TemplateNode *policy = test::findNode(document, "Hide clock");
        const QString filler(300, u'x');
        for (int i = 0; i < 20; ++i) {
            QVERIFY(session.begin(policy));
            session.commit(QStringLiteral("POLICY \"P%1\"\r\nKEYNAME \"%2\"\r\nEND POLICY\r\n").arg(i).arg(filler),
                           QStringLiteral("P%1").arg(i));
        }
        QVERIFY(history.bytes() <= 4000);
        QVERIFY(history.stack().count() < 20);
        QVERIFY(history.stack().count() >= 2);
        QCOMPARE(history.undoText(), QStringLiteral("Edit policy 'P19'"));
        history.undo();
        QCOMPARE(policy->text, QStringLiteral("P18"));
        while (history.canUndo())
            history.undo();
        QVERIFY(policy->text.startsWith(u'P')); // the oldest steps are gone, the rest undo cleanly
        QVERIFY(document.isModified());
    }

    // Random tree operations and commits over real templates, undone to the start: the original text.
    void randomRunsUndoToTheStart_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = test::corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not beside this checkout");
        for (int i = 0; i < files.size(); i += 6)
            QTest::newRow(qPrintable(QFileInfo(files.at(i)).fileName())) << files.at(i);
    }
    void randomRunsUndoToTheStart()
    {
        QFETCH(QString, path);
        test::ScriptedPrompter yes;
        yes.allowAnything(Answer::Yes);
        TemplateDocument document;
        QVERIFY(Vullen(document, path, yes, {false, true}).loaded());
        TemplateHistory history(document);
        const QString original = written(document);
        QRandomGenerator random(qHash(path));
        EditSession session(document);
        for (int step = 0; step < 40; ++step) {
            QList<TemplateNode *> nodes;
            document.root()->forEach([&](TemplateNode *n) {
                if (n->parent() && n->kind() != u"CLASS")
                    nodes.append(n);
            });
            if (nodes.isEmpty())
                break;
            TemplateNode *node = nodes.at(random.bounded(int(nodes.size())));
            switch (random.bounded(4)) {
            case 0: DeleteNode(document, node, yes); break;
            case 1: InsertNode(document, node, NewNodeKind::Category, InsertPosition::After); break;
            case 2: DropNode(document, node, nodes.at(random.bounded(int(nodes.size()))), yes); break;
            default:
                if (session.begin(node))
                    session.commit(document.nodeText(node).replace(QStringLiteral("\""), QStringLiteral("\"~")),
                                   node->text + QStringLiteral("~"));
            }
        }
        const QString changed = written(document);
        while (history.canUndo())
            history.undo();
        QCOMPARE(written(document), original);
        while (history.canRedo())
            history.redo();
        QCOMPARE(written(document), changed);
    }
};

KOVA_CORPUS_TEST_MAIN(QGuiApplication, TestTemplateHistory)
#include "tst_templatehistory.moc"
