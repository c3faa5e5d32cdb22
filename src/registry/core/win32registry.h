#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN

#include "registrybackend.h"

namespace kova {

// The Windows registry itself, through the platform's registry calls (wide form, so names and string
// data keep every character).
class Win32Registry : public RegistryBackend
{
public:
    bool keyExists(qint32 hive, const QString &path) override;
    std::optional<QStringList> subkeyNames(qint32 hive, const QString &path) override;
    std::optional<QStringList> valueNames(qint32 hive, const QString &path) override;
    std::optional<RegistryValue> queryValue(qint32 hive, const QString &path, const QString &name) override;
    bool createKey(qint32 hive, const QString &path) override;
    bool setValue(qint32 hive, const QString &path, const QString &name, const RegistryValue &value) override;
    QString expandEnvironmentStrings(const QString &text) override;
};

} // namespace kova

#endif
