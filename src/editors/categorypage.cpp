#include "categorypage.h"

#include "editorfield.h"

#include "forms/categoryform.h"

namespace kova {

CategoryPage::CategoryPage(EditorContext &context, QWidget *parent)
    : EditorPage(EditorKind::Category, context, parent),
      m_description(addField(QStringLiteral("&Description"), QStringLiteral("Description")))
{
    setTabChain(QList<QWidget *>{m_description} + addKeyFields(false).widgets());
}

void CategoryPage::load(const QStringList &editLines)
{
    const CategoryForm form = CategoryForm::load(editLines);
    m_description->setText(form.description);
    showKeyFields(form.keyname, QString(), std::nullopt);
    m_description->setFocus(Qt::OtherFocusReason);
    m_description->selectAll();
}

EditorPage::Composition CategoryPage::compose() const
{
    const CategoryForm form{m_description->text(), keyFields().keyname->text()};
    if (auto error = form.validate())
        return {error, {}, {}};
    return {std::nullopt, form.compose(), form.caption()};
}

QWidget *CategoryPage::fieldWidget(int field) const
{
    return field == CategoryForm::Keyname ? static_cast<QWidget *>(keyFields().keyname) : m_description;
}

} // namespace kova
