#pragma once

#include "fieldrules.h"

#include <QStringList>

#include <optional>

namespace kova {

// The Listbox page's fields: a list of values under a key, named with a prefix.
struct ListboxForm
{
    enum Field { Description = 1, Keyname, ValuePrefix };

    QString description;
    QString keyname;
    QString valuePrefix;
    bool explicitValue = false;
    bool additive = false;

    static ListboxForm load(const QStringList &editLines);
    std::optional<FieldError> validate(const QString &inheritedKey) const;
    // VALUEPREFIX is always written, EXPLICITVALUE before ADDITIVE.
    QString compose() const;
    QString caption() const { return description.trimmed(); }
};

} // namespace kova
