#pragma once

#include "fieldrules.h"
#include "partkey.h"

#include <QStringList>

#include <optional>

namespace kova {

// The Combobox and Edittext pages' fields: a text a policy writes to one value, with its default,
// length and flags; the Combobox page adds its suggestions and "Don't sort suggestions".
struct TextPartForm : PartKey
{
    enum Field { Description = 1, Keyname, ValueName, DefaultText, MaxLength };
    enum class Kind { Combobox, Edittext };

    Kind kind = Kind::Edittext;
    QString defaultText;
    QString maxLength;
    bool required = false;
    bool expandable = false;
    bool oemConvert = false;
    QStringList suggestions;
    bool noSort = false;

    static TextPartForm load(Kind kind, const QStringList &editLines);
    // inheritedKey: the key the node inherits (the active key display), for a node without its own.
    std::optional<FieldError> validate(const QString &inheritedKey) const;
    QString compose() const;
};

} // namespace kova
