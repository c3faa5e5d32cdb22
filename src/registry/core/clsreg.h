#pragma once

#include "registrybackend.h"
#include "registryerror.h"

#include <QStringList>
#include <QVariant>

namespace kova {

// All registry work of the program. An object addresses one location through ClassKey (the hive),
// SectionKey (the key path below it) and ValueKey (the value name), and reads, writes and enumerates
// there; two further operations register file types with the shell. Every caller sets the properties
// it needs before each use, because the program shares one instance.
//
// Failures to create a key or store a value throw RegistryError (number, source, description); reading
// something that does not exist is not an error. Names of the operations follow the registry class the
// rest of the program talks to, so they keep their capitals.
class clsReg
{
public:
    // errorSource: the source every raised error carries (default: registryErrorSource()).
    explicit clsReg(RegistryBackend &backend, QString errorSource = QString());
    RegistryBackend &backend() const { return m_backend; }

    qint32 ClassKey() const { return m_classKey; }
    void setClassKey(qint32 hive) { m_classKey = hive; }
    QString SectionKey() const { return m_sectionKey; }
    void setSectionKey(const QString &path) { m_sectionKey = path; }
    QString ValueKey() const { return m_valueKey; }
    void setValueKey(const QString &name) { m_valueKey = name; }
    // The type of the value last read, or the kind of value to write next.
    qint32 ValueType() const { return m_valueType; }
    void setValueType(qint32 type) { m_valueType = type; }
    // What Value returns for a value that does not exist; empty unless set.
    QVariant DEFAULT() const { return m_default; }
    void setDEFAULT(const QVariant &value) { m_default = value; }

    // Reads the addressed value and sets ValueType: text for types 1, 2 (environment references
    // expanded) and 7, a 32-bit signed number for 4 and 5 (5 byte-reversed), bytes for any other type.
    // A missing value or key gives DEFAULT and leaves ValueType as it was.
    QVariant Value();
    // Writes the value as text: an expandable string when it holds "%", at least one character and a
    // further "%", else a plain string. Throws 26001 when the key cannot be opened or created and
    // 0x800469A9 when the value cannot be stored.
    void setValue(const QVariant &value);

    bool KeyExists();
    // Opens or creates the key with every missing parent; throws 26001 when that fails.
    bool CreateKey();
    // The direct subkeys / value names (the default value as an empty name) in the registry's order;
    // count is names.size(). A key that cannot be opened gives none. Always true.
    bool EnumerateSections(QStringList &names, int &count);
    bool EnumerateValues(QStringList &names, int &count);

    // Registers a file type under HKEY_CLASSES_ROOT: ".ext" -> className -> description, the open verb
    // and its command (the quoted program, a space, "%1" in quotes), and DefaultIcon when
    // defaultIconIndex > -1. Leaves ClassKey at HKEY_CLASSES_ROOT.
    void CreateEXEAssociation(const QString &exePath, const QString &className, const QString &classDescription,
                              const QString &extension, const QString &openMenuText, qint32 defaultIconIndex);
    // Adds shell verbs to an existing file type under the current ClassKey; items is a flat list of
    // (verb key name, caption, command line) triples. Throws 0x800469AC for a list that is not made of
    // triples and 0x800469AD when the class key does not exist.
    void CreateAdditionalEXEAssociations(const QString &className, const QStringList &items);

    // The stored type for a text: 2 when a "%" is followed, at least two characters further on, by another.
    static qint32 storedTypeFor(const QString &text);

private:
    [[noreturn]] void raise(qint32 number, const QString &description) const;
    [[noreturn]] void raiseBackend(const RegistryBackendError &error, qint32 number) const;
    QString setValueDescription(const QString &text) const;
    void writeDefault(const QString &section, const QString &text);

    RegistryBackend &m_backend;
    QString m_source;
    qint32 m_classKey = Hive::ClassesRoot;
    QString m_sectionKey;
    QString m_valueKey;
    qint32 m_valueType = 0;
    QVariant m_default;
};

} // namespace kova
