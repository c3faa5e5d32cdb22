#pragma once

#include "fieldrules.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kova {

// An action list on a page is a list of item texts, one action each:
//   KEYNAME "key"
//   VALUENAME "name" VALUE "text"      VALUENAME "name" VALUE NUMERIC 5      VALUENAME "name" VALUE DELETE
// and "<new>" while a newly added item waits in the item editor.
inline const QString kNewItem = QStringLiteral("<new>");

// Reads the block that starts at lines[i] (an ACTIONLISTON or ACTIONLISTOFF line) into list: a KEYNAME
// line is an item by itself, a VALUENAME line is joined with its VALUE line. On return i is the end
// line's position (or the node's last line when the block has no end line). lines is 1-based.
void ReadActionListBlock(const QStringList &lines, qsizetype &i, QStringList &list, QStringView endLine);

// The ACTIONLISTON block when onBox is set, then the ACTIONLISTOFF block when offBox is set; every
// line ends in CR LF.
QString ComposeActionLists(bool onBox, bool offBox, const QStringList &onList, const QStringList &offList);

// How a numeric item's value comes into the item editor: the Policy page keeps what follows
// NUMERIC as it stands (quotes included), the CheckBox page unquotes it.
enum class NumericItemValue { AsStored, Unquoted };

// The item editor's fields. The enabling of the boxes follows from the form: Delete value and
// Numeric value count only for a value name, and only one of them at a time.
struct ActionItemForm
{
    enum Field { Name = 1, Value };

    bool keyname = true; // the "Keyname" option; false: "Valuename"
    QString name;
    QString value;
    bool deleteValue = false;
    bool numericValue = false;
    bool defaultName = false; // the item "(Default)" box

    // OpenItemEditor's reading of an item text ("<new>" opens as an empty key).
    static ActionItemForm fromItem(const QString &itemText, NumericItemValue numeric);

    bool numericActive() const { return !keyname && numericValue && !deleteValue; }
    bool deleteActive() const { return !keyname && deleteValue && !numericValue; }

    // "Value is not numeric" (a plain box) when the numeric form holds no number.
    std::optional<FieldError> validate() const;
    // ComposeActionItem's text; call validate() first.
    QString compose() const;
};

} // namespace kova
