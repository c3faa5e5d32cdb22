#include "win32registry.h"

#ifdef Q_OS_WIN

#include <qt_windows.h>

#include <vector>

namespace kova {

namespace {

HKEY hiveHandle(qint32 hive)
{
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(hive)));
}

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// An open key, closed when it goes out of scope.
class OpenKey
{
public:
    OpenKey(qint32 hive, const QString &path, REGSAM access)
    {
        if (RegOpenKeyExW(hiveHandle(hive), wide(path), 0, access, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~OpenKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;
    explicit operator bool() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

} // namespace

bool Win32Registry::keyExists(qint32 hive, const QString &path)
{
    return bool(OpenKey(hive, path, KEY_QUERY_VALUE));
}

std::optional<QStringList> Win32Registry::subkeyNames(qint32 hive, const QString &path)
{
    OpenKey key(hive, path, KEY_ENUMERATE_SUB_KEYS);
    if (!key)
        return std::nullopt;
    QStringList names;
    wchar_t buffer[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = 256;
        if (RegEnumKeyExW(key.get(), i, buffer, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.append(QString::fromWCharArray(buffer, int(size)));
    }
    return names;
}

std::optional<QStringList> Win32Registry::valueNames(qint32 hive, const QString &path)
{
    OpenKey key(hive, path, KEY_QUERY_VALUE);
    if (!key)
        return std::nullopt;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return QStringList();
    QStringList names;
    std::vector<wchar_t> buffer(longest + 1);
    for (DWORD i = 0;; ++i) {
        DWORD size = DWORD(buffer.size());
        if (RegEnumValueW(key.get(), i, buffer.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.append(QString::fromWCharArray(buffer.data(), int(size)));
    }
    return names;
}

std::optional<RegistryValue> Win32Registry::queryValue(qint32 hive, const QString &path, const QString &name)
{
    OpenKey key(hive, path, KEY_QUERY_VALUE);
    if (!key)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    const LONG probe = RegQueryValueExW(key.get(), wide(name), nullptr, &type, nullptr, &size);
    if (probe != ERROR_SUCCESS && probe != ERROR_MORE_DATA)
        return std::nullopt;
    QByteArray data(qsizetype(size), '\0');
    if (size > 0 && RegQueryValueExW(key.get(), wide(name), nullptr, &type, reinterpret_cast<BYTE *>(data.data()),
                                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.truncate(qsizetype(size));
    return RegistryValue{quint32(type), data};
}

bool Win32Registry::createKey(qint32 hive, const QString &path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(hiveHandle(hive), wide(path), 0, nullptr, 0, KEY_ALL_ACCESS & 0x3F, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool Win32Registry::setValue(qint32 hive, const QString &path, const QString &name, const RegistryValue &value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(hiveHandle(hive), wide(path), 0, nullptr, 0, KEY_ALL_ACCESS & 0x3F, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result =
        RegSetValueExW(key, wide(name), 0, DWORD(value.type), reinterpret_cast<const BYTE *>(value.data.constData()),
                       DWORD(value.data.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

QString Win32Registry::expandEnvironmentStrings(const QString &text)
{
    const DWORD needed = ExpandEnvironmentStringsW(wide(text), nullptr, 0);
    if (needed == 0)
        return text;
    std::vector<wchar_t> buffer(needed);
    const DWORD written = ExpandEnvironmentStringsW(wide(text), buffer.data(), needed);
    if (written == 0 || written > needed)
        return text;
    return QString::fromWCharArray(buffer.data(), int(written) - 1);
}

} // namespace kova

#endif
