#include "clsreg.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace kova {

QString registryErrorSource()
{
    QString name;
    if (QCoreApplication::instance())
        name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("kova");
    return name + QStringLiteral(".cRegistry");
}

QString RegistryBackend::expandEnvironmentStrings(const QString &text)
{
    return expandEnvironmentReferences(text);
}

QString expandEnvironmentReferences(const QString &text)
{
    // Like the platform: %NAME% with a known NAME is replaced, anything else stays as written.
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString out;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'%', pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(u'%', open + 1);
        if (close < 0) {
            out += QStringView(text).mid(pos);
            break;
        }
        out += QStringView(text).mid(pos, open - pos);
        const QString name = text.mid(open + 1, close - open - 1);
        QString value;
        bool known = !name.isEmpty() && env.contains(name);
        if (known) {
            value = env.value(name);
        } else if (!name.isEmpty()) {
            // Environment names are case-insensitive on the registry's home platform.
            for (const QString &key : env.keys()) {
                if (key.compare(name, Qt::CaseInsensitive) == 0) {
                    value = env.value(key);
                    known = true;
                    break;
                }
            }
        }
        if (known) {
            out += value;
            pos = close + 1;
        } else {
            out += QStringView(text).mid(open, close - open);
            pos = close; // the closing "%" may open the next reference
        }
    }
    return out;
}

clsReg::clsReg(RegistryBackend &backend, QString errorSource)
    : m_backend(backend), m_source(errorSource.isEmpty() ? registryErrorSource() : std::move(errorSource))
{}

void clsReg::raise(qint32 number, const QString &description) const
{
    throw RegistryError(number, m_source, description);
}

void clsReg::raiseBackend(const RegistryBackendError &error, qint32 number) const
{
    raise(number, error.description());
}

namespace {

QString textOf(const QByteArray &data)
{
    // size bytes hold size/2 characters, the last of them the terminating NUL
    const qsizetype chars = data.size() / 2;
    if (chars == 0)
        return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(data.constData()), chars - 1);
}

qint32 numberOf(QByteArray data, bool reversed)
{
    data = data.left(4);
    data.append(4 - data.size(), '\0');
    if (reversed)
        std::reverse(data.begin(), data.end());
    quint32 n = 0;
    for (int i = 3; i >= 0; --i)
        n = (n << 8) | uchar(data.at(i));
    return qint32(n);
}

QByteArray storedText(const QString &text)
{
    QByteArray data(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    data.append(2, '\0');
    return data;
}

} // namespace

QVariant clsReg::Value()
{
    std::optional<RegistryValue> value;
    try {
        value = m_backend.queryValue(m_classKey, m_sectionKey, m_valueKey);
    } catch (const RegistryBackendError &e) {
        raiseBackend(e, RegistryError::StoreFailed);
    }
    if (!value)
        return m_default;
    m_valueType = qint32(value->type);
    switch (value->type) {
    case RegType::String:
    case RegType::MultiString: return textOf(value->data);
    case RegType::ExpandString: return m_backend.expandEnvironmentStrings(textOf(value->data));
    case RegType::Dword: return numberOf(value->data, false);
    case RegType::DwordBigEndian: return numberOf(value->data, true);
    default: return value->data;
    }
}

qint32 clsReg::storedTypeFor(const QString &text)
{
    const qsizetype first = text.indexOf(u'%');
    if (first >= 0 && text.indexOf(u'%', first + 2) >= 0)
        return RegType::ExpandString;
    return RegType::String;
}

QString clsReg::setValueDescription(const QString &text) const
{
    return QStringLiteral("Failed to set registry value Key: '") + QString::number(m_classKey) +
           QStringLiteral("',Section: '") + m_sectionKey + QStringLiteral("',Key: '") + m_valueKey +
           QStringLiteral("' to value: '") + text + QStringLiteral("'");
}

