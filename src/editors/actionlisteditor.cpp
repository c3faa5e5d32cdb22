#include "actionlisteditor.h"

#include "editorcontext.h"
#include "editorfield.h"
#include "pagewidgets.h"

#include "document/nodekeys.h"
#include "document/prompter.h"
#include "forms/editsession.h"
#include "forms/pickerglue.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace kova {

namespace {

QPushButton *button(const QString &caption, const QString &name)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    return b;
}

} // namespace

ActionListEditor::ActionListEditor(EditorContext &context, NumericItemValue numericItems, MenuOn menuOn,
                                   QWidget *parent)
    : QWidget(parent), m_context(context),
      m_numericItems(numericItems), m_boxes{namedCheckBox(QStringLiteral("Action lis ON"),
                                                          QStringLiteral("ActionListOn")),
                                            namedCheckBox(QStringLiteral("Action lis OFF"),
                                                          QStringLiteral("ActionListOff"))},
      m_edit{button(QStringLiteral("Edit"), QStringLiteral("EditOn")),
             button(QStringLiteral("Edit"), QStringLiteral("EditOff"))},
      m_frame(new QGroupBox), m_stack(new QStackedLayout), m_lists{new QListWidget, new QListWidget},
      m_up(arrowButton(Qt::UpArrow, QStringLiteral("MoveUp"), QStringLiteral("Move the entry up (Ctrl+Up)"),
                       QStringLiteral("Move item up"))),
      m_down(arrowButton(Qt::DownArrow, QStringLiteral("MoveDown"), QStringLiteral("Move the entry down (Ctrl+Down)"),
                         QStringLiteral("Move item down"))),
      m_itemFrame(new QGroupBox), m_optKey(new QRadioButton(QStringLiteral("Ke&yname"))),
      m_optValue(new QRadioButton(QStringLiteral("Valuename"))), m_name(new EditorField(context.prompter)),
      m_value(new EditorField(context.prompter)),
      m_itemSelect(button(QStringLiteral("Select"), QStringLiteral("ItemSelect"))),
      m_delete(namedCheckBox(QStringLiteral("Delete value"), QStringLiteral("ItemDelete"))),
      m_numeric(namedCheckBox(QStringLiteral("Numeric value"), QStringLiteral("ItemNumeric"))),
      m_default(namedCheckBox(QStringLiteral("(Default)"), QStringLiteral("ItemDefault"))),
      m_update(button(QStringLiteral("Update"), QStringLiteral("Update"))),
      m_noUpdate(button(QStringLiteral("No Update"), QStringLiteral("NoUpdate"))), m_menu(makeListMenu(*this, this))
{
    nameWidgets();
    auto *lower = new QHBoxLayout;
    lower->addWidget(makeListFrame(menuOn), 1);
    lower->addWidget(makeItemEditor(), 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(makeBoxRow());
    layout->addLayout(lower, 1);
    connectReactions();
}

// Object names for tests and tools; accessible names where a caption is shared with another control
// of the page or there is none.
void ActionListEditor::nameWidgets()
{
    m_frame->setObjectName(QStringLiteral("ListFrame"));
    m_itemFrame->setObjectName(QStringLiteral("ItemEditor"));
    m_optKey->setObjectName(QStringLiteral("OptionKeyname"));
    m_optValue->setObjectName(QStringLiteral("OptionValuename"));
    m_name->setObjectName(QStringLiteral("ItemName"));
    m_value->setObjectName(QStringLiteral("ItemValue"));
    m_lists[0]->setObjectName(QStringLiteral("OnList"));
    m_lists[1]->setObjectName(QStringLiteral("OffList"));
    nameFor(m_lists[0], QStringLiteral("Action list on"));
    nameFor(m_lists[1], QStringLiteral("Action list off"));
    nameFor(m_optKey, QStringLiteral("Item is a key name"));
    nameFor(m_optValue, QStringLiteral("Item is a value name"));
    nameFor(m_name, QStringLiteral("Item name"));
    nameFor(m_value, QStringLiteral("Item value"));
    nameFor(m_itemSelect, QStringLiteral("Select name for the item"));
    nameFor(m_delete, QStringLiteral("Delete the item's value"));
    nameFor(m_numeric, QStringLiteral("Item value is numeric"));
    nameFor(m_default, QStringLiteral("(Default) value name for the item"));
    nameFor(m_edit[0], QStringLiteral("Edit action list on"));
    nameFor(m_edit[1], QStringLiteral("Edit action list off"));
    m_default->setToolTip(kDefaultValueNameTip);
    m_itemSelect->setEnabled(false);
}

// The boxes with their Edit buttons.
QLayout *ActionListEditor::makeBoxRow()
{
    auto *boxes = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        boxes->addWidget(m_boxes[i]);
        boxes->addWidget(m_edit[i]);
        boxes->addSpacing(16);
    }
    boxes->addStretch(1);
    return boxes;
}

