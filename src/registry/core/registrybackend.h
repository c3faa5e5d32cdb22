#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace kova {

// The predefined hive handles, as the platform numbers them.
namespace Hive {
constexpr qint32 ClassesRoot = qint32(0x80000000);
constexpr qint32 CurrentUser = qint32(0x80000001);
constexpr qint32 LocalMachine = qint32(0x80000002);
} // namespace Hive

// Registry data type codes.
namespace RegType {
constexpr quint32 String = 1;
constexpr quint32 ExpandString = 2;
constexpr quint32 Binary = 3;
constexpr quint32 Dword = 4;
constexpr quint32 DwordBigEndian = 5;
constexpr quint32 MultiString = 7;
} // namespace RegType

// One value's raw data as the registry holds it. The string types (1, 2, 7) hold UTF-16LE code units
// with their terminating NUL, as the platform's wide interface stores them; the others are plain bytes.
struct RegistryValue
{
    quint32 type = 0;
    QByteArray data;

    bool operator==(const RegistryValue &) const = default;
};

// The registry operations clsReg needs from the platform. Every call opens what it needs and closes it
// again; nothing stays open between calls. Keys are a hive handle and a path below it ("A\B", no leading
// backslash, empty for the hive itself). Names compare without regard to case and keep their spelling.
// A backend whose own storage fails throws RegistryBackendError.
class RegistryBackend
{
public:
    virtual ~RegistryBackend() = default;

    // The key exists and may be read.
    virtual bool keyExists(qint32 hive, const QString &path) = 0;
    // The direct subkeys / the value names of a key, in the order the registry keeps them (the default
    // value as an empty name); nullopt when the key cannot be opened.
    virtual std::optional<QStringList> subkeyNames(qint32 hive, const QString &path) = 0;
    virtual std::optional<QStringList> valueNames(qint32 hive, const QString &path) = 0;
    // nullopt when the key or the value does not exist.
    virtual std::optional<RegistryValue> queryValue(qint32 hive, const QString &path, const QString &name) = 0;
    // Opens or creates the key with every missing parent; false when that is not possible.
    virtual bool createKey(qint32 hive, const QString &path) = 0;
    // Stores a value in an existing or new key; false when the data could not be stored.
    virtual bool setValue(qint32 hive, const QString &path, const QString &name, const RegistryValue &value) = 0;
    // %NAME% references replaced by the environment's values; unknown names stay as written.
    virtual QString expandEnvironmentStrings(const QString &text);

    // Changes made between beginBatch and endBatch may be stored together at endBatch (a file store
    // rewrites each file once); reads in between see them. endBatch is false when they could not be
    // stored. Batches nest; the outermost endBatch stores. By default every change is stored at once.
    virtual void beginBatch() {}
    virtual bool endBatch() { return true; }
};

// A batch for the length of a scope; commit() ends it and says whether its changes were stored.
class RegistryBatch
{
public:
    explicit RegistryBatch(RegistryBackend &backend) : m_backend(backend) { m_backend.beginBatch(); }
    ~RegistryBatch()
    {
        if (m_open)
            m_backend.endBatch();
    }
    RegistryBatch(const RegistryBatch &) = delete;
    RegistryBatch &operator=(const RegistryBatch &) = delete;
    bool commit()
    {
        m_open = false;
        return m_backend.endBatch();
    }

private:
    RegistryBackend &m_backend;
    bool m_open = true;
};

// The %NAME% expansion on its own (used by backends without a platform call for it).
QString expandEnvironmentReferences(const QString &text);

} // namespace kova
