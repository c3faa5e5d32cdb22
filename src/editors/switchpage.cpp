#include "switchpage.h"

#include "editorfield.h"
#include "pagewidgets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kova {

SwitchPage::SwitchPage(EditorKind kind, EditorContext &context, const Options &options, QWidget *parent)
    : EditorPage(kind, context, parent), m_lists(new ActionListEditor(context, options.numericItems, options.menuOn))
{
    m_description = addField(QStringLiteral("&Description"), QStringLiteral("Description"));
    if (options.defaultChecked) {
        m_defaultChecked = new QCheckBox(QStringLiteral("Default checked"));
        m_defaultChecked->setObjectName(QStringLiteral("DefaultChecked"));
        form()->addRow(QString(), m_defaultChecked);
    }
    const KeyFields &keys = addKeyFields(true);

    auto *switches = new QHBoxLayout;
    switches->addWidget(
        makeSwitchGroup(m_on, QStringLiteral("Value ON"), QStringLiteral("&Value"), QStringLiteral("On")));
    switches->addWidget(
        makeSwitchGroup(m_off, QStringLiteral("Value OFF"), QStringLiteral("Va&lue"), QStringLiteral("Off")));
    body()->addLayout(switches);
    body()->addWidget(m_lists, 1);
    m_lists->setKeyField(keys.keyname);

    QList<QWidget *> chain{m_description};
    if (m_defaultChecked)
        chain << m_defaultChecked;
    chain << keys.widgets();
    for (const SwitchBoxes *s : {&m_on, &m_off})
        chain << s->box << s->value << s->numeric << s->deleteValue;
    setTabChain(chain + m_lists->tabChain());

    connectReactions(m_on);
    connectReactions(m_off);
}

QWidget *SwitchPage::makeSwitchGroup(SwitchBoxes &s, const QString &caption, const QString &valueCaption,
                                     const QString &prefix)
{
    auto *group = new QWidget;
    s.box = new QCheckBox(caption);
    s.box->setObjectName(QStringLiteral("Value") + prefix);
    s.value = makeField(prefix + QStringLiteral("Value"));
    s.numeric = new QCheckBox(QStringLiteral("Numeric value"));
    s.numeric->setObjectName(prefix + QStringLiteral("Numeric"));
    s.deleteValue = new QCheckBox(QStringLiteral("Delete value"));
    s.deleteValue->setObjectName(prefix + QStringLiteral("Delete"));
    auto *label = new QLabel(valueCaption);
    label->setBuddy(s.value);
    const QString which = prefix.toUpper(); // ON or OFF
    nameFor(s.value, QStringLiteral("Value ") + which + QStringLiteral(": value"));
    nameFor(s.numeric, QStringLiteral("Value ") + which + QStringLiteral(": numeric value"));
    nameFor(s.deleteValue, QStringLiteral("Value ") + which + QStringLiteral(": delete value"));
    auto *layout = new QGridLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(s.box, 0, 0, 1, 3);
    layout->addWidget(label, 1, 0);
    layout->addWidget(s.value, 1, 1, 1, 2);
    layout->addWidget(s.numeric, 2, 1);
    layout->addWidget(s.deleteValue, 2, 2);
    layout->setColumnStretch(2, 1);
    layout->setColumnMinimumWidth(0, 24);
    return group;
}

// The boxes' reactions run on every change of state, whether the user or the loader makes it.
void SwitchPage::connectReactions(SwitchBoxes &s)
{
    connect(s.box, &QCheckBox::toggled, this, [s](bool on) {
        s.value->setEnabled(on);
        s.numeric->setEnabled(on);
        s.deleteValue->setEnabled(on);
        if (on && s.deleteValue->isChecked())
            s.numeric->setEnabled(false);
        if (on && s.numeric->isChecked())
            s.deleteValue->setEnabled(false);
    });
    connect(s.numeric, &QCheckBox::toggled, this, [s](bool on) {
        if (on)
            s.box->setChecked(true);
        s.deleteValue->setEnabled(!on);
    });
    connect(s.deleteValue, &QCheckBox::toggled, this, [s](bool on) {
        s.value->setEnabled(!on);
        s.numeric->setEnabled(!on);
        if (on)
            s.box->setChecked(true);
    });
}

void SwitchPage::resetSwitch(SwitchBoxes &s)
{
    s.value->clear();
    s.value->setEnabled(true);
    for (QCheckBox *box : {s.box, s.numeric, s.deleteValue}) {
        box->setChecked(false);
        box->setEnabled(true);
    }
    s.value->setEnabled(false);
    s.numeric->setEnabled(false);
    s.deleteValue->setEnabled(false);
}

void SwitchPage::showSwitch(const SwitchForm &form, const QString &description, bool defaultChecked)
{
    m_description->clear();
    m_description->setEnabled(true);
    if (m_defaultChecked)
        m_defaultChecked->setChecked(false);
    resetSwitch(m_on);
    resetSwitch(m_off);
    m_lists->reset();

    m_description->setText(description);
    if (m_defaultChecked)
        m_defaultChecked->setChecked(defaultChecked);
    showKeyFields(form.keyname, form.valueName, form.defaultName);
    const auto show = [](SwitchBoxes &s, const ValueSwitch &v) {
        s.box->setChecked(v.set);
        s.numeric->setChecked(v.numeric);
        s.deleteValue->setChecked(v.deleteValue);
        s.value->setText(v.value);
    };
    show(m_on, form.on);
    show(m_off, form.off);
    m_lists->load(form.listOn, form.listOff, form.onItems, form.offItems);
    m_description->setFocus(Qt::OtherFocusReason);
    m_description->selectAll();
}

void SwitchPage::readSwitch(SwitchForm &form) const
{
    form.keyname = keyFields().keyname->text();
    form.valueName = keyFields().valueName->text();
    form.defaultName = keyFields().defaultName->isChecked();
    const auto read = [](const SwitchBoxes &s, ValueSwitch &v) {
        v.set = s.box->isChecked();
        v.value = s.value->text();
        v.numeric = s.numeric->isChecked();
        v.deleteValue = s.deleteValue->isChecked();
    };
    read(m_on, form.on);
    read(m_off, form.off);
    form.listOn = m_lists->listOn();
    form.listOff = m_lists->listOff();
    form.onItems = m_lists->items(0);
    form.offItems = m_lists->items(1);
}

QString SwitchPage::description() const
{
    return m_description->text();
}

bool SwitchPage::defaultChecked() const
{
    return m_defaultChecked && m_defaultChecked->isChecked();
}

QWidget *SwitchPage::fieldWidget(int field) const
{
    switch (field) {
    case SwitchForm::Description: return m_description;
    case SwitchForm::Keyname: return keyFields().keyname;
    case SwitchForm::ValueName: return keyFields().valueName;
    case SwitchForm::OnValue: return m_on.value;
    case SwitchForm::OffValue: return m_off.value;
    case SwitchForm::ActionListOn: return m_lists->onBox();
    case SwitchForm::ActionListOff: return m_lists->offBox();
    default: return nullptr;
    }
}

bool SwitchPage::itemEditorActive() const
{
    return m_lists->itemEditorActive();
}

bool SwitchPage::itemEditorAccept()
{
    if (!itemEditorActive())
        return false;
    m_lists->update();
    return true;
}

bool SwitchPage::itemEditorEscape()
{
    if (!itemEditorActive())
        return false;
    m_lists->noUpdate();
    return true;
}

void SwitchPage::pageClosed()
{
    m_lists->deactivate();
}

} // namespace kova
