#pragma once

#include <QString>

#include <exception>

namespace kova {

// The error clsReg raises: a number, a source (the executable's name followed by ".cRegistry") and a
// description. Callers that must go on after a failed registry call catch it by value.
class RegistryError : public std::exception
{
public:
    // The numbers clsReg raises.
    static constexpr qint32 CreateFailed = 26001;
    static constexpr qint32 SetValueFailed = qint32(0x800469A9);
    static constexpr qint32 EnumerateFailed = qint32(0x800469AA);
    // Our own: the registry store file cannot be read, parsed or written (file store only).
    static constexpr qint32 StoreFailed = qint32(0x800469AB);
    static constexpr qint32 InvalidParameterList = qint32(0x800469AC);
    static constexpr qint32 ClassNotDefined = qint32(0x800469AD);

    RegistryError(qint32 number, QString source, QString description)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
          m_what(m_description.toLocal8Bit())
    {}

    qint32 number() const { return m_number; }
    QString source() const { return m_source; }
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    qint32 m_number;
    QString m_source;
    QString m_description;
    QByteArray m_what;
};

// What a registry backend throws when its own storage fails (a store file that cannot be parsed, a
// lock that cannot be taken); clsReg turns it into a RegistryError with its own source.
class RegistryBackendError : public std::exception
{
public:
    explicit RegistryBackendError(QString description)
        : m_description(std::move(description)), m_what(m_description.toLocal8Bit())
    {}
    QString description() const { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_description;
    QByteArray m_what;
};

// The error source of this program: the executable's name without its extension, then ".cRegistry".
QString registryErrorSource();

} // namespace kova
