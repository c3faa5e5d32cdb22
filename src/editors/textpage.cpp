#include "textpage.h"

#include "editorfield.h"

#include "forms/textform.h"

namespace kova {

TextPage::TextPage(EditorContext &context, QWidget *parent)
    : EditorPage(EditorKind::Text, context, parent),
      m_description(addField(QStringLiteral("&Description"), QStringLiteral("Description")))
{
    setTabChain({m_description});
}

void TextPage::load(const QStringList &editLines)
{
    m_description->setText(TextForm::load(editLines).description);
    m_description->setFocus(Qt::OtherFocusReason);
    m_description->selectAll();
}

EditorPage::Composition TextPage::compose() const
{
    const TextForm form{m_description->text()};
    return {std::nullopt, form.compose(), form.caption()};
}

QWidget *TextPage::fieldWidget(int) const
{
    return m_description;
}

} // namespace kova
