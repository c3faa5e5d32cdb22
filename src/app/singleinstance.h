#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace kova {

class Prompter;

// The one running copy: a lock file in the runtime folder, taken over when its owner is gone.
class SingleInstance
{
public:
    // lockPath empty: "kova.lock" in the user's runtime (or temporary) folder.
    explicit SingleInstance(const QString &lockPath = QString());
    ~SingleInstance();

    // False (after telling the user) when another copy holds the lock.
    bool CheckSingleInstance(Prompter &prompter);
    static QString defaultLockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace kova
