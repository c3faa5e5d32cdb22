#pragma once

#include "fieldrules.h"

#include <QStringList>

#include <optional>

namespace kova {

// One of a switch's two registry writes (VALUEON or VALUEOFF): whether it is written, its value, and
// whether the value is a number or the instruction to delete the value.
struct ValueSwitch
{
    bool set = false;
    QString value;
    bool numeric = false;
    bool deleteValue = false;

    bool operator==(const ValueSwitch &) const = default;
};

// What a policy and a check box part share: key, value name, the on and off values and the two
// action lists. Field numbers are shared by the Policy and CheckBox pages.
struct SwitchForm
{
    enum Field {
        Description = 1,
        Keyname,
        ValueName,
        OnValue,
        OffValue,
        ActionListOn,
        ActionListOff,
    };

    QString keyname;
    QString valueName;
    bool defaultName = false; // the "(Default)" box: the empty value name
    ValueSwitch on;
    ValueSwitch off;
    bool listOn = false;
    bool listOff = false;
    QStringList onItems;
    QStringList offItems;

    // Reads lines[i] when it is one of the shared statements (an action list block moves i to its
    // end line).
    void loadLine(const QStringList &lines, qsizetype &i);
    // The loaders end by trimming every text field, as the page does when it shows them.
    void trimFields();

    std::optional<FieldError> validateValueName() const;
    // The numeric values and the action lists, in that order.
    std::optional<FieldError> validateValues() const;
    // KEYNAME, VALUENAME, VALUEON, VALUEOFF and the action list blocks.
    QString composeBody() const;
};

} // namespace kova
