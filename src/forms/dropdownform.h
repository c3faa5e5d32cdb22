#pragma once

#include "fieldrules.h"
#include "partkey.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace kova {

// One item of a drop-down list: its text as the list shows it (NAME "..." VALUE ...) and the action
// list it owns.
struct DropdownItem
{
    QString text;
    QStringList actions;

    bool operator==(const DropdownItem &) const = default;
};

// The Dropdown page's fields.
struct DropdownForm : PartKey
{
    enum Field { Description = 1, Keyname, ValueName, ItemList };

    bool required = false;
    QList<DropdownItem> items;

    static DropdownForm load(const QStringList &editLines);
    std::optional<FieldError> validate(const QString &inheritedKey) const;
    // REQUIRED comes before KEYNAME; each item is written as its NAME line and its VALUE line.
    QString compose() const;
};

// The entry editor of the Dropdown page, editing an item or an action entry.
struct DropdownEntryForm
{
    enum Field { Name = 1, Value };
    enum class Target { Item, Action };
    enum class Option { None, Keyname, Valuename };

    Target target = Target::Item;
    Option option = Option::None; // an item has no option
    QString name;
    QString value;
    bool defaultName = false; // the entry editor's "(Default)": an action's unnamed value
    bool deleteValue = false;
    bool numericValue = false;
    bool defaultMark = false; // "Default": the item the list starts on

    static DropdownEntryForm fromItem(const QString &itemText);
    static DropdownEntryForm fromAction(const QString &entryText);

    // The boxes count only while they are enabled, as the enabling rules leave them.
    bool deleteActive() const;
    bool numericActive() const;
    bool defaultMarkActive() const { return target == Target::Item && !deleteValue; }
    bool defaultNameActive() const { return target == Target::Action && option == Option::Valuename; }

    // The entry's new text, or the message that refuses it.
    std::optional<FieldError> validate() const;
    QString compose() const;
};

} // namespace kova
