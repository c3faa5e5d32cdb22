#pragma once

#include "editorpage.h"
#include "listcommands.h"

#include "forms/dropdownform.h"

#include <memory>

class QCheckBox;
class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QRadioButton;
class QToolButton;

namespace kova {

// The "&Dropdown" page: a DROPDOWNLIST part's name, key, value name and "Required", and its items,
// each with the action list it owns. One entry editor serves an item or an action entry at a time;
// while it is in use neither list can be changed otherwise and the page cannot close.
class DropdownPage : public EditorPage
{
    Q_OBJECT

public:
    explicit DropdownPage(EditorContext &context, QWidget *parent = nullptr);
    ~DropdownPage() override;

    QListWidget *itemList() const { return m_items; }
    QListWidget *actionList() const { return m_actions; }
    QMenu *itemMenu() const { return m_itemMenu; }
    QMenu *actionMenu() const { return m_actionMenu; }
    bool isEditingEntry() const;
    void pageClosed() override;

    // Item list commands.
    void editItem();
    void addItem();
    void deleteItem();
    void moveItem(int direction);
    // Action list commands; they need a selected item.
    void editAction();
    void addAction();
    void deleteAction();
    void moveAction(int direction);
    // The entry editor's buttons.
    bool update();
    void noUpdate();
    void selectName();

protected:
    void load(const QStringList &editLines) override;
    Composition compose() const override;
    QWidget *fieldWidget(int field) const override;
    bool itemEditorActive() const override { return isEditingEntry(); }
    bool itemEditorAccept() override;
    bool itemEditorEscape() override;

private:
    // The two lists' keys and menus call the page through these.
    class ItemCommands;
    class ActionCommands;

    QWidget *makeItemFrame();
    QWidget *makeEntryEditor();
    void connectReactions();
    void showActions(const QListWidgetItem *item);
    void storeActions();
    void setArrowsEnabled(bool enabled);
    void setOption(DropdownEntryForm::Option option);
    void leaveEditing();
    DropdownEntryForm entryForm() const;
    QWidget *entryField(int field) const;

    EditorField *m_description;
    QCheckBox *m_required;
    QGroupBox *m_frame;
    QListWidget *m_items;
    QListWidget *m_actions;
    QToolButton *m_itemUp;
    QToolButton *m_itemDown;
    QToolButton *m_actionUp;
    QToolButton *m_actionDown;
    QRadioButton *m_optKey;
    QRadioButton *m_optValue;
    QPushButton *m_select;
    EditorField *m_name;
    QCheckBox *m_entryDefault;
    EditorField *m_value;
    QCheckBox *m_delete;
    QCheckBox *m_numeric;
    QCheckBox *m_defaultMark;
    QPushButton *m_update;
    QPushButton *m_noUpdate;
    QMenu *m_itemMenu = nullptr;
    QMenu *m_actionMenu = nullptr;
    std::unique_ptr<ItemCommands> m_itemCommands;
    std::unique_ptr<ActionCommands> m_actionCommands;
    DropdownEntryForm::Target m_target = DropdownEntryForm::Target::Item;
};

} // namespace kova
