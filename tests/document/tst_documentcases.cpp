// The document layer, one case a folder under tests/data/document. The steps of `case`:
//   load FILE [--newer] [--report-line] [--encoding NAME] [--answer yes|no|cancel ...]
//   save FILE [--strings] [--encoding NAME]     writes the document there (as Save As does)
//   add KEY category|policy|part [TYPE]          a new last child of the node (TYPE: a part type, 1 to 7)
//   insert KEY category|policy|part before|after [TYPE]
//   delete KEY [--answer yes|no]   drop KEY TARGET   menu KEY   expand all|none   find TEXT
//   edit KEY TEXT                  gives the node's first quoted text (caption and slot) TEXT
//   tokens FILE [--newer] [--strings FILE]       the body's tokens ("KEYNAME@1"), with that string table
//   entries FILE                   each line as a [strings] entry
//   decode FILE [NAME]             FILE's text (detected or as NAME) into FILE.txt, in UTF-8
//   encode FILE NAME               FILE's UTF-8 text encoded as NAME into FILE.NAME (the encoding used)
// Every message shown, each step and its outcome go to `log`; the tree after the last step goes to
// `tree` (key, kind, caption, image and slot text of every node, indented by depth); made files to expected/.
#include "casefolders.h"
#include "document/encoding.h"
#include "document/keywordtable.h"
#include "document/loader.h"
#include "document/splitter.h"
#include "document/stringtable.h"
#include "document/templatedocument.h"
#include "document/treeoperations.h"
#include "document/writer.h"
#include "find/treefind.h"
#include "loggingprompter.h"
#include "treelines.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

namespace {

const char *statusName(LoadResult::Status status)
{
    switch (status) {
    case LoadResult::Status::Loaded: return "Loaded";
    case LoadResult::Status::Failed: return "Failed";
    case LoadResult::Status::Fatal: return "Fatal";
    }
    return "?";
}

TemplateNode *nodeByKey(const TemplateDocument &doc, const QString &key)
{
    TemplateNode *found = nullptr;
    if (doc.root())
        doc.root()->forEach([&](TemplateNode *n) {
            if (n->key() == key)
                found = n;
        });
    return found;
}

QString flagValue(const QStringList &flags, const QString &name)
{
    const qsizetype at = flags.indexOf(name);
    return at >= 0 && at + 1 < flags.size() ? flags.at(at + 1) : QString();
}

NewNodeKind kindOf(const QString &word)
{
    return word == u"policy" ? NewNodeKind::Policy : word == u"part" ? NewNodeKind::Part : NewNodeKind::Category;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

} // namespace

class TestDocumentCases : public QObject
{
    Q_OBJECT

    QByteArray log;
    TemplateDocument doc;
    QString dir;

    TemplateNode *node(const QString &key)
    {
        TemplateNode *n = nodeByKey(doc, key);
        if (!n)
            QTest::qFail(qPrintable(QStringLiteral("no node ") + key), __FILE__, __LINE__);
        return n;
    }

