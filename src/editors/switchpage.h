#pragma once

#include "actionlisteditor.h"
#include "editorpage.h"

#include "forms/switchform.h"

class QCheckBox;

namespace kova {

// What the Policy and CheckBox pages share: Description, Keyname and Value name with their "Select"
// buttons, the (Default) box, the Value ON and Value OFF groups and the two action lists, with the
// reactions of their boxes. The CheckBox page adds "Default checked"; each page has its own order of
// checks and its own first and last lines.
class SwitchPage : public EditorPage
{
    Q_OBJECT

public:
    struct Options
    {
        bool defaultChecked = false; // the CheckBox page's "Default checked" box
        NumericItemValue numericItems = NumericItemValue::AsStored;
        ActionListEditor::MenuOn menuOn = ActionListEditor::MenuOn::Release;
    };

    SwitchPage(EditorKind kind, EditorContext &context, const Options &options, QWidget *parent = nullptr);

    ActionListEditor *actionLists() const { return m_lists; }
    void pageClosed() override;

protected:
    // The loader's common part: everything reset, then the form shown with the boxes' reactions.
    void showSwitch(const SwitchForm &form, const QString &description, bool defaultChecked);
    void readSwitch(SwitchForm &form) const;
    QString description() const;
    bool defaultChecked() const;

    QWidget *fieldWidget(int field) const override;
    bool itemEditorActive() const override;
    bool itemEditorAccept() override;
    bool itemEditorEscape() override;

private:
    // One of the Value ON / Value OFF groups.
    struct SwitchBoxes
    {
        QCheckBox *box = nullptr;
        EditorField *value = nullptr;
        QCheckBox *numeric = nullptr;
        QCheckBox *deleteValue = nullptr;
    };

    QWidget *makeSwitchGroup(SwitchBoxes &s, const QString &caption, const QString &valueCaption,
                             const QString &prefix);
    void connectReactions(SwitchBoxes &s);
    void resetSwitch(SwitchBoxes &s);

    EditorField *m_description;
    QCheckBox *m_defaultChecked = nullptr;
    SwitchBoxes m_on;
    SwitchBoxes m_off;
    ActionListEditor *m_lists;
};

} // namespace kova
