#include "dropdownpage.h"

#include "editorfield.h"
#include "pagewidgets.h"

#include "document/nodekeys.h"
#include "document/prompter.h"
#include "forms/actionlist.h"
#include "forms/editsession.h"
#include "forms/pickerglue.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kova {

namespace {

// The action list an item owns travels with the item in the list.
constexpr int kActionsRole = Qt::UserRole + 1;

} // namespace

class DropdownPage::ItemCommands : public ListCommands
{
public:
    explicit ItemCommands(DropdownPage &page) : m_page(page) {}
    void editEntry() override { m_page.editItem(); }
    void addEntry() override { m_page.addItem(); }
    void deleteEntry() override { m_page.deleteItem(); }
    void moveEntry(int direction) override { m_page.moveItem(direction); }
    void openMenu(const QPoint &globalPos) override { m_page.m_itemMenu->popup(globalPos); }

private:
    DropdownPage &m_page;
};

class DropdownPage::ActionCommands : public ListCommands
{
public:
    explicit ActionCommands(DropdownPage &page) : m_page(page) {}
    void editEntry() override { m_page.editAction(); }
    void addEntry() override { m_page.addAction(); }
    void deleteEntry() override { m_page.deleteAction(); }
    void moveEntry(int direction) override { m_page.moveAction(direction); }
    void openMenu(const QPoint &globalPos) override { m_page.m_actionMenu->popup(globalPos); }

private:
    DropdownPage &m_page;
};

DropdownPage::DropdownPage(EditorContext &context, QWidget *parent)
    : EditorPage(EditorKind::Dropdown, context, parent),
      m_description(addField(QStringLiteral("&Description"), QStringLiteral("Description"))),
      m_required(namedCheckBox(QStringLiteral("Required"), QStringLiteral("Required"))), m_frame(new QGroupBox),
      m_items(new QListWidget), m_actions(new QListWidget),
      m_itemUp(arrowButton(Qt::UpArrow, QStringLiteral("ItemUp"), QStringLiteral("Move the item up (Ctrl+Up)"),
                           QStringLiteral("Move item up"))),
      m_itemDown(arrowButton(Qt::DownArrow, QStringLiteral("ItemDown"),
                             QStringLiteral("Move the item down (Ctrl+Down)"), QStringLiteral("Move item down"))),
      m_actionUp(arrowButton(Qt::UpArrow, QStringLiteral("ActionUp"), QStringLiteral("Move the action up"),
                             QStringLiteral("Move action up"))),
      m_actionDown(arrowButton(Qt::DownArrow, QStringLiteral("ActionDown"), QStringLiteral("Move the action down"),
                               QStringLiteral("Move action down"))),
      m_optKey(new QRadioButton(QStringLiteral("Ke&yname"))), m_optValue(new QRadioButton(QStringLiteral("Valuename"))),
      m_select(new QPushButton(QStringLiteral("Select"))), m_name(makeField(QStringLiteral("EntryName"))),
      m_entryDefault(namedCheckBox(QStringLiteral("(Default)"), QStringLiteral("EntryDefault"))),
      m_value(makeField(QStringLiteral("EntryValue"))),
      m_delete(namedCheckBox(QStringLiteral("Delete value"), QStringLiteral("DeleteValue"))),
      m_numeric(namedCheckBox(QStringLiteral("Numeric value"), QStringLiteral("NumericValue"))),
      m_defaultMark(namedCheckBox(QStringLiteral("Default"), QStringLiteral("DefaultMark"))),
      m_update(new QPushButton(QStringLiteral("Update"))), m_noUpdate(new QPushButton(QStringLiteral("No Update"))),
      m_itemCommands(std::make_unique<ItemCommands>(*this)), m_actionCommands(std::make_unique<ActionCommands>(*this))
{
    const KeyFields &keys = addKeyFields(true);
    form()->addRow(QString(), m_required);
    body()->addWidget(makeItemFrame(), 1);
    QList<QWidget *> chain{m_description};
    chain << keys.widgets() << m_required << m_items << m_itemUp << m_itemDown << m_actions << m_actionUp
          << m_actionDown << m_optKey << m_optValue << m_select << m_name << m_entryDefault << m_value << m_delete
          << m_numeric << m_defaultMark << m_update << m_noUpdate;
    setTabChain(chain);
    connectReactions();
}

DropdownPage::~DropdownPage() = default;