// The list frame: one list on show, the arrows beside it.
QWidget *ActionListEditor::makeListFrame(MenuOn menuOn)
{
    for (QListWidget *list : m_lists) {
        list->setToolTip(QStringLiteral(
            "Double-click an entry to edit it; Insert adds one, Delete removes one; right-click for the menu"));
        new ListKeys(list, *this, menuOn, ListKeys::Keys::All, m_frame);
        m_stack->addWidget(list);
    }
    auto *arrows = new QVBoxLayout;
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    arrows->addStretch(1);
    auto *frameLayout = new QHBoxLayout(m_frame);
    frameLayout->addLayout(m_stack, 1);
    frameLayout->addLayout(arrows);
    m_frame->setMinimumHeight(160);
    return m_frame;
}

// The item editor: the option, name and value with their labels, the boxes, Update and No Update.
QWidget *ActionListEditor::makeItemEditor()
{
    auto *itemLayout = new QGridLayout(m_itemFrame);
    auto *options = new QHBoxLayout;
    options->addWidget(m_optKey);
    options->addWidget(m_optValue);
    options->addStretch(1);
    itemLayout->addLayout(options, 0, 0, 1, 3);
    auto *nameLabel = new QLabel(QStringLiteral("Na&me"));
    nameLabel->setBuddy(m_name);
    auto *valueLabel = new QLabel(QStringLiteral("Valu&e"));
    valueLabel->setBuddy(m_value);
    itemLayout->addWidget(nameLabel, 1, 0);
    itemLayout->addWidget(m_name, 1, 1);
    itemLayout->addWidget(m_itemSelect, 1, 2);
    itemLayout->addWidget(valueLabel, 2, 0);
    itemLayout->addWidget(m_value, 2, 1, 1, 2);
    auto *itemBoxes = new QHBoxLayout;
    itemBoxes->addWidget(m_delete);
    itemBoxes->addWidget(m_numeric);
    itemBoxes->addWidget(m_default);
    itemBoxes->addStretch(1);
    itemLayout->addLayout(itemBoxes, 3, 0, 1, 3);
    auto *itemButtons = new QHBoxLayout;
    itemButtons->addStretch(1);
    itemButtons->addWidget(m_update);
    itemButtons->addWidget(m_noUpdate);
    itemLayout->addLayout(itemButtons, 4, 0, 1, 3);
    itemLayout->setColumnStretch(1, 1);
    return m_itemFrame;
}

// Reactions: they run on every change of state, whoever makes it.
void ActionListEditor::connectReactions()
{
    for (int i = 0; i < 2; ++i) {
        connect(m_boxes[i], &QCheckBox::toggled, m_edit[i], &QWidget::setEnabled);
        connect(m_edit[i], &QPushButton::clicked, this, [this, i] { ShowActionList(i); });
    }
    connect(m_optKey, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            applyOption();
    });
    connect(m_optValue, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            applyOption();
    });
    connect(m_delete, &QCheckBox::toggled, this, [this](bool on) {
        m_numeric->setEnabled(!on);
        m_value->setEnabled(!on);
    });
    connect(m_numeric, &QCheckBox::toggled, this, [this](bool on) {
        m_delete->setEnabled(!on);
        m_value->setEnabled(true);
    });
    connect(m_default, &QCheckBox::toggled, m_name, &QWidget::setDisabled);
    connect(m_up, &QToolButton::clicked, this, [this] { moveEntry(0); });
    connect(m_down, &QToolButton::clicked, this, [this] { moveEntry(1); });
    connect(m_update, &QPushButton::clicked, this, &ActionListEditor::update);
    connect(m_noUpdate, &QPushButton::clicked, this, &ActionListEditor::noUpdate);
    connect(m_itemSelect, &QPushButton::clicked, this, &ActionListEditor::selectItemName);
}

QList<QWidget *> ActionListEditor::tabChain() const
{
    return {m_boxes[0], m_edit[0], m_boxes[1],   m_edit[1], m_lists[0], m_lists[1], m_up,      m_down,   m_optKey,
            m_optValue, m_name,    m_itemSelect, m_value,   m_delete,   m_numeric,  m_default, m_update, m_noUpdate};
}

