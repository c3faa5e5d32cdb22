#include "casefolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTest>

namespace kova::test {

namespace {

const QStringList kResults{QStringLiteral("case"),   QStringLiteral("log"),    QStringLiteral("tree"),
                           QStringLiteral("stdout"), QStringLiteral("stderr"), QStringLiteral("exit")};

bool blessing()
{
    return qEnvironmentVariableIntValue("KOVA_BLESS") == 1;
}

QStringList filesBelow(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out.append(QDir(root).relativeFilePath(it.next()));
    out.sort();
    return out;
}

QStringList splitWords(const QString &line)
{
    QStringList words;
    QString word;
    bool quoted = false, any = false;
    for (const QChar c : line) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any)
                words.append(word);
            word.clear();
            any = false;
        } else {
            word.append(c);
            any = true;
        }
    }
    if (any)
        words.append(word);
    return words;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The first line where two texts part, for a readable failure.
QString firstDifference(const QByteArray &actual, const QByteArray &expected)
{
    const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
    for (qsizetype i = 0; i < qMax(a.size(), e.size()); ++i) {
        if (a.value(i) != e.value(i))
            return QStringLiteral("line %1\n   actual: %2\n expected: %3")
                .arg(i + 1)
                .arg(QString::fromUtf8(a.value(i, "<none>")), QString::fromUtf8(e.value(i, "<none>")));
    }
    return QStringLiteral("same lines, different bytes");
}

} // namespace

QList<QStringList> CaseFolder::steps() const
{
    QList<QStringList> out;
    for (const QByteArray &line : read(QStringLiteral("case")).split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (!text.isEmpty() && !text.startsWith(u'#'))
            out.append(splitWords(text));
    }
    return out;
}

QStringList CaseFolder::inputs() const
{
    QStringList out;
    for (const QString &f : filesBelow(path)) {
        if (!kResults.contains(f) && !f.startsWith(QStringLiteral("expected/")))
            out.append(f);
    }
    return out;
}

bool CaseFolder::copyInputs(const QString &toDir) const
{
    for (const QString &f : inputs()) {
        if (!writeFile(toDir + u'/' + f, read(f)))
            return false;
    }
    return true;
}

QByteArray CaseFolder::read(const QString &relative) const
{
    return bytesOf(path + u'/' + relative);
}

bool CaseFolder::has(const QString &relative) const
{
    return QFile::exists(path + u'/' + relative);
}

QList<CaseFolder> caseFolders(const QString &layer)
{
    const QString root = QStringLiteral(KOVA_CASES_DIR "/") + layer;
    QList<CaseFolder> out;
    for (const QString &f : filesBelow(root)) {
        if (QFileInfo(f).fileName() == QStringLiteral("case") && !f.contains(QStringLiteral("expected/"))) {
            const QString dir = QFileInfo(f).path();
            out.append({root + u'/' + dir, dir});
        }
    }
    return out;
}

void addCaseRows(const QString &layer)
{
    QTest::addColumn<CaseFolder>("testCase");
    const QList<CaseFolder> cases = caseFolders(layer);
    if (cases.isEmpty())
        QTest::newRow("no cases") << CaseFolder{}; // fails in the runner: a layer without cases is a mistake
    for (const CaseFolder &c : cases)
        QTest::newRow(qPrintable(c.name)) << c;
}

bool compareResult(const CaseFolder &c, const QString &relative, const QByteArray &actual, const char *file, int line)
{
    const QString path = c.path + u'/' + relative;
    if (blessing()) {
        if (actual.isEmpty())
            QFile::remove(path);
        else
            writeFile(path, actual);
        return true;
    }
    QByteArray expected = c.read(relative);
    bool prefix = false;
    if (expected.endsWith("...\n") && (expected.size() == 4 || expected.at(expected.size() - 5) == '\n')) {
        expected.chop(4);
        prefix = true;
    }
    if (prefix ? actual.startsWith(expected) : actual == expected)
        return true;
    const QString why = QStringLiteral("%1/%2 differs at %3").arg(c.name, relative, firstDifference(actual, expected));
    return QTest::qVerify(false, "result", qPrintable(why), file, line);
}

bool compareMadeFiles(const CaseFolder &c, const QString &scratch, const char *file, int line)
{
    const QStringList inputs = c.inputs();
    QSet<QString> made;
    for (const QString &f : filesBelow(scratch)) {
        // An input the steps rewrote counts as made; one left alone does not.
        if (!inputs.contains(f) || bytesOf(scratch + u'/' + f) != c.read(f))
            made.insert(f);
    }
    if (blessing()) {
        QDir(c.path + QStringLiteral("/expected")).removeRecursively();
        for (const QString &f : made) {
            if (!writeFile(c.path + QStringLiteral("/expected/") + f, bytesOf(scratch + u'/' + f)))
                return QTest::qVerify(false, "bless", qPrintable(f), file, line);
        }
        return true;
    }
    const QStringList expected = filesBelow(c.path + QStringLiteral("/expected"));
    QStringList madeSorted(made.begin(), made.end());
    madeSorted.sort();
    if (madeSorted != expected) {
        const QString why =
            QStringLiteral("%1: made [%2], expected [%3]")
                .arg(c.name, madeSorted.join(QStringLiteral(", ")), expected.join(QStringLiteral(", ")));
        return QTest::qVerify(false, "made files", qPrintable(why), file, line);
    }
    for (const QString &f : expected) {
        if (!compareResult(c, QStringLiteral("expected/") + f, bytesOf(scratch + u'/' + f), file, line))
            return false;
    }
    return true;
}

} // namespace kova::test
