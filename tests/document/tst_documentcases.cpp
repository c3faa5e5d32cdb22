// The document layer, one case a folder under tests/data/document. The steps of `case`:
//   load FILE [--newer] [--report-line] [--encoding NAME] [--answer yes|no|cancel ...]
//   save FILE [--strings]          writes the loaded document there (as Save As does)
// Every message shown, each step and each load's outcome go to `log`; the tree after the last step goes
// to `tree` (key, kind, caption and slot text of every node, indented by depth); saved files to expected/.
#include "casefolders.h"
#include "document/loader.h"
#include "document/templatedocument.h"
#include "document/writer.h"
#include "scriptedprompter.h"

#include <QQueue>
#include <QTemporaryDir>
#include <QTest>

using namespace kova;
using namespace kova::test;

namespace {

// Answers questions from a queue (No when it runs dry) and writes every message into the log.
class LoggingPrompter : public Prompter
{
public:
    explicit LoggingPrompter(QByteArray &log) : m_log(log) {}
    QQueue<Answer> answers;

    Answer ask(const Message &message) override
    {
        m_log += describe(message).toUtf8() + '\n';
        if (message.buttons == Message::Buttons::Ok)
            return Answer::Ok;
        return answers.isEmpty() ? Answer::No : answers.dequeue();
    }

private:
    QByteArray &m_log;
};

QByteArray treeOf(const TemplateDocument &doc)
{
    QByteArray out;
    if (!doc.root())
        return out;
    doc.root()->forEach([&](TemplateNode *n) {
        const QString line = QString(n->depth() * 2, u' ') + n->key() + u' ' + n->kind() + u' ' + n->text + " <" +
                             doc.nodeText(n).replace(QStringLiteral("\r\n"), QStringLiteral("|")) + u'>';
        out += line.toUtf8() + '\n';
    });
    return out;
}

const char *statusName(LoadResult::Status status)
{
    switch (status) {
    case LoadResult::Status::Loaded: return "Loaded";
    case LoadResult::Status::Failed: return "Failed";
    case LoadResult::Status::Fatal: return "Fatal";
    }
    return "?";
}

} // namespace

class TestDocumentCases : public QObject
{
    Q_OBJECT

private slots:
    void run_data() { addCaseRows(QStringLiteral("document")); }
    void run()
    {
        QFETCH(CaseFolder, testCase);
        const QList<QStringList> steps = testCase.steps();
        QVERIFY2(!steps.isEmpty(), "a case needs at least one step");
        QTemporaryDir scratch;
        QVERIFY(testCase.copyInputs(scratch.path()));

        QByteArray log;
        LoggingPrompter prompter(log);
        TemplateDocument doc;
        doc.newTemplate();
        for (const QStringList &step : steps) {
            log += "> " + step.join(u' ').toUtf8() + '\n';
            QVERIFY2(step.size() >= 2, "a step names its file");
            const QString path = scratch.filePath(step.at(1));
            const QStringList flags = step.mid(2);
            if (step.first() == QStringLiteral("load")) {
                LoadOptions options;
                options.newerStatements = flags.contains(QStringLiteral("--newer"));
                options.reportLine = flags.contains(QStringLiteral("--report-line"));
                for (qsizetype i = 0; i + 1 < flags.size(); ++i) {
                    if (flags.at(i) == QStringLiteral("--answer"))
                        prompter.answers.enqueue(flags.at(i + 1) == QStringLiteral("yes")      ? Answer::Yes
                                                 : flags.at(i + 1) == QStringLiteral("cancel") ? Answer::Cancel
                                                                                               : Answer::No);
                    if (flags.at(i) == QStringLiteral("--encoding"))
                        options.encoding = encodingFromName(flags.at(i + 1));
                }
                const LoadResult result = Vullen(doc, path, prompter, options);
                log += QByteArray("= ") + statusName(result.status);
                if (result.errorLine)
                    log += " at line " + QByteArray::number(result.errorLine);
                log += '\n';
                // A failed load leaves no half-built document behind.
                QCOMPARE(doc.root() == nullptr, !result.loaded());
            } else if (step.first() == QStringLiteral("save")) {
                doc.setStringsOption(flags.contains(QStringLiteral("--strings")));
                doc.setPath(path);
                log += WriteTemplate(doc, prompter) ? "= saved\n" : "= not saved\n";
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step: ") + step.first()));
            }
        }
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("log"), log.replace(scratch.path().toUtf8(), "{dir}"));
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("tree"), treeOf(doc));
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }
};

QTEST_GUILESS_MAIN(TestDocumentCases)
#include "tst_documentcases.moc"