// The option's reaction: a key has only a name; a value has a value and the three boxes.
void ActionListEditor::applyOption()
{
    const bool value = m_optValue->isChecked();
    m_value->setEnabled(value);
    m_delete->setEnabled(value);
    m_numeric->setEnabled(value);
    m_default->setEnabled(value);
}

void ActionListEditor::reset()
{
    for (QListWidget *list : m_lists)
        list->clear();
    m_name->clear();
    m_value->clear();
    for (QCheckBox *box : {m_boxes[0], m_boxes[1], m_delete, m_numeric}) {
        box->setChecked(false);
        box->setEnabled(true);
    }
    m_edit[0]->setEnabled(false);
    m_edit[1]->setEnabled(false);
    setItemEditorEnabled(false);
    deactivate();
    m_context.session.CurrentActionList = 0;
    m_stack->setCurrentIndex(0);
}

void ActionListEditor::load(bool onSet, bool offSet, const QStringList &onItems, const QStringList &offItems)
{
    m_lists[0]->addItems(onItems);
    m_lists[1]->addItems(offItems);
    m_boxes[0]->setChecked(onSet);
    m_boxes[1]->setChecked(offSet);
    if (onSet)
        ShowActionList(0);
    else if (offSet)
        ShowActionList(1);
    SelectAllText(m_name);
    SelectAllText(m_value);
}

void ActionListEditor::deactivate()
{
    m_frame->setEnabled(false);
    for (QWidget *w : {static_cast<QWidget *>(m_lists[0]), static_cast<QWidget *>(m_lists[1]),
                       static_cast<QWidget *>(m_up), static_cast<QWidget *>(m_down)})
        w->setEnabled(false);
}

bool ActionListEditor::listOn() const
{
    return m_boxes[0]->isChecked();
}

bool ActionListEditor::listOff() const
{
    return m_boxes[1]->isChecked();
}

QStringList ActionListEditor::items(int which) const
{
    return itemTexts(m_lists[which]);
}

bool ActionListEditor::itemEditorActive() const
{
    return m_itemFrame->isEnabled();
}

QListWidget *ActionListEditor::listOnShow() const
{
    return m_lists[m_context.session.CurrentActionList == 1 ? 1 : 0];
}

void ActionListEditor::ShowActionList(int which)
{
    m_frame->setEnabled(true);
    for (QWidget *w : {static_cast<QWidget *>(m_lists[0]), static_cast<QWidget *>(m_lists[1]),
                       static_cast<QWidget *>(m_up), static_cast<QWidget *>(m_down)})
        w->setEnabled(true);
    m_frame->setTitle(which == 0 ? QStringLiteral("Action list on") : QStringLiteral("Action list off"));
    m_stack->setCurrentIndex(which);
    m_context.session.CurrentActionList = which;
    const int other = 1 - which;
    if (m_boxes[which]->isChecked())
        m_edit[which]->setEnabled(false);
    if (m_boxes[other]->isChecked())
        m_edit[other]->setEnabled(true);
    QListWidget *list = m_lists[which];
    if (list->count() > 0)
        list->setCurrentRow(0);
}

void ActionListEditor::setItemEditorEnabled(bool enabled)
{
    m_itemFrame->setEnabled(enabled);
    for (QWidget *w : std::initializer_list<QWidget *>{m_optKey, m_optValue, m_name, m_value, m_delete, m_numeric,
                                                       m_default, m_update, m_noUpdate})
        w->setEnabled(enabled);
    m_itemSelect->setEnabled(enabled && m_context.keyPicker && m_context.valuePicker);
}

void ActionListEditor::OpenItemEditor()
{
    QListWidget *list = listOnShow();
    if (!hasSelection(list))
        return;
    list->setEnabled(false);
    m_up->setEnabled(false);
    m_down->setEnabled(false);
    setItemEditorEnabled(true);
    for (int i = 0; i < 2; ++i) {
        m_boxes[i]->setEnabled(false);
        m_edit[i]->setEnabled(false);
    }
    m_context.session.EditedItemIndex[size_t(m_context.session.CurrentActionList)] = list->currentRow();
    for (QCheckBox *box : {m_delete, m_numeric, m_default}) {
        box->setChecked(false);
        box->setEnabled(false);
    }
    m_value->clear();
    m_value->setEnabled(false);

    const ActionItemForm form = ActionItemForm::fromItem(list->currentItem()->text(), m_numericItems);
    (form.keyname ? m_optKey : m_optValue)->setChecked(true);
    applyOption(); // also when the option was already selected
    m_name->setText(form.name);
    if (!form.keyname) {
        m_default->setChecked(form.defaultName);
        m_name->setEnabled(!form.defaultName);
        m_delete->setChecked(form.deleteValue);
        m_numeric->setChecked(form.numericValue);
        m_value->setText(form.value);
    }
    SelectAllText(m_name);
    SelectAllText(m_value);
    (m_name->isEnabled() ? m_name : m_value)->setFocus(Qt::OtherFocusReason);
}

