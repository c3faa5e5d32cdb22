#include "policypage.h"

#include "forms/policyform.h"

namespace kova {

PolicyPage::PolicyPage(EditorContext &context, QWidget *parent)
    : SwitchPage(EditorKind::Policy, context, {false, NumericItemValue::AsStored, ActionListEditor::MenuOn::Release},
                 parent)
{}

void PolicyPage::load(const QStringList &editLines)
{
    const PolicyForm form = PolicyForm::load(editLines);
    showSwitch(form, form.description, false);
}

EditorPage::Composition PolicyPage::compose() const
{
    PolicyForm form;
    form.description = description();
    readSwitch(form);
    if (auto error = form.validate())
        return {error, {}, {}};
    return {std::nullopt, form.compose(), form.caption()};
}

} // namespace kova
