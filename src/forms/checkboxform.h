#pragma once

#include "switchform.h"

namespace kova {

// The CheckBox page's fields: a policy's switch with a part line and the "Default checked" box.
struct CheckBoxForm : SwitchForm
{
    QString description;
    bool defaultChecked = false;

    static CheckBoxForm load(const QStringList &editLines);
    // The name first, then the value name, the numbers and the action lists.
    std::optional<FieldError> validate() const;
    // DEFCHECKED goes right after the PART line.
    QString compose() const;
    QString caption() const { return description.trimmed(); }
};

} // namespace kova
