#include "registryreader.h"

#include "registry/core/clsreg.h"

namespace kova {

RegistryReader::RegistryReader(clsReg &reg, QObject *parent) : QObject(parent), m_reg(reg) {}

void RegistryReader::locate(qint32 hive, const QString &section)
{
    m_reg.setClassKey(hive);
    m_reg.setSectionKey(section);
}

void RegistryReader::report(const QString &description)
{
    if (m_problems.contains(description))
        return;
    m_problems.append(description);
    emit problemFound(description);
}

QStringList RegistryReader::subkeys(qint32 hive, const QString &section)
{
    locate(hive, section);
    QStringList names;
    int count = 0;
    try {
        m_reg.EnumerateSections(names, count);
    } catch (const RegistryError &e) {
        report(e.description());
        return {};
    }
    return names;
}

QStringList RegistryReader::values(qint32 hive, const QString &section)
{
    locate(hive, section);
    QStringList names;
    int count = 0;
    try {
        m_reg.EnumerateValues(names, count);
    } catch (const RegistryError &e) {
        report(e.description());
        return {};
    }
    return names;
}

RegistryReader::ReadValue RegistryReader::value(qint32 hive, const QString &section, const QString &name)
{
    locate(hive, section);
    m_reg.setValueKey(name);
    ReadValue read;
    try {
        read.value = m_reg.Value();
    } catch (const RegistryError &e) {
        report(e.description());
        return {};
    }
    read.type = m_reg.ValueType();
    return read;
}

} // namespace kova
