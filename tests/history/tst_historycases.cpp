// The edit history, one case a folder under tests/data/history. The steps of `case`:
//   load FILE   add KEY category|policy|part   insert KEY category|policy|part before|after   delete KEY
//   drop KEY TARGET   edit KEY TEXT (a page's commit: the node's first quoted text becomes TEXT)
//   undo [all]   redo [all]   write FILE (the template as written, no save)   save FILE (a save point)
//   text FILE [--no-update]   text mode entered, FILE's text loaded, left with Update or No Update
//   modified   a change the history does not hold (the "Strings" option, a converted export)
//   cap BYTES   the history's memory cap   expand all|none
// After each step `log` has the count of steps, the texts of Undo and Redo, the modified flag, and the
// file written before that holds the template now ("as FILE"); `tree` the tree after the last step.
// Random runs over real templates, undone to the start and redone to the end, close the file.
#include "casefolders.h"
#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/treeoperations.h"
#include "document/writer.h"
#include "forms/editsession.h"
#include "history/templatehistory.h"
#include "loggingprompter.h"
#include "scriptedprompter.h"
#include "testfiles.h"
#include "treelines.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTest>
#include <QUndoStack>

using namespace kova;
using namespace kova::test;

namespace {

NewNodeKind kindOf(const QString &word)
{
    return word == u"policy" ? NewNodeKind::Policy : word == u"part" ? NewNodeKind::Part : NewNodeKind::Category;
}

} // namespace

class TestHistoryCases : public QObject
{
    Q_OBJECT

    QByteArray log;
    TemplateDocument doc;
    QString dir;
    QList<std::pair<QString, QString>> written; // each file written by `write` or `save`, and its text

    TemplateNode *node(const QString &key)
    {
        TemplateNode *found = nullptr;
        doc.root()->forEach([&](TemplateNode *n) { found = n->key() == key ? n : found; });
        if (!found)
            QTest::qFail(qPrintable(QStringLiteral("no node ") + key), __FILE__, __LINE__);
        return found;
    }

    // One step; false when it could not run (the test has failed then).
    bool step(const QStringList &s, TemplateHistory &history, LoggingPrompter &prompter)
    {
        const QString verb = s.first(), arg = s.value(1), path = dir + u'/' + arg;
        if (verb == u"load" || verb == u"text") {
            if (verb == u"text")
                history.textModeEntered();
            doc.clear();
            log += Vullen(doc, path, prompter, {}).loaded() ? "" : "= not loaded\n";
            if (verb == u"text") {
                history.textModeApplied(!s.contains(QStringLiteral("--no-update")));
                history.textModeLeft();
            }
        } else if (verb == u"undo" || verb == u"redo") {
            do
                verb == u"undo" ? history.undo() : history.redo();
            while (arg == u"all" && (verb == u"undo" ? history.canUndo() : history.canRedo()));
        } else if (verb == u"write" || verb == u"save") {
            written.append({arg, renderTemplate(doc, false)});
            if (verb == u"save") {
                doc.setPath(path);
                return WriteTemplate(doc, prompter);
            }
            return writeBytes(path, written.last().second.toUtf8());
        } else if (verb == u"modified") {
            doc.setModified(true);
        } else if (verb == u"cap") {
            history.setMemoryCap(arg.toLongLong());
        } else if (verb == u"expand") {
            SetAllExpanded(doc, arg == u"all");
        } else if (TemplateNode *n = node(arg)) {
            prompter.answers.fill(Answer::Yes, 3);
            if (verb == u"add") {
                AddNode(doc, n, kindOf(s.value(2)));
            } else if (verb == u"insert") {
                InsertNode(doc, n, kindOf(s.value(2)),
                           s.value(3) == u"before" ? InsertPosition::Before : InsertPosition::After);
            } else if (verb == u"delete") {
                DeleteNode(doc, n, prompter);
            } else if (verb == u"drop") {
                TemplateNode *target = node(s.value(2));
                return target && DropNode(doc, n, target, prompter);
            } else if (verb == u"edit") {
                EditSession session(doc);
                QString text = doc.nodeText(n);
                const qsizetype open = text.indexOf(u'"'), close = text.indexOf(u'"', open + 1);
                session.begin(n);
                session.commit(text.replace(open + 1, close - open - 1, s.value(2)), s.value(2));
            } else {
                QTest::qFail(qPrintable(QStringLiteral("unknown step: ") + verb), __FILE__, __LINE__);
                return false;
            }
        } else {
            return false;
        }
        return true;
    }

    QByteArray state(const TemplateHistory &history) const
    {
        QByteArray out = "= " + QByteArray::number(history.stack().count()) + " steps";
        if (history.canUndo())
            out += ", undo \"" + history.undoText().toUtf8() + '"';
        if (history.canRedo())
            out += ", redo \"" + history.redoText().toUtf8() + '"';
        out += doc.isModified() ? ", modified" : "";
        const QString now = renderTemplate(doc, false);
        for (const auto &[file, text] : written)
            if (text == now) {
                out += ", as " + file.toUtf8();
                break;
            }
        return out + '\n';
    }

private slots:
    void run_data() { addCaseRows(QStringLiteral("history")); }
    void run()
    {
        KOVA_OPEN_CASE(testCase, steps, scratch);
        dir = scratch.path();
        log.clear();
        written.clear();
        LoggingPrompter prompter(log);
        doc.clear();
        doc.newTemplate();
        TemplateHistory history(doc);
        for (const QStringList &s : steps) {
            log += "> " + s.join(u' ').toUtf8() + '\n';
            if (!step(s, history, prompter))
                QFAIL(qPrintable(QStringLiteral("step failed: ") + s.join(u' ')));
            if (s.first() != u"write")
                log += state(history);
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log);
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("tree"), treeLines(doc));
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }

    // Random tree operations and commits over real templates, undone to the start: the original text.
    void randomRunsUndoToTheStart_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = corpusFiles(QStringLiteral("adm"));
        if (files.isEmpty())
            QSKIP("the shared corpus is not beside this checkout");
        for (int i = 0; i < files.size(); i += 6)
            QTest::newRow(qPrintable(QFileInfo(files.at(i)).fileName())) << files.at(i);
    }
    void randomRunsUndoToTheStart()
    {
        QFETCH(QString, path);
        ScriptedPrompter yes;
        yes.allowAnything(Answer::Yes);
        TemplateDocument document;
        QVERIFY(Vullen(document, path, yes, {false, true}).loaded());
        TemplateHistory history(document);
        const QString original = renderTemplate(document, false);
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
        const QString changed = renderTemplate(document, false);
        while (history.canUndo())
            history.undo();
        QCOMPARE(renderTemplate(document, false), original);
        while (history.canRedo())
            history.redo();
        QCOMPARE(renderTemplate(document, false), changed);
    }
};

KOVA_CORPUS_TEST_MAIN(QGuiApplication, TestHistoryCases)
#include "tst_historycases.moc"