QWidget *DropdownPage::makeItemFrame()
{
    m_frame->setObjectName(QStringLiteral("ItemFrame"));
    m_items->setObjectName(QStringLiteral("Items"));
    m_actions->setObjectName(QStringLiteral("Actions"));
    m_items->setToolTip(QStringLiteral(
        "Double-click an item to edit it; Insert adds one, Delete removes one; right-click for the menu"));
    m_actions->setToolTip(
        QStringLiteral("The selected item's actions: double-click one to edit it; right-click for the menu"));
    m_itemMenu = makeListMenu(*m_itemCommands, this);
    m_actionMenu = makeListMenu(*m_actionCommands, this);
    new ListKeys(m_items, *m_itemCommands, ListKeys::MenuOn::Release, ListKeys::Keys::All, m_frame);
    new ListKeys(m_actions, *m_actionCommands, ListKeys::MenuOn::Release, ListKeys::Keys::MenuOnly, m_frame);

    const auto column = [](const QString &caption, QListWidget *list, QToolButton *up, QToolButton *down) {
        auto *box = new QGridLayout;
        auto *label = new QLabel(caption);
        label->setBuddy(list);
        nameFor(list, QString(caption).remove(u'&'));
        box->addWidget(label, 0, 0);
        box->addWidget(list, 1, 0, 3, 1);
        box->addWidget(up, 1, 1);
        box->addWidget(down, 2, 1);
        box->setRowStretch(3, 1);
        return box;
    };
    auto *lists = new QHBoxLayout;
    lists->addLayout(column(QStringLiteral("Name"), m_items, m_itemUp, m_itemDown), 1);
    lists->addLayout(column(QStringLiteral("Action li&st"), m_actions, m_actionUp, m_actionDown), 1);
    auto *layout = new QVBoxLayout(m_frame);
    layout->addLayout(lists, 1);
    layout->addWidget(makeEntryEditor());
    m_frame->setMinimumHeight(260);
    return m_frame;
}

QWidget *DropdownPage::makeEntryEditor()
{
    auto *editor = new QWidget;
    editor->setObjectName(QStringLiteral("EntryEditor"));
    m_optKey->setObjectName(QStringLiteral("OptionKeyname"));
    m_optValue->setObjectName(QStringLiteral("OptionValuename"));
    m_select->setObjectName(QStringLiteral("EntrySelect"));
    nameFor(m_select, QStringLiteral("Select name for the entry"));
    nameFor(m_optKey, QStringLiteral("Entry is a key name"));
    nameFor(m_optValue, QStringLiteral("Entry is a value name"));
    nameFor(m_entryDefault, QStringLiteral("(Default) value name for the entry"));
    nameFor(m_name, QStringLiteral("Entry name"));
    nameFor(m_value, QStringLiteral("Entry value"));
    m_update->setObjectName(QStringLiteral("Update"));
    m_noUpdate->setObjectName(QStringLiteral("NoUpdate"));
    m_entryDefault->setToolTip(kDefaultValueNameTip);
    m_defaultMark->setToolTip(QStringLiteral("The item the list shows until the user chooses another"));
    auto *grid = new QGridLayout(editor);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *options = new QHBoxLayout;
    options->addWidget(m_optKey);
    options->addWidget(m_optValue);
    options->addWidget(m_select);
    options->addStretch(1);
    grid->addLayout(options, 0, 0, 1, 3);
    auto *nameLabel = new QLabel(QStringLiteral("Na&me"));
    nameLabel->setBuddy(m_name);
    auto *valueLabel = new QLabel(QStringLiteral("Valu&e"));
    valueLabel->setBuddy(m_value);
    grid->addWidget(nameLabel, 1, 0);
    grid->addWidget(m_name, 1, 1);
    grid->addWidget(m_entryDefault, 1, 2);
    grid->addWidget(valueLabel, 2, 0);
    grid->addWidget(m_value, 2, 1);
    auto *boxes = new QHBoxLayout;
    boxes->addWidget(m_delete);
    boxes->addWidget(m_numeric);
    boxes->addWidget(m_defaultMark);
    boxes->addStretch(1);
    grid->addLayout(boxes, 3, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_update);
    buttons->addWidget(m_noUpdate);
    grid->addLayout(buttons, 4, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    return editor;
}

// The enabling rules of the entry editor; they run on every change, whoever makes it.
void DropdownPage::connectReactions()
{
    connect(m_entryDefault, &QCheckBox::toggled, m_name, &QWidget::setDisabled);
    connect(m_delete, &QCheckBox::toggled, this, [this](bool on) {
        m_numeric->setEnabled(!on);
        m_defaultMark->setEnabled(!on);
        m_value->setEnabled(!on);
    });
    connect(m_numeric, &QCheckBox::toggled, this, [this](bool on) {
        m_delete->setEnabled(!on);
        m_value->setEnabled(true);
    });
    connect(m_optKey, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setOption(DropdownEntryForm::Option::Keyname);
    });
    connect(m_optValue, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setOption(DropdownEntryForm::Option::Valuename);
    });
    connect(m_items, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem *current) { showActions(current); });
    connect(m_itemUp, &QToolButton::clicked, this, [this] { moveItem(0); });
    connect(m_itemDown, &QToolButton::clicked, this, [this] { moveItem(1); });
    connect(m_actionUp, &QToolButton::clicked, this, [this] { moveAction(0); });
    connect(m_actionDown, &QToolButton::clicked, this, [this] { moveAction(1); });
    connect(m_update, &QPushButton::clicked, this, &DropdownPage::update);
    connect(m_noUpdate, &QPushButton::clicked, this, &DropdownPage::noUpdate);
    connect(m_select, &QPushButton::clicked, this, &DropdownPage::selectName);
}

