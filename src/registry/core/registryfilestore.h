#pragma once

#include "registrybackend.h"
#include "registryfile.h"

#include <QString>

#include <functional>
#include <memory>

class QLockFile;

namespace kova {

// The registry on a platform without one: a store directory holding system.reg (HKEY_LOCAL_MACHINE)
// and user.reg (HKEY_CURRENT_USER) in the Wine registry text format, so a Wine prefix works as a store
// (with wineserver stopped). HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes.
//
// It behaves like a small database shared between processes:
// - every change rewrites its file atomically (QSaveFile) while holding "<file>.lock" (QLockFile), after
//   re-reading the file under that lock, so concurrent writers lose nothing;
// - every call first checks whether the file changed on disk and re-reads it if so;
// - a file that cannot be parsed raises RegistryBackendError naming the file and the line, and is never
//   written over;
// - names compare without regard to case and keep the spelling they were created with.
// Missing files are empty hives; the directory and files are created by the first write.
class RegistryFileStore : public RegistryBackend
{
public:
    explicit RegistryFileStore(const QString &directory);
    ~RegistryFileStore() override;

    QString directory() const { return m_directory; }
    // The file that holds a hive ("system.reg" or "user.reg"), or empty for a hive the store lacks.
    QString filePath(qint32 hive) const;
    // How long a writer waits for another process's lock before giving up (milliseconds).
    void setLockTimeout(int milliseconds) { m_lockTimeout = milliseconds; }

    bool keyExists(qint32 hive, const QString &path) override;
    std::optional<QStringList> subkeyNames(qint32 hive, const QString &path) override;
    std::optional<QStringList> valueNames(qint32 hive, const QString &path) override;
    std::optional<RegistryValue> queryValue(qint32 hive, const QString &path, const QString &name) override;
    bool createKey(qint32 hive, const QString &path) override;
    bool setValue(qint32 hive, const QString &path, const QString &name, const RegistryValue &value) override;
    // Within a batch each file's lock is taken at its first change and held to the end, where a file
    // that changed is written once.
    void beginBatch() override;
    bool endBatch() override;

private:
    struct HiveFile;
    struct Location
    {
        HiveFile *file = nullptr;
        QString path; // below the file's root
    };

    Location locate(qint32 hive, const QString &path);
    // The current contents of the file (re-read when it changed on disk); throws on a parse error.
    const RegistryFileContents &current(HiveFile &file);
    // Runs change on freshly read contents under the file's lock and writes the result when change
    // returns true; false when the file could not be written.
    bool modify(HiveFile &file, const std::function<bool(RegistryFileContents &)> &change);
    void load(HiveFile &file);
    bool writeFile(HiveFile &file, RegistryFileContents &&contents);
    void lock(QLockFile &lock, const HiveFile &file) const;

    QString m_directory;
    int m_lockTimeout = 10000;
    std::unique_ptr<HiveFile> m_machine;
    std::unique_ptr<HiveFile> m_user;
    int m_batchDepth = 0;
};

// The key path in its canonical form ("A\B"): separators doubled or at the ends are dropped. nullopt for
// a path the registry would refuse (a leading backslash).
std::optional<QString> normalizeKeyPath(const QString &path);

} // namespace kova
