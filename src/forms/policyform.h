#pragma once

#include "switchform.h"

namespace kova {

// The Policy page's fields: the policy's name and what it switches.
struct PolicyForm : SwitchForm
{
    QString description;

    static PolicyForm load(const QStringList &editLines);
    // The value name first, then the name, the numbers and the action lists.
    std::optional<FieldError> validate() const;
    QString compose() const;
    QString caption() const { return description.trimmed(); }
};

} // namespace kova
