#include "singleinstance.h"

#include "document/prompter.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace kova {

SingleInstance::SingleInstance(const QString &lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath.isEmpty() ? defaultLockPath() : lockPath))
{
    m_lock->setStaleLockTime(0); // a lock is stale only when its process is gone
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultLockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).absoluteFilePath(QStringLiteral("kova.lock"));
}

bool SingleInstance::CheckSingleInstance(Prompter &prompter)
{
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError) {
        prompter.tell(QStringLiteral("You can have only one active session\r\nwith the Kova"), Message::Icon::Critical);
        return false;
    }
    return true; // no place for a lock file: run without the guard rather than not at all
}

} // namespace kova