ActionItemForm ActionListEditor::itemForm() const
{
    ActionItemForm form;
    form.keyname = m_optKey->isChecked();
    form.name = m_name->text();
    form.value = m_value->text();
    form.deleteValue = m_delete->isChecked();
    form.numericValue = m_numeric->isChecked();
    form.defaultName = m_default->isChecked();
    return form;
}

bool ActionListEditor::update()
{
    if (!itemEditorActive())
        return false;
    const ActionItemForm form = itemForm();
    if (const std::optional<FieldError> error = form.validate()) {
        m_value->setFocus(Qt::OtherFocusReason);
        m_context.prompter.ask(Message{error->message, error->icon, Message::Buttons::Ok});
        return false;
    }
    QListWidget *list = listOnShow();
    const int p = m_context.session.EditedItemIndex[size_t(m_context.session.CurrentActionList)];
    delete list->takeItem(p);
    list->insertItem(p, form.compose());
    list->setCurrentItem(nullptr);
    list->clearSelection();
    leaveItemEditor();
    return true;
}

void ActionListEditor::noUpdate()
{
    if (!itemEditorActive())
        return;
    QListWidget *list = listOnShow();
    if (hasSelection(list) && list->currentItem()->text() == kNewItem)
        delete list->takeItem(list->currentRow());
    leaveItemEditor();
}

// Update's and No Update's way back to the lists.
void ActionListEditor::leaveItemEditor()
{
    setItemEditorEnabled(false);
    const int shown = m_context.session.CurrentActionList == 1 ? 1 : 0;
    for (int i = 0; i < 2; ++i) {
        m_boxes[i]->setEnabled(true);
        m_edit[i]->setEnabled(m_boxes[i]->isChecked());
    }
    m_edit[shown]->setEnabled(false);
    m_lists[shown]->setEnabled(true);
    m_up->setEnabled(true);
    m_down->setEnabled(true);
    m_lists[shown]->setFocus(Qt::OtherFocusReason);
}

void ActionListEditor::editEntry()
{
    if (hasSelection(listOnShow()))
        OpenItemEditor();
}

void ActionListEditor::addEntry()
{
    QListWidget *list = listOnShow();
    list->addItem(kNewItem);
    list->setCurrentRow(list->count() - 1);
    OpenItemEditor();
}

void ActionListEditor::deleteEntry()
{
    QListWidget *list = listOnShow();
    if (hasSelection(list))
        delete list->takeItem(list->currentRow());
}

void ActionListEditor::moveEntry(int direction)
{
    MoveListItem(listOnShow(), m_context.session.MoveInProgress, direction);
}

QString ActionListEditor::root() const
{
    return NodeHiveName(m_context.session.node());
}

void ActionListEditor::selectItemName()
{
    const QListWidget *list = listOnShow();
    const QStringList texts = items(m_context.session.CurrentActionList == 1 ? 1 : 0);
    const int selected = list->currentRow();
    const QString keyField = m_keyField ? m_keyField->text() : QString();
    const QString display = m_context.keyDisplay.activeKeyText();
    if (m_optKey->isChecked()) {
        if (!m_context.keyPicker)
            return;
        m_name->setText(
            PickItemKeyName(*m_context.keyPicker, root(), texts, selected, keyField, m_name->text(), display));
    } else {
        if (!m_context.valuePicker)
            return;
        const ValuePick pick =
            PickItemValueName(*m_context.valuePicker, root(), texts, selected, keyField, m_name->text(), display);
        m_name->setText(pick.field);
        if (pick.answered) {
            m_default->setChecked(pick.defaultName);
            m_name->setEnabled(!pick.defaultName);
        }
    }
    SelectAllText(m_name);
}

void ActionListEditor::openMenu(const QPoint &globalPos)
{
    m_menu->popup(globalPos);
}

} // namespace kova
