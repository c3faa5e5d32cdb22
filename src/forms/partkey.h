#pragma once

#include <QString>

#include <optional>

namespace kova {

// What the part pages with a value share: the part's name, its key and its value name, read from and
// written to the node's lines the same way on each of them.
struct PartKey
{
    QString description;
    QString keyname;
    QString valueName;
    // The "(Default)" box. Only a VALUENAME line sets or clears it: a page keeps the box as it was
    // when the node has none, so a loaded form may leave it unset.
    std::optional<bool> defaultName;

    // The PART, KEYNAME and VALUENAME lines; others are left alone.
    void readLine(const QString &line);
    void trimFields();
    // KEYNAME when a key is given, then VALUENAME: the empty name for "(Default)", else the name if any.
    QString keyLines() const;
    // No key here, and none inherited from a higher level.
    bool keyMissing(const QString &inheritedKey) const { return keyname.trimmed().isEmpty() && inheritedKey.isEmpty(); }
    bool valueNameMissing() const { return valueName.trimmed().isEmpty() && !defaultName.value_or(false); }
    QString caption() const { return description.trimmed(); }
};

} // namespace kova
