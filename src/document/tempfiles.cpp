#include "tempfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace kova {

void TempFiles::removeAll()
{
    for (const QString &path : paths())
        QFile::remove(path);
    clear();
}

QString NewTempFile(TempFiles &files, QString *errorString)
{
    const QDir dir(QDir::tempPath());
    QString lastError;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const quint32 n = QRandomGenerator::global()->bounded(0x10000u);
        const QString path = dir.absoluteFilePath(QStringLiteral("ADM%1.tmp").arg(QString::number(n, 16).toUpper()));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            file.close();
            files.add(path);
            return path;
        }
        lastError = file.errorString();
        if (!file.exists())
            break; // not a name clash: the directory itself refuses
    }
    if (errorString)
        *errorString = lastError;
    return QString();
}

} // namespace kova
