#include "checkboxpage.h"

#include "forms/checkboxform.h"

namespace kova {

CheckBoxPage::CheckBoxPage(EditorContext &context, QWidget *parent)
    : SwitchPage(EditorKind::CheckBox, context, {true, NumericItemValue::Unquoted, ActionListEditor::MenuOn::Press},
                 parent)
{}

void CheckBoxPage::load(const QStringList &editLines)
{
    const CheckBoxForm form = CheckBoxForm::load(editLines);
    showSwitch(form, form.description, form.defaultChecked);
}

EditorPage::Composition CheckBoxPage::compose() const
{
    CheckBoxForm form;
    form.description = description();
    form.defaultChecked = defaultChecked();
    readSwitch(form);
    if (auto error = form.validate())
        return {error, {}, {}};
    return {std::nullopt, form.compose(), form.caption()};
}

} // namespace kova
