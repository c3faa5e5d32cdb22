#pragma once

#include "editorcontext.h"

#include "forms/editorkind.h"
#include "forms/editsession.h"

#include <QObject>

#include <array>

namespace kova {

class EditorPage;
class TemplateDocument;
class TemplateNode;

// The window's side of the pages: it shows the page of a tab (the tree hidden, tab 0 disabled) and
// goes back to the tree.
class EditorHost
{
public:
    virtual ~EditorHost() = default;
    // Puts page into the tab strip at tab.
    virtual void installEditorPage(int tab, QWidget *page) = 0;
    virtual void openEditorPage(int tab) = 0;
    virtual void CloseEditorPage(int tab) = 0;
};

// Owns the editing state and the node pages, and opens the page for a node: EditNode. The pages
// hand their commits to the session, whose closing takes the window back to the tree.
class EditorPages : public QObject
{
    Q_OBJECT

public:
    EditorPages(TemplateDocument &document, Prompter &prompter, ActiveKeyDisplay &keyDisplay, EditorHost &host,
                QObject *parent = nullptr);
    ~EditorPages() override;

    // The registry browser's pickers; without them the "Select" buttons stay disabled.
    void setPickers(KeyPicker *keyPicker, ValuePicker *valuePicker);
    // Builds the pages and installs them in the host's tab strip.
    void buildPages();

    EditSession &session() { return m_session; }
    bool isOpen() const { return m_session.isOpen(); }
    // The page of a kind; nullptr for kinds that have no page yet.
    EditorPage *page(EditorKind kind) const;

    // Opens the page for node; nothing happens for no node, the root, a class or an unknown kind.
    void EditNode(TemplateNode *node);

private:
    void onClosed(EditorKind kind);

    EditSession m_session;
    EditorContext m_context;
    EditorHost &m_host;
    std::array<EditorPage *, kLastEditorTab + 1> m_pages{};
};

} // namespace kova