void DropdownPage::setOption(DropdownEntryForm::Option option)
{
    const bool value = option == DropdownEntryForm::Option::Valuename;
    m_name->setEnabled(true);
    m_value->setEnabled(value);
    m_delete->setEnabled(value);
    m_numeric->setEnabled(value);
    m_entryDefault->setEnabled(value);
    m_defaultMark->setEnabled(value && m_target == DropdownEntryForm::Target::Item);
    m_select->setEnabled(context().keyPicker && context().valuePicker);
}

void DropdownPage::load(const QStringList &editLines)
{
    const DropdownForm form = DropdownForm::load(editLines);
    m_description->setText(form.description);
    showKeyFields(form.keyname, form.valueName, form.defaultName);
    m_required->setChecked(form.required);
    m_items->clear();
    m_actions->clear();
    for (const DropdownItem &item : form.items) {
        auto *entry = new QListWidgetItem(item.text, m_items);
        entry->setData(kActionsRole, item.actions);
    }
    m_frame->setEnabled(true);
    leaveEditing();
    setArrowsEnabled(true);
    if (m_items->count() > 0)
        m_items->setCurrentRow(0);
    else
        showActions(nullptr);
    m_description->setFocus(Qt::OtherFocusReason);
    m_description->selectAll();
}

EditorPage::Composition DropdownPage::compose() const
{
    DropdownForm form;
    form.description = m_description->text();
    form.keyname = keyFields().keyname->text();
    form.valueName = keyFields().valueName->text();
    form.defaultName = keyFields().defaultName->isChecked();
    form.required = m_required->isChecked();
    for (int i = 0; i < m_items->count(); ++i)
        form.items.append({m_items->item(i)->text(), m_items->item(i)->data(kActionsRole).toStringList()});
    if (auto error = form.validate(inheritedKey()))
        return {error, {}, {}};
    return {std::nullopt, form.compose(), form.caption()};
}

QWidget *DropdownPage::fieldWidget(int field) const
{
    switch (field) {
    case DropdownForm::Description: return m_description;
    case DropdownForm::Keyname: return keyFields().keyname;
    case DropdownForm::ValueName: return keyFields().valueName;
    case DropdownForm::ItemList: return m_items;
    default: return nullptr;
    }
}

void DropdownPage::pageClosed()
{
    m_frame->setEnabled(false);
}

bool DropdownPage::isEditingEntry() const
{
    return m_update->isEnabled();
}

void DropdownPage::showActions(const QListWidgetItem *item)
{
    m_actions->clear();
    if (item)
        m_actions->addItems(item->data(kActionsRole).toStringList());
}

// The action list on show is the selected item's own: every change goes back to the item.
void DropdownPage::storeActions()
{
    if (QListWidgetItem *item = m_items->currentItem())
        item->setData(kActionsRole, itemTexts(m_actions));
}

void DropdownPage::setArrowsEnabled(bool enabled)
{
    for (QToolButton *b : {m_itemUp, m_itemDown, m_actionUp, m_actionDown})
        b->setEnabled(enabled);
}

