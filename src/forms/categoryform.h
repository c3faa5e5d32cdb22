#pragma once

#include "fieldrules.h"

#include <QStringList>

#include <optional>

namespace kova {

// The Category page's fields: the category's name and its own key.
struct CategoryForm
{
    enum Field { Description = 1, Keyname };

    QString description;
    QString keyname;

    static CategoryForm load(const QStringList &editLines);
    std::optional<FieldError> validate() const;
    // CATEGORY, KEYNAME when a key is given, END CATEGORY.
    QString compose() const;
    QString caption() const { return description.trimmed(); }
};

} // namespace kova
