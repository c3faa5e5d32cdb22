#include "numericpage.h"

#include "editorfield.h"

#include "forms/numericform.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

namespace kova {

namespace {

// Templates are read on machines of every locale: a number typed with this locale's decimal separator
// (the only locale mark the number check lets through) is written with a point.
QString templateNumber(const QString &text)
{
    const QString decimal = QLocale().decimalPoint();
    return decimal == u"." ? text : QString(text).replace(decimal, QStringLiteral("."));
}

} // namespace

NumericPage::NumericPage(EditorContext &context, QWidget *parent)
    : EditorPage(EditorKind::Numeric, context, parent),
      m_description(addField(QStringLiteral("&Description"), QStringLiteral("Description"))),
      m_min(makeField(QStringLiteral("Min"))), m_max(makeField(QStringLiteral("Max"))),
      m_spin(makeField(QStringLiteral("Spin"))), m_default(makeField(QStringLiteral("Default"))),
      m_required(new QCheckBox(QStringLiteral("Required"))),
      m_textConvert(new QCheckBox(QStringLiteral("Write values as strings rather than binary values")))
{
    const KeyFields &keys = addKeyFields(true);
    // The four numbers side by side, each with its caption.
    auto *numbers = new QHBoxLayout;
    const std::pair<const char *, EditorField *> fields[] = {
        {"M&in", m_min}, {"M&ax", m_max}, {"S&pin", m_spin}, {"Defa&ult", m_default}};
    for (const auto &[caption, field] : fields) {
        auto *label = new QLabel(QString::fromLatin1(caption));
        label->setBuddy(field);
        field->setMaximumWidth(100);
        numbers->addWidget(label);
        numbers->addWidget(field);
        numbers->addSpacing(12);
    }
    numbers->addStretch(1);
    form()->addRow(numbers);
    m_required->setObjectName(QStringLiteral("Required"));
    m_textConvert->setObjectName(QStringLiteral("TextConvert"));
    form()->addRow(QString(), m_required);
    form()->addRow(QString(), m_textConvert);
    setTabChain(QList<QWidget *>{m_description} + keys.widgets() +
                QList<QWidget *>{m_min, m_max, m_spin, m_default, m_required, m_textConvert});
}

void NumericPage::load(const QStringList &editLines)
{
    const NumericForm form = NumericForm::load(editLines);
    m_description->setText(form.description);
    showKeyFields(form.keyname, form.valueName, form.defaultName);
    m_min->setText(form.min);
    m_max->setText(form.max);
    m_spin->setText(form.spin);
    m_default->setText(form.defaultValue);
    m_required->setChecked(form.required);
    m_textConvert->setChecked(form.textConvert);
    m_description->setFocus(Qt::OtherFocusReason);
    m_description->selectAll();
}

EditorPage::Composition NumericPage::compose() const
{
    NumericForm form;
    form.description = m_description->text();
    form.keyname = keyFields().keyname->text();
    form.valueName = keyFields().valueName->text();
    form.defaultName = keyFields().defaultName->isChecked();
    form.min = m_min->text();
    form.max = m_max->text();
    form.spin = m_spin->text();
    form.defaultValue = m_default->text();
    form.required = m_required->isChecked();
    form.textConvert = m_textConvert->isChecked();
    if (auto error = form.validate(inheritedKey()))
        return {error, {}, {}};
    for (QString *number : {&form.min, &form.max, &form.spin, &form.defaultValue})
        *number = templateNumber(*number);
    return {std::nullopt, form.compose(), form.caption()};
}

QWidget *NumericPage::fieldWidget(int field) const
{
    switch (field) {
    case NumericForm::Keyname: return keyFields().keyname;
    case NumericForm::ValueName: return keyFields().valueName;
    case NumericForm::Min: return m_min;
    case NumericForm::Max: return m_max;
    case NumericForm::Spin: return m_spin;
    case NumericForm::Default: return m_default;
    default: return m_description;
    }
}

} // namespace kova