void DropdownPage::leaveEditing()
{
    m_items->setEnabled(true);
    m_actions->setEnabled(true);
    for (QWidget *w : std::initializer_list<QWidget *>{m_update, m_noUpdate, m_optKey, m_optValue, m_select})
        w->setEnabled(false);
    for (QCheckBox *box : {m_delete, m_numeric, m_defaultMark, m_entryDefault}) {
        box->setChecked(false);
        box->setEnabled(false);
    }
    for (EditorField *field : {m_name, m_value}) {
        field->clear();
        field->setEnabled(false);
    }
}

void DropdownPage::editItem()
{
    if (isEditingEntry() || !hasSelection(m_items))
        return;
    m_target = DropdownEntryForm::Target::Item;
    m_items->setEnabled(false);
    m_actions->setEnabled(false);
    setArrowsEnabled(false);
    m_select->setEnabled(false);
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_update, m_noUpdate, m_name, m_value, m_delete, m_numeric, m_defaultMark})
        w->setEnabled(true);
    m_entryDefault->setEnabled(false);
    m_optKey->setEnabled(false);
    m_optValue->setEnabled(false);

    const DropdownEntryForm f = DropdownEntryForm::fromItem(m_items->currentItem()->text());
    m_name->setText(f.name);
    m_numeric->setChecked(f.numericValue);
    m_defaultMark->setChecked(f.defaultMark);
    m_delete->setChecked(f.deleteValue);
    m_value->setText(f.value);
    SelectAllText(m_name);
    SelectAllText(m_value);
    m_name->setFocus(Qt::OtherFocusReason);
}

void DropdownPage::addItem()
{
    if (isEditingEntry())
        return;
    auto *item = new QListWidgetItem(kNewItem, m_items);
    item->setData(kActionsRole, QStringList());
    m_items->setCurrentItem(item);
    editItem();
}

void DropdownPage::deleteItem()
{
    if (isEditingEntry() || !hasSelection(m_items))
        return;
    delete m_items->takeItem(m_items->currentRow());
    if (m_items->count() > 0) {
        m_items->setCurrentRow(0);
        showActions(m_items->currentItem());
    } else {
        showActions(nullptr);
    }
}

void DropdownPage::moveItem(int direction)
{
    if (!isEditingEntry())
        MoveListItem(m_items, context().session.MoveInProgress, direction);
}

void DropdownPage::editAction()
{
    if (isEditingEntry() || !hasSelection(m_items) || !hasSelection(m_actions))
        return;
    m_target = DropdownEntryForm::Target::Action;
    m_actions->setEnabled(false);
    m_items->setEnabled(false);
    setArrowsEnabled(false);
    for (QWidget *w : std::initializer_list<QWidget *>{m_update, m_noUpdate, m_optKey, m_optValue})
        w->setEnabled(true);
    m_select->setEnabled(context().keyPicker && context().valuePicker);
    // Neither kind is chosen until the entry says which, or the user does.
    m_optKey->setAutoExclusive(false);
    m_optValue->setAutoExclusive(false);
    m_optKey->setChecked(false);
    m_optValue->setChecked(false);
    m_optKey->setAutoExclusive(true);
    m_optValue->setAutoExclusive(true);

    const DropdownEntryForm f = DropdownEntryForm::fromAction(m_actions->currentItem()->text());
    m_name->setText(f.name);
    if (f.option == DropdownEntryForm::Option::None) {
        m_optKey->setFocus(Qt::OtherFocusReason);
        return;
    }
    (f.option == DropdownEntryForm::Option::Keyname ? m_optKey : m_optValue)->setChecked(true);
    if (f.option == DropdownEntryForm::Option::Valuename) {
        m_entryDefault->setChecked(f.defaultName);
        m_delete->setChecked(f.deleteValue);
        m_numeric->setChecked(f.numericValue);
        m_value->setText(f.value);
    }
    SelectAllText(m_name);
    SelectAllText(m_value);
    (m_name->isEnabled() ? m_name : m_value)->setFocus(Qt::OtherFocusReason);
}

void DropdownPage::addAction()
{
    if (isEditingEntry() || !hasSelection(m_items))
        return;
    m_actions->addItem(kNewItem);
    m_actions->setCurrentRow(m_actions->count() - 1);
    storeActions();
    editAction();
}

