#include "recoverycopy.h"

#include "encoding.h"
#include "filesave.h"
#include "templatedocument.h"
#include "writer.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace kova {

namespace {

const QString kCopyName = QStringLiteral("recovered.adm");
const QString kPathName = QStringLiteral("recovered.path");
const QString kNoteName = QStringLiteral("recovered.note");

QString readUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString RecoveryCopy::defaultDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/recovery");
}

QByteArray RecoveryCopy::render(const TemplateDocument &document)
{
    TextEncoding encoding = document.encoding();
    return encodeText(renderTemplate(document, false), encoding);
}

bool RecoveryCopy::write(QByteArrayView bytes, const QString &sourcePath, const QString &note, QString *error) const
{
    if (!QDir().mkpath(m_directory)) {
        if (error)
            *error = QStringLiteral("Cannot create ") + m_directory;
        return false;
    }
    // The path last: a copy without its path file is no copy (exists() looks for both).
    const QDir dir(m_directory);
    QFile::remove(dir.filePath(kPathName));
    QFile::remove(dir.filePath(kNoteName));
    return saveFileAtomically(dir.filePath(kCopyName), bytes, error) &&
           (note.isEmpty() || saveFileAtomically(dir.filePath(kNoteName), note.toUtf8(), error)) &&
           saveFileAtomically(dir.filePath(kPathName), sourcePath.toUtf8(), error);
}

bool RecoveryCopy::exists() const
{
    const QDir dir(m_directory);
    return QFile::exists(dir.filePath(kCopyName)) && QFile::exists(dir.filePath(kPathName));
}

QString RecoveryCopy::filePath() const
{
    return QDir(m_directory).filePath(kCopyName);
}

QString RecoveryCopy::sourcePath() const
{
    return readUtf8(QDir(m_directory).filePath(kPathName));
}

QString RecoveryCopy::note() const
{
    return readUtf8(QDir(m_directory).filePath(kNoteName));
}

void RecoveryCopy::remove() const
{
    const QDir dir(m_directory);
    QFile::remove(dir.filePath(kPathName));
    QFile::remove(dir.filePath(kNoteName));
    QFile::remove(dir.filePath(kCopyName));
}

} // namespace kova
