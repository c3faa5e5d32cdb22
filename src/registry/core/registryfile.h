#pragma once

#include "registrybackend.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kova {

// One key of a registry store file: its path as spelled, what followed the closing bracket (Wine's
// modification stamp), the lines that belong to the key but are not values (#time=, #class=, comments;
// kept verbatim for the next write) and its values in file order.
struct StoredKey
{
    struct Value
    {
        QString name; // empty: the default value ("@")
        RegistryValue value;
    };
    QString path;
    QString stamp;
    QStringList extraLines;
    QList<Value> values;

    int valueIndex(const QString &name) const;
};

// A whole store file in the Wine registry text format ("WINE REGISTRY Version 2"): the lines before the
// first key, then the keys in file order with a case-insensitive index by path.
class RegistryFileContents
{
public:
    static const QString Signature; // "WINE REGISTRY Version 2"

    QStringList headerLines;

    const QList<StoredKey> &keys() const { return m_keys; }
    // The key's index, or -1; the path compares without regard to case.
    int indexOf(const QString &path) const;
    StoredKey *find(const QString &path);
    const StoredKey *find(const QString &path) const;
    // The key, appended with the given stamp when missing (a key met twice is merged into the first).
    StoredKey &obtain(const QString &path, const QString &stamp = QString());
    bool isEmpty() const { return m_keys.isEmpty(); }
    void clear();

    // Whether the key itself or any key below it is held (a parent the file only implies); the empty
    // path, the file's root, always is.
    bool holdsKey(const QString &path) const;
    // The names of the direct subkeys of path, stored or implied, as first spelled, in file order;
    // nullopt when holdsKey is false.
    std::optional<QStringList> childNames(const QString &path) const;

private:
    void addToTree(const QString &path) const;
    void buildTree() const;

    QList<StoredKey> m_keys;
    QHash<QString, int> m_index; // case-folded path -> position in m_keys
    // Case-folded path of every stored or implied key -> its direct subkeys. Built on the first
    // question about the tree and kept up to date by obtain, so a browser expanding thousands of keys
    // does not scan the whole file per key.
    mutable QHash<QString, QStringList> m_tree;
    mutable bool m_treeBuilt = false;
};

struct RegistryParseError
{
    int line = 0;
    QString reason;
};

// Parses the bytes of a store file. An empty file is an empty store. On error, contents is unspecified.
std::optional<RegistryParseError> parseRegistryFile(const QByteArray &bytes, RegistryFileContents &contents);

// The file text for contents: header lines, then every key as "[path] stamp", its kept lines and values,
// each key after an empty line. Characters outside printable ASCII are written as escapes.
QByteArray renderRegistryFile(const RegistryFileContents &contents);

// The case-insensitive form of a key path or value name used for lookups.
QString registryNameKey(const QString &name);

} // namespace kova
