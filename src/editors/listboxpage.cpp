#include "listboxpage.h"

#include "editorfield.h"

#include "forms/listboxform.h"

#include <QCheckBox>
#include <QFormLayout>

namespace kova {

ListboxPage::ListboxPage(EditorContext &context, QWidget *parent)
    : EditorPage(EditorKind::Listbox, context, parent),
      m_description(addField(QStringLiteral("&Description"), QStringLiteral("Description"))),
      m_explicit(new QCheckBox(QStringLiteral("Explicit value"))), m_additive(new QCheckBox(QStringLiteral("Additive")))
{
    const KeyFields &keys = addKeyFields(false);
    m_prefix = addField(QStringLiteral("Value &prefix"), QStringLiteral("ValuePrefix"));
    m_explicit->setObjectName(QStringLiteral("ExplicitValue"));
    m_additive->setObjectName(QStringLiteral("Additive"));
    form()->addRow(QString(), m_explicit);
    form()->addRow(QString(), m_additive);
    setTabChain(QList<QWidget *>{m_description} + keys.widgets() + QList<QWidget *>{m_prefix, m_explicit, m_additive});
}

void ListboxPage::load(const QStringList &editLines)
{
    const ListboxForm form = ListboxForm::load(editLines);
    m_description->setText(form.description);
    showKeyFields(form.keyname, QString(), std::nullopt);
    m_prefix->setText(form.valuePrefix);
    m_explicit->setChecked(form.explicitValue);
    m_additive->setChecked(form.additive);
    m_description->setFocus(Qt::OtherFocusReason);
    m_description->selectAll();
}

EditorPage::Composition ListboxPage::compose() const
{
    const ListboxForm form{m_description->text(), keyFields().keyname->text(), m_prefix->text(),
                           m_explicit->isChecked(), m_additive->isChecked()};
    if (auto error = form.validate(inheritedKey()))
        return {error, {}, {}};
    return {std::nullopt, form.compose(), form.caption()};
}

QWidget *ListboxPage::fieldWidget(int field) const
{
    switch (field) {
    case ListboxForm::Keyname: return keyFields().keyname;
    case ListboxForm::ValuePrefix: return m_prefix;
    default: return m_description;
    }
}

} // namespace kova
