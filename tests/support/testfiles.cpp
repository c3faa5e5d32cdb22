#include "testfiles.h"

#include <QDir>
#include <QFile>

namespace kova::test {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

namespace {
bool corpusMissing = false;
}

QStringList corpusFiles(const QString &folder)
{
    QDir dir(QStringLiteral(KOVA_CORPUS_DIR_FOR_SUPPORT) + u'/' + folder);
    QStringList files;
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
        files.append(dir.absoluteFilePath(name));
    corpusMissing = corpusMissing || files.isEmpty();
    return files;
}

int corpusRunResult(int result)
{
    if (result == 0 && corpusMissing) {
        qWarning("The shared corpus is not at %s: the test is reported skipped.", KOVA_CORPUS_DIR_FOR_SUPPORT);
        return KOVA_SKIP_EXIT_FOR_SUPPORT;
    }
    return result;
}

QByteArray wideText(const QString &text)
{
    QByteArray data(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    data.append(2, '\0');
    return data;
}

QString writeText(const QString &path, const QByteArray &text)
{
    writeBytes(path, crlf(text));
    return path;
}

QByteArray crlf(QByteArray text)
{
    return text.replace("\r\n", "\n").replace("\n", "\r\n");
}

QString crlfText(const char *text)
{
    return QString::fromUtf8(text).replace(u'\n', QStringLiteral("\r\n"));
}

} // namespace kova::test
