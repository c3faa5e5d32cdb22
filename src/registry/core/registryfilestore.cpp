#include "registryfilestore.h"

#include "registryerror.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSaveFile>

#include <functional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace kova {

namespace {

const QString kClassesPrefix = QStringLiteral("Software\\Classes");

// What tells us that another process replaced the file: it is written by rename, so its identity changes
// with every write; size and modification time cover file systems without stable inode numbers.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;
    quint64 identity = 0;

    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(const QString &path)
{
    FileStamp s;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return s;
    s.exists = true;
    s.size = st.st_size;
    s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.identity = quint64(st.st_ino) ^ (quint64(st.st_dev) << 32);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return s;
    s.exists = true;
    s.size = info.size();
    s.modified = info.lastModified().toMSecsSinceEpoch();
#endif
    return s;
}

RegistryValue stringValue(const QString &text)
{
    QByteArray data(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    data.append(2, '\0');
    return RegistryValue{RegType::String, data};
}

QString newKeyStamp()
{
    return QString::number(QDateTime::currentSecsSinceEpoch());
}

bool keyPresent(const RegistryFileContents &contents, const QString &path)
{
    return contents.holdsKey(path);
}

} // namespace

struct RegistryFileStore::HiveFile
{
    QString path;
    QString header; // the comment line a new file starts with
    RegistryFileContents contents;
    bool seedClasses = false; // a new file starts with the classes a fresh system defines
    FileStamp stamp;
    bool loaded = false;
    // The value positions of the key asked about last, for keys with many values: a browser reads
    // every value of one key in turn. Dropped whenever contents change.
    // The error of the last read, while the file stays as it was then: a broken file is parsed once,
    // not again at every question.
    QString failure;
    FileStamp failedStamp;
    QString valuesOf; // case-folded key path; empty with valuePositions empty: none kept
    QHash<QString, int> valuePositions;
    // Within a batch: the lock held since the first change, and whether contents await writing.
    std::unique_ptr<QLockFile> batchLock;
    bool batchChanged = false;

