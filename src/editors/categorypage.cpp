#include "categorypage.h"

#include "editorfield.h"

#include "editors/core/categoryform.h"
#include "editors/core/editsession.h"
#include "editors/core/nodekeys.h"
#include "editors/core/pickerglue.h"

#include <QPushButton>

namespace kova {

CategoryPage::CategoryPage(EditorContext &context, QWidget *parent)
    : EditorPage(EditorKind::Category, context, parent),
      m_keySelect(makeSelectButton(QStringLiteral("KeySelect"), Picker::Key)),
      m_description(addField(QStringLiteral("&Description"), QStringLiteral("Description"))),
      m_keyname(addField(QStringLiteral("&Keyname"), QStringLiteral("Keyname"), m_keySelect))
{
    setTabChain({m_description, m_keyname, m_keySelect});
    connect(m_keySelect, &QPushButton::clicked, this, &CategoryPage::pickKey);
}

void CategoryPage::load(const QStringList &editLines)
{
    const CategoryForm form = CategoryForm::load(editLines);
    m_description->setText(form.description);
    m_keyname->setText(form.keyname);
    m_description->setFocus(Qt::OtherFocusReason);
    m_description->selectAll();
}

EditorPage::Composition CategoryPage::compose() const
{
    const CategoryForm form{m_description->text(), m_keyname->text()};
    if (auto error = form.validate())
        return {error, {}, {}};
    return {std::nullopt, form.compose(), form.caption()};
}

QWidget *CategoryPage::fieldWidget(int field) const
{
    return field == CategoryForm::Keyname ? m_keyname : m_description;
}

void CategoryPage::pickKey()
{
    if (!context().keyPicker)
        return;
    m_keyname->setText(PickKeyName(*context().keyPicker, NodeHiveName(context().session.node()), m_keyname->text(),
                                   context().keyDisplay.activeKeyText()));
    SelectAllText(m_keyname);
}

} // namespace kova
