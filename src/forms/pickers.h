#pragma once

#include <QString>

namespace kova {

// The modal window that picks a registry key. root is "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER";
// startKey a path below it (without the root's name), or "" for none. Returns the chosen key path,
// or "" when the user chose nothing.
class KeyPicker
{
public:
    virtual ~KeyPicker() = default;
    virtual QString pickKey(const QString &root, const QString &startKey) = 0;
};

// The modal window that picks a value of key. Returns the chosen value name, "(Default)" for the
// key's default value, or "" when the user chose nothing.
class ValuePicker
{
public:
    virtual ~ValuePicker() = default;
    virtual QString pickValue(const QString &root, const QString &preselect, const QString &key) = 0;
};

} // namespace kova