void clsReg::setValue(const QVariant &value)
{
    const QString text = value.toString();
    bool stored = false;
    try {
        if (!m_backend.createKey(m_classKey, m_sectionKey))
            raise(RegistryError::CreateFailed, setValueDescription(text));
        stored = m_backend.setValue(m_classKey, m_sectionKey, m_valueKey,
                                    RegistryValue{quint32(storedTypeFor(text)), storedText(text)});
    } catch (const RegistryBackendError &e) {
        raiseBackend(e, RegistryError::StoreFailed);
    }
    if (!stored)
        raise(RegistryError::SetValueFailed, setValueDescription(text));
}

bool clsReg::KeyExists()
{
    try {
        return m_backend.keyExists(m_classKey, m_sectionKey);
    } catch (const RegistryBackendError &e) {
        raiseBackend(e, RegistryError::StoreFailed);
    }
}

bool clsReg::CreateKey()
{
    bool created = false;
    try {
        created = m_backend.createKey(m_classKey, m_sectionKey);
    } catch (const RegistryBackendError &e) {
        raiseBackend(e, RegistryError::StoreFailed);
    }
    if (!created)
        raise(RegistryError::CreateFailed, QStringLiteral("Failed to create registry Key: '") + m_sectionKey);
    return true;
}

bool clsReg::EnumerateSections(QStringList &names, int &count)
{
    names.clear();
    count = 0;
    std::optional<QStringList> found;
    try {
        found = m_backend.subkeyNames(m_classKey, m_sectionKey);
    } catch (const RegistryBackendError &e) {
        raiseBackend(e, RegistryError::EnumerateFailed);
    }
    if (!found)
        return true;
    for (const QString &name : *found) {
        if (name.size() > 254)
            break; // does not fit the name buffer: the enumeration ends here
        names.append(name);
    }
    count = int(names.size());
    return true;
}

bool clsReg::EnumerateValues(QStringList &names, int &count)
{
    names.clear();
    count = 0;
    std::optional<QStringList> found;
    try {
        found = m_backend.valueNames(m_classKey, m_sectionKey);
    } catch (const RegistryBackendError &e) {
        raiseBackend(e, RegistryError::StoreFailed);
    }
    if (found) {
        names = *found;
        count = int(names.size());
    }
    return true;
}

void clsReg::writeDefault(const QString &section, const QString &text)
{
    m_sectionKey = section;
    m_valueKey.clear();
    m_valueType = RegType::String;
    setValue(text);
}

void clsReg::CreateEXEAssociation(const QString &exePath, const QString &className, const QString &classDescription,
                                  const QString &extension, const QString &openMenuText, qint32 defaultIconIndex)
{
    QString quoted = exePath.trimmed();
    if (!quoted.startsWith(u'"'))
        quoted.prepend(u'"');
    if (!quoted.endsWith(u'"'))
        quoted.append(u'"');

    m_classKey = Hive::ClassesRoot;
    writeDefault(u'.' + extension, className);
    writeDefault(className, classDescription);
    writeDefault(className + QStringLiteral("\\shell\\open"),
                 openMenuText.isEmpty() ? QStringLiteral("&Open") : openMenuText);
    writeDefault(className + QStringLiteral("\\shell\\open\\command"), quoted + QStringLiteral(" \"%1\""));
    if (defaultIconIndex > -1)
        writeDefault(className + QStringLiteral("\\DefaultIcon"), quoted + u',' + QString::number(defaultIconIndex));
}

void clsReg::CreateAdditionalEXEAssociations(const QString &className, const QStringList &items)
{
    if (items.size() % 3 != 0)
        raise(RegistryError::InvalidParameterList,
              QStringLiteral(
                  "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command"));
    m_sectionKey = className;
    if (!KeyExists())
        raise(RegistryError::ClassNotDefined,
              QStringLiteral("Error - attempt to create additional associations before class defined."));
    for (qsizetype i = 0; i + 2 < items.size(); i += 3) {
        const QString verbKey = className + QStringLiteral("\\shell\\") + items.at(i);
        writeDefault(verbKey, items.at(i + 1));
        writeDefault(verbKey + QStringLiteral("\\command"), items.at(i + 2));
    }
}

} // namespace kova