void DropdownPage::deleteAction()
{
    if (isEditingEntry() || !hasSelection(m_items) || !hasSelection(m_actions))
        return;
    delete m_actions->takeItem(m_actions->currentRow());
    storeActions();
}

void DropdownPage::moveAction(int direction)
{
    if (isEditingEntry() || !hasSelection(m_items))
        return;
    if (MoveListItem(m_actions, context().session.MoveInProgress, direction) >= 0)
        storeActions();
}

DropdownEntryForm DropdownPage::entryForm() const
{
    DropdownEntryForm f;
    f.target = m_target;
    f.option = m_optKey->isChecked()     ? DropdownEntryForm::Option::Keyname
               : m_optValue->isChecked() ? DropdownEntryForm::Option::Valuename
                                         : DropdownEntryForm::Option::None;
    if (m_target == DropdownEntryForm::Target::Item)
        f.option = DropdownEntryForm::Option::None;
    f.name = m_name->text();
    f.value = m_value->text();
    f.defaultName = m_entryDefault->isChecked();
    f.deleteValue = m_delete->isChecked();
    f.numericValue = m_numeric->isChecked();
    f.defaultMark = m_defaultMark->isChecked();
    return f;
}

QWidget *DropdownPage::entryField(int field) const
{
    if (field == DropdownEntryForm::Value)
        return m_value;
    if (m_target == DropdownEntryForm::Target::Action && !m_optKey->isChecked() && !m_optValue->isChecked())
        return m_optKey;
    return m_name;
}

bool DropdownPage::update()
{
    if (!isEditingEntry())
        return false;
    const DropdownEntryForm f = entryForm();
    if (const std::optional<FieldError> error = f.validate()) {
        entryField(error->field)->setFocus(Qt::OtherFocusReason);
        context().prompter.ask(Message{error->message, error->icon, Message::Buttons::Ok});
        return false;
    }
    const int itemRow = m_items->currentRow();
    if (m_target == DropdownEntryForm::Target::Item) {
        m_items->currentItem()->setText(f.compose());
    } else {
        m_actions->currentItem()->setText(f.compose());
        storeActions();
    }
    leaveEditing();
    setArrowsEnabled(true);
    m_items->setCurrentRow(itemRow);
    showActions(m_items->currentItem());
    (m_target == DropdownEntryForm::Target::Item ? m_items : m_actions)->setFocus(Qt::OtherFocusReason);
    return true;
}

void DropdownPage::noUpdate()
{
    if (!isEditingEntry())
        return;
    if (m_target == DropdownEntryForm::Target::Item) {
        if (hasSelection(m_items) && m_items->currentItem()->text() == kNewItem) {
            delete m_items->takeItem(m_items->currentRow());
            if (m_items->count() > 0)
                m_items->setCurrentRow(m_items->count() - 1);
            showActions(m_items->currentItem());
        }
    } else if (hasSelection(m_actions) && m_actions->currentItem()->text() == kNewItem) {
        delete m_actions->takeItem(m_actions->currentRow());
        storeActions();
    }
    leaveEditing();
    setArrowsEnabled(true);
    (m_target == DropdownEntryForm::Target::Item ? m_items : m_actions)->setFocus(Qt::OtherFocusReason);
}

void DropdownPage::selectName()
{
    const QStringList actions = itemTexts(m_actions);
    const int selected = m_actions->currentRow();
    const QString root = NodeHiveName(context().session.node());
    const QString keyField = keyFields().keyname->text();
    if (m_optKey->isChecked()) {
        if (!context().keyPicker)
            return;
        m_name->setText(
            PickItemKeyName(*context().keyPicker, root, actions, selected, keyField, m_name->text(), inheritedKey()));
    } else {
        if (!context().valuePicker)
            return;
        const ValuePick pick = PickItemValueName(*context().valuePicker, root, actions, selected, keyField,
                                                 m_name->text(), inheritedKey());
        m_name->setText(pick.field);
        if (pick.answered) {
            m_entryDefault->setChecked(pick.defaultName);
            m_name->setEnabled(!pick.defaultName);
        }
    }
    SelectAllText(m_name);
}

bool DropdownPage::itemEditorAccept()
{
    if (!isEditingEntry())
        return false;
    update();
    return true;
}

bool DropdownPage::itemEditorEscape()
{
    if (!isEditingEntry())
        return false;
    noUpdate();
    return true;
}

} // namespace kova
