#include "editorpages.h"

#include "categorypage.h"
#include "checkboxpage.h"
#include "dropdownpage.h"
#include "editorpage.h"
#include "listboxpage.h"
#include "numericpage.h"
#include "policypage.h"
#include "textpage.h"
#include "textpartpage.h"

#include "document/templatenode.h"

namespace kova {

EditorPages::EditorPages(TemplateDocument &document, Prompter &prompter, ActiveKeyDisplay &keyDisplay, EditorHost &host,
                         QObject *parent)
    : QObject(parent), m_session(document), m_context{prompter, m_session, keyDisplay}, m_host(host)
{
    connect(&m_session, &EditSession::closed, this, &EditorPages::onClosed);
}

EditorPages::~EditorPages() = default;

void EditorPages::setPickers(KeyPicker *keyPicker, ValuePicker *valuePicker)
{
    m_context.keyPicker = keyPicker;
    m_context.valuePicker = valuePicker;
}

void EditorPages::buildPages()
{
    const auto install = [this](EditorPage *page) {
        const int tab = editorTab(page->kind());
        page->setObjectName(QStringLiteral("EditorPage%1").arg(tab));
        m_pages.at(size_t(tab)) = page;
        m_host.installEditorPage(tab, page);
    };
    install(new CategoryPage(m_context));
    install(new PolicyPage(m_context));
    install(new CheckBoxPage(m_context));
    install(new TextPartPage(TextPartForm::Kind::Combobox, m_context));
    install(new DropdownPage(m_context));
    install(new TextPartPage(TextPartForm::Kind::Edittext, m_context));
    install(new ListboxPage(m_context));
    install(new NumericPage(m_context));
    install(new TextPage(m_context));
}

EditorPage *EditorPages::page(EditorKind kind) const
{
    return m_pages.at(size_t(editorTab(kind)));
}

void EditorPages::EditNode(TemplateNode *node)
{
    if (m_session.isOpen() || !node)
        return;
    const std::optional<EditorKind> kind = m_session.begin(node);
    if (!kind)
        return;
    EditorPage *p = page(*kind);
    if (!p) {
        m_session.cancel();
        return;
    }
    p->open(m_session.EditLines(), node->text);
    m_host.openEditorPage(editorTab(*kind));
    p->focusFirstField();
}

void EditorPages::onClosed(EditorKind kind)
{
    if (EditorPage *p = page(kind))
        p->pageClosed();
    m_host.CloseEditorPage(editorTab(kind));
}

} // namespace kova
