#pragma once

#include "forms/categoryform.h"
#include "forms/checkboxform.h"
#include "forms/dropdownform.h"
#include "forms/editorkind.h"
#include "forms/listboxform.h"
#include "forms/numericform.h"
#include "forms/policyform.h"
#include "forms/textform.h"
#include "forms/textpartform.h"

namespace kova::test {

struct Composed
{
    bool valid = false; // the page's checks let "Ok" through
    QString text;
    QString caption;
};

// What "Ok" without edits stores for a node's lines on the page of kind, by the forms alone;
// inherited is the key the node inherits.
inline Composed okUnchanged(EditorKind kind, const QStringList &lines, const QString &inherited)
{
    const auto take = [](const auto &form) { return Composed{!form.validate(), form.compose(), form.caption()}; };
    const auto takeWithKey = [&inherited](const auto &form) {
        return Composed{!form.validate(inherited), form.compose(), form.caption()};
    };
    switch (kind) {
    case EditorKind::Category: return take(CategoryForm::load(lines));
    case EditorKind::Policy: return take(PolicyForm::load(lines));
    case EditorKind::CheckBox: return take(CheckBoxForm::load(lines));
    case EditorKind::Combobox: return takeWithKey(TextPartForm::load(TextPartForm::Kind::Combobox, lines));
    case EditorKind::Edittext: return takeWithKey(TextPartForm::load(TextPartForm::Kind::Edittext, lines));
    case EditorKind::Dropdown: return takeWithKey(DropdownForm::load(lines));
    case EditorKind::Listbox: return takeWithKey(ListboxForm::load(lines));
    case EditorKind::Numeric: return takeWithKey(NumericForm::load(lines));
    case EditorKind::Text: {
        const TextForm f = TextForm::load(lines);
        return {true, f.compose(), f.caption()};
    }
    }
    return {};
}

} // namespace kova::test