    // One step; false when it could not run (the test has failed then).
    bool step(const QStringList &step, LoggingPrompter &prompter)
    {
        const QString verb = step.first();
        const QString arg = step.value(1);
        const QString path = dir + u'/' + arg;
        const QStringList flags = step.mid(2);
        if (flags.contains(QStringLiteral("--answer")))
            for (qsizetype i = 0; i + 1 < flags.size(); ++i)
                if (flags.at(i) == QStringLiteral("--answer"))
                    prompter.answers.enqueue(flags.at(i + 1) == QStringLiteral("yes")      ? Answer::Yes
                                             : flags.at(i + 1) == QStringLiteral("cancel") ? Answer::Cancel
                                                                                           : Answer::No);
        const QString encoding = flagValue(flags, QStringLiteral("--encoding"));
        if (verb == u"load") {
            LoadOptions options;
            options.newerStatements = flags.contains(QStringLiteral("--newer"));
            options.reportLine = flags.contains(QStringLiteral("--report-line"));
            if (!encoding.isEmpty())
                options.encoding = encodingFromName(encoding);
            const LoadResult result = Vullen(doc, path, prompter, options);
            log += QByteArray("= ") + statusName(result.status);
            if (result.errorLine)
                log += " at line " + QByteArray::number(result.errorLine);
            log += '\n';
            // A failed load leaves no half-built document behind.
            return doc.root() != nullptr || !result.loaded();
        }
        if (verb == u"save") {
            doc.setStringsOption(flags.contains(QStringLiteral("--strings")));
            if (!encoding.isEmpty())
                doc.setEncoding(*encodingFromName(encoding));
            doc.setPath(path);
            const NodeTextTable before = doc.texts();
            log += WriteTemplate(doc, prompter) ? "= saved as " : "= not saved, still ";
            log += encodingName(doc.encoding()).toUtf8() + (doc.isModified() ? ", modified\n" : "\n");
            return doc.texts() == before; // the model keeps its literal texts
        }
        if (verb == u"tokens" || verb == u"entries") {
            StringTable strings;
            const QString stringsFile = flagValue(flags, QStringLiteral("--strings"));
            if (!stringsFile.isEmpty())
                for (const QString &entry : QString::fromUtf8(bytesOf(dir + u'/' + stringsFile)).split(u'\n'))
                    if (!entry.isEmpty())
                        strings.append(entry);
            strings.SortStringTable();
            const QString text = QString::fromUtf8(bytesOf(path));
            if (verb == u"entries") {
                for (QString line : text.split(u'\n', Qt::SkipEmptyParts))
                    log += NormaliseStringEntry(line, prompter) ? "= " + line.toUtf8() + '\n' : "= refused\n";
                return true;
            }
            const WordContext context{KeywordTable::standard(), strings, flags.contains(QStringLiteral("--newer"))};
            const std::optional<TokenStream> stream = Splitter(text, context, prompter);
            if (!stream)
                log += "= refused\n";
            else
                for (const Token &t : stream->tokens)
                    log += t.text().toString().toUtf8() + '@' + QByteArray::number(t.line) + '\n';
            return true;
        }
        if (verb == u"decode") {
            TextEncoding found = TextEncoding::Windows1252;
            const QByteArray bytes = bytesOf(path);
            const QString text =
                step.size() > 2 ? decodeTextAs(bytes, *encodingFromName(step.at(2))) : decodeText(bytes, &found);
            if (step.size() == 2)
                log += "= " + encodingName(found).toUtf8() + '\n';
            writeBytes(path + QStringLiteral(".txt"), text.toUtf8());
            return true;
        }
        if (verb == u"encode") {
            const QString text = QString::fromUtf8(bytesOf(path));
            TextEncoding as = *encodingFromName(step.value(2));
            const qsizetype unencodable = firstUnencodable(text, as);
            if (unencodable >= 0)
                log += "= cannot hold the character at " + QByteArray::number(unencodable) + '\n';
            const QByteArray bytes = encodeText(text, as);
            log += "= written as " + encodingName(as).toUtf8() + '\n';
            writeBytes(path + u'.' + step.value(2), bytes);
            return true;
        }
        if (verb == u"find") { // the nodes the tree's find field shows, in tree order
            const auto found = TreeFind(arg).matchingNodes(doc);
            for (const TemplateNode *n : found)
                log += "= " + n->kind().toUtf8() + ' ' + CaptionPath(n).toUtf8() + '\n';
            log += found.empty() ? "= nothing\n" : "";
            return true;
        }
        if (verb == u"expand") {
            SetAllExpanded(doc, arg == u"all");
            return true;
        }
        // The tree operations name their node by its key.
        TemplateNode *n = node(arg);
        if (!n)
            return false;
        TemplateNode *made = nullptr;
        if (verb == u"add") {
            made = AddNode(doc, n, kindOf(step.value(2)), step.value(3).toInt());
        } else if (verb == u"insert") {
            const InsertPosition where = step.value(3) == u"before" ? InsertPosition::Before : InsertPosition::After;
            made = InsertNode(doc, n, kindOf(step.value(2)), where, step.value(4).toInt());
        } else if (verb == u"delete") {
            log += DeleteNode(doc, n, prompter) ? "= deleted" : "= kept";
            log += doc.isModified() ? ", modified\n" : "\n";
            return true;
        } else if (verb == u"drop") {
            TemplateNode *target = node(step.value(2));
            log += target && DropNode(doc, n, target, prompter) ? "= dropped" : "= refused";
            log += doc.isModified() ? ", modified\n" : "\n";
            return target != nullptr;
        } else if (verb == u"menu") {
            const ContextMenuState s = ContextMenuFor(n->kind());
            const std::pair<bool, const char *> entries[] = {{s.enabled, "menu"},
                                                             {s.edit, "edit"},
                                                             {s.remove, "remove"},
                                                             {s.add, "add"},
                                                             {s.addCategory, "addCategory"},
                                                             {s.addPolicy, "addPolicy"},
                                                             {s.addPart, "addPart"},
                                                             {s.insertCategory, "insertCategory"},
                                                             {s.insertPolicy, "insertPolicy"},
                                                             {s.insertPart, "insertPart"}};
            log += "=";
            for (const auto &[on, name] : entries)
                if (on && s.enabled)
                    log += QByteArray(" ") + name;
            log += CanDragNode(n) ? " drag\n" : "\n";
            return true;
        } else if (verb == u"edit") {
            QString text = doc.nodeText(n);
            const qsizetype open = text.indexOf(u'"'), close = text.indexOf(u'"', open + 1);
            text.replace(open + 1, close - open - 1, step.value(2));
            doc.commitNodeEdit(n, step.value(2), text);
            return true;
        } else {
            QTest::qFail(qPrintable(QStringLiteral("unknown step: ") + verb), __FILE__, __LINE__);
            return false;
        }
        log += made ? "= " + made->key().toUtf8() + (doc.isModified() ? ", modified\n" : "\n") : "= nothing\n";
        return true;
    }

private slots:
    void run_data() { addCaseRows(QStringLiteral("document")); }
    void run()
    {
        KOVA_OPEN_CASE(testCase, steps, scratch);
        dir = scratch.path();
        log.clear();
        LoggingPrompter prompter(log);
        doc.clear();
        doc.newTemplate();
        for (const QStringList &s : steps) {
            log += "> " + s.join(u' ').toUtf8() + '\n';
            QVERIFY2(s.size() >= 2, "a step names its file or node");
            if (!step(s, prompter))
                QFAIL(qPrintable(QStringLiteral("step failed: ") + s.join(u' ')));
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log.replace(scratch.path().toUtf8(), "{dir}"));
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("tree"), treeLines(doc));
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }
};

QTEST_GUILESS_MAIN(TestDocumentCases)
#include "tst_documentcases.moc"
