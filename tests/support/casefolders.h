#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Test cases kept as data: a folder per case under tests/data/<layer>/, read by one runner per layer.
// A folder is a case when it holds a file named `case`: its lines starting with '#' say what the case
// shows, every other line is one step of the layer's runner ("load in.adm --newer"). Every other file
// of the folder is an input, apart from the expected results: `log`, `tree`, `stdout`, `stderr`, `exit`
// and the folder `expected/`, which holds every file the steps create, byte for byte.
// Run a runner with KOVA_BLESS=1 to write what the code gives as the expected results (read the diff!).
namespace kova::test {

struct CaseFolder
{
    QString path; // absolute path of the folder
    QString name; // path below the layer's folder, e.g. "loader/policy-number"

    // The steps of `case`, each split into words; a word in double quotes may hold spaces.
    QList<QStringList> steps() const;
    // The input files (names relative to the folder, sorted), copied into a scratch folder by copyInputs.
    QStringList inputs() const;
    bool copyInputs(const QString &toDir) const;
    QByteArray read(const QString &relative) const;
    bool has(const QString &relative) const;
};

// Every case below tests/data/<layer>, sorted by name.
QList<CaseFolder> caseFolders(const QString &layer);
// One QTest data row per case of the layer, in a column "testCase" of type CaseFolder.
void addCaseRows(const QString &layer);

// Compares actual with the case's expected result `relative` (a missing file stands for empty). A
// result whose expected text ends with a line "..." only needs to start with what comes before it.
// Under KOVA_BLESS=1 it writes actual there instead (an empty result removes the file).
bool compareResult(const CaseFolder &c, const QString &relative, const QByteArray &actual, const char *file, int line);
// The same for the files the steps made in scratch (every file not among the inputs) against expected/.
bool compareMadeFiles(const CaseFolder &c, const QString &scratch, const char *file, int line);

} // namespace kova::test

Q_DECLARE_METATYPE(kova::test::CaseFolder)

#define KOVA_COMPARE_RESULT(c, relative, actual)                                                                       \
    do {                                                                                                               \
        if (!kova::test::compareResult((c), (relative), (actual), __FILE__, __LINE__))                                 \
            return;                                                                                                    \
    } while (false)
#define KOVA_COMPARE_MADE_FILES(c, scratch)                                                                            \
    do {                                                                                                               \
        if (!kova::test::compareMadeFiles((c), (scratch), __FILE__, __LINE__))                                         \
            return;                                                                                                    \
    } while (false)

// The start of every runner's run(): the row's case, its steps (at least one), and a scratch folder
// holding its inputs.
#define KOVA_OPEN_CASE(testCase, steps, scratch)                                                                       \
    QFETCH(kova::test::CaseFolder, testCase);                                                                          \
    const QList<QStringList> steps = testCase.steps();                                                                 \
    QVERIFY2(!steps.isEmpty(), "a case needs at least one step");                                                      \
    QTemporaryDir scratch;                                                                                             \
    QVERIFY(testCase.copyInputs(scratch.path()))
