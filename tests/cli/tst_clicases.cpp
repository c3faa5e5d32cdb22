// kova-cli as a black box, one case a folder under tests/data/cli: each step of `case` is one
// "kova-cli ARGS" run in a scratch folder holding the case's inputs ({corpus} stands for the shared corpus, a step
// "env NAME=value" sets a variable for the runs after it; {dir} stands for the scratch folder). The runs' standard
// output and error go to `stdout` and `stderr` (the scratch folder's path shown as {dir}), their exit statuses to
// `exit` (absent when every run exits 0), and every file they make must stand in expected/.
#include "casefolders.h"
#include "programrun.h"

#include <QTemporaryDir>
#include <QTest>

using namespace kova::test;

class TestCliCases : public QObject
{
    Q_OBJECT

private slots:
    void run_data() { addCaseRows(QStringLiteral("cli")); }
    void run()
    {
        KOVA_OPEN_CASE(testCase, steps, scratch);

        QStringList environment;
        QByteArray out, err, exits;
        bool anyFailed = false;
        for (QStringList args : steps) {
            args.replaceInStrings(QStringLiteral("{dir}"), scratch.path());
            if (args.first() == QStringLiteral("env")) {
                environment += args.mid(1);
                continue;
            }
            QVERIFY2(args.takeFirst() == QStringLiteral("kova-cli"), "a step is a kova-cli command line or env");
            args.replaceInStrings(QStringLiteral("{corpus}"), QStringLiteral(KOVA_CORPUS_DIR));
            const ProgramRun r = runProgram(QStringLiteral(KOVA_CLI), args, {}, environment, scratch.path());
            out += r.out.toUtf8();
            err += r.err.toUtf8();
            exits += QByteArray::number(r.code) + '\n';
            anyFailed |= r.code != 0;
        }
        const QByteArray dir = scratch.path().toUtf8();
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("stdout"), out.replace(dir, "{dir}"));
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("stderr"), err.replace(dir, "{dir}"));
        KOVA_COMPARE_RESULT(testCase, QStringLiteral("exit"), anyFailed ? exits : QByteArray());
        KOVA_COMPARE_MADE_FILES(testCase, scratch.path());
    }
};

QTEST_GUILESS_MAIN(TestCliCases)
#include "tst_clicases.moc"
