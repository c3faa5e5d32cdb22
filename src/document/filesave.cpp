#include "filesave.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace kova {

bool saveFileAtomically(const QString &path, QByteArrayView bytes, QString *error)
{
    const QFileInfo info(path);
    if (info.exists() && info.isFile() && !(info.permissions() & QFileDevice::WriteOwner)) {
        if (error)
            *error = QStringLiteral("Permission denied: %1 is read-only").arg(QDir::toNativeSeparators(path));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), bytes.size()) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace kova