    void contentsChanged()
    {
        valuesOf.clear();
        valuePositions.clear();
    }
    int valueIndex(const QString &foldedPath, const StoredKey &key, const QString &name)
    {
        if (key.values.size() < 32)
            return key.valueIndex(name);
        if (valuePositions.isEmpty() || valuesOf != foldedPath) {
            valuePositions.clear();
            valuePositions.reserve(key.values.size());
            // Backwards, so that of two names that differ only in case the first one wins, as in a scan.
            for (int i = int(key.values.size()) - 1; i >= 0; --i)
                valuePositions.insert(registryNameKey(key.values.at(i).name), i);
            valuesOf = foldedPath;
        }
        return valuePositions.value(registryNameKey(name), -1);
    }
};

std::optional<QString> normalizeKeyPath(const QString &path)
{
    if (path.startsWith(u'\\'))
        return std::nullopt;
    QStringList parts = path.split(u'\\', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        if (part.size() > 255)
            return std::nullopt;
    }
    return parts.join(u'\\');
}

RegistryFileStore::RegistryFileStore(const QString &directory)
    : m_directory(QDir::cleanPath(QDir(directory).absolutePath())), m_machine(std::make_unique<HiveFile>()),
      m_user(std::make_unique<HiveFile>())
{
    m_machine->path = m_directory + QStringLiteral("/system.reg");
    m_machine->header = QStringLiteral(";; All keys relative to \\\\Machine");
    m_machine->seedClasses = true;
    m_user->path = m_directory + QStringLiteral("/user.reg");
    m_user->header = QStringLiteral(";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000");
}

RegistryFileStore::~RegistryFileStore() = default;

QString RegistryFileStore::filePath(qint32 hive) const
{
    switch (hive) {
    case Hive::ClassesRoot:
    case Hive::LocalMachine: return m_machine->path;
    case Hive::CurrentUser: return m_user->path;
    default: return QString();
    }
}

RegistryFileStore::Location RegistryFileStore::locate(qint32 hive, const QString &path)
{
    const std::optional<QString> normal = normalizeKeyPath(path);
    if (!normal)
        return {};
    switch (hive) {
    case Hive::ClassesRoot:
        return {m_machine.get(), normal->isEmpty() ? kClassesPrefix : kClassesPrefix + u'\\' + *normal};
    case Hive::LocalMachine: return {m_machine.get(), *normal};
    case Hive::CurrentUser: return {m_user.get(), *normal};
    default: return {};
    }
}

void RegistryFileStore::load(HiveFile &file)
{
    const FileStamp stamp = stampOf(file.path);
    if (file.loaded && stamp == file.stamp)
        return;
    if (!file.failure.isEmpty() && stamp == file.failedStamp)
        throw RegistryBackendError(file.failure);
    RegistryFileContents contents;
    if (stamp.exists) {
        QFile f(file.path);
        if (!f.open(QIODevice::ReadOnly))
            throw RegistryBackendError(QStringLiteral("The registry store %1 cannot be read: %2")
                                           .arg(QDir::toNativeSeparators(file.path), f.errorString()));
        const QByteArray bytes = f.readAll();
        if (const auto error = parseRegistryFile(bytes, contents)) {
            file.loaded = false;
            file.failure = QStringLiteral("The registry store %1 cannot be read: line %2: %3")
                               .arg(QDir::toNativeSeparators(file.path))
                               .arg(error->line)
                               .arg(error->reason);
            file.failedStamp = stamp;
            throw RegistryBackendError(file.failure);
        }
    }
    file.failure.clear();
    if (!stamp.exists) {
        // A new store starts as a fresh system does: the machine hive already knows registry files.
        contents.headerLines = QStringList{RegistryFileContents::Signature, file.header};
        if (file.seedClasses) {
            contents.obtain(kClassesPrefix + QStringLiteral("\\.reg"), newKeyStamp())
                .values.append(StoredKey::Value{QString(), stringValue(QStringLiteral("regfile"))});
            contents.obtain(kClassesPrefix + QStringLiteral("\\regfile"), newKeyStamp())
                .values.append(StoredKey::Value{QString(), stringValue(QStringLiteral("Registration Entries"))});
        }
    } else if (contents.headerLines.isEmpty()) {
        contents.headerLines = QStringList{RegistryFileContents::Signature, file.header};
    }
    file.contents = std::move(contents);
    file.contentsChanged();
    file.stamp = stamp;
    file.loaded = true;
}

const RegistryFileContents &RegistryFileStore::current(HiveFile &file)
{
    load(file);
    return file.contents;
}

void RegistryFileStore::lock(QLockFile &lock, const HiveFile &file) const
{
    lock.setStaleLockTime(30000);
    if (!lock.tryLock(m_lockTimeout))
        throw RegistryBackendError(QStringLiteral("The registry store %1 is locked by another program.")
                                       .arg(QDir::toNativeSeparators(file.path)));
}

bool RegistryFileStore::writeFile(HiveFile &file, RegistryFileContents &&contents)
{
    const QByteArray bytes = renderRegistryFile(contents);
    QSaveFile out(file.path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return false;
    file.contents = std::move(contents);
    file.contentsChanged();
    file.stamp = stampOf(file.path);
    return true;
}

bool RegistryFileStore::modify(HiveFile &file, const std::function<bool(RegistryFileContents &)> &change)
{
    if (!QDir().mkpath(m_directory))
        return false;
    if (m_batchDepth > 0) {
        if (!file.batchLock) {
            auto held = std::make_unique<QLockFile>(file.path + QStringLiteral(".lock"));
            lock(*held, file);
            file.batchLock = std::move(held);
        }
        load(file); // nobody else writes while the lock is held: a no-op after the first time
        if (change(file.contents)) {
            file.contentsChanged();
            file.batchChanged = true;
        }
        return true;
    }
    QLockFile held(file.path + QStringLiteral(".lock"));
    lock(held, file);
    load(file); // throws, and so writes nothing, when the file on disk cannot be parsed
    RegistryFileContents changed = file.contents;
    if (!change(changed))
        return true;
    return writeFile(file, std::move(changed));
}

void RegistryFileStore::beginBatch()
{
    ++m_batchDepth;
}

bool RegistryFileStore::endBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return true;
    bool stored = true;
    for (HiveFile *file : {m_machine.get(), m_user.get()}) {
        if (file->batchChanged && !writeFile(*file, RegistryFileContents(file->contents))) {
            stored = false;
            file->loaded = false; // what is on disk is what counts
        }
        file->batchChanged = false;
        file->batchLock.reset();
    }
    return stored;
}

bool RegistryFileStore::keyExists(qint32 hive, const QString &path)
{
    const Location at = locate(hive, path);
    if (!at.file)
        return false;
    if (hive == Hive::ClassesRoot && at.path == kClassesPrefix)
        return true;
    return keyPresent(current(*at.file), at.path);
}

std::optional<QStringList> RegistryFileStore::subkeyNames(qint32 hive, const QString &path)
{
    if (!keyExists(hive, path))
        return std::nullopt;
    const Location at = locate(hive, path);
    return current(*at.file).childNames(at.path).value_or(QStringList());
}

std::optional<QStringList> RegistryFileStore::valueNames(qint32 hive, const QString &path)
{
    if (!keyExists(hive, path))
        return std::nullopt;
    const Location at = locate(hive, path);
    QStringList names;
    if (const StoredKey *key = current(*at.file).find(at.path)) {
        for (const StoredKey::Value &v : key->values)
            names.append(v.name);
    }
    return names;
}

std::optional<RegistryValue> RegistryFileStore::queryValue(qint32 hive, const QString &path, const QString &name)
{
    const Location at = locate(hive, path);
    if (!at.file)
        return std::nullopt;
    const StoredKey *key = current(*at.file).find(at.path);
    if (!key)
        return std::nullopt;
    const int i = at.file->valueIndex(registryNameKey(at.path), *key, name);
    if (i < 0)
        return std::nullopt;
    return key->values.at(i).value;
}

bool RegistryFileStore::createKey(qint32 hive, const QString &path)
{
    const Location at = locate(hive, path);
    if (!at.file)
        return false;
    if (at.path.isEmpty() || keyPresent(current(*at.file), at.path))
        return true; // nothing to write
    return modify(*at.file, [&](RegistryFileContents &contents) {
        if (keyPresent(contents, at.path))
            return false;
        contents.obtain(at.path, newKeyStamp());
        return true;
    });
}

bool RegistryFileStore::setValue(qint32 hive, const QString &path, const QString &name, const RegistryValue &value)
{
    const Location at = locate(hive, path);
    if (!at.file)
        return false;
    if (const StoredKey *key = current(*at.file).find(at.path)) {
        const int i = key->valueIndex(name);
        if (i >= 0 && key->values.at(i).value == value)
            return true; // already stored: the start-up's associations usually are
    }
    return modify(*at.file, [&](RegistryFileContents &contents) {
        StoredKey &key = contents.obtain(at.path, newKeyStamp());
        const int i = key.valueIndex(name);
        if (i < 0) {
            key.values.append(StoredKey::Value{name, value});
            return true;
        }
        if (key.values.at(i).value == value)
            return false;
        key.values[i].value = value;
        return true;
    });
}

} // namespace kova
