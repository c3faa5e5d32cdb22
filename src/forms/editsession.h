#pragma once

#include "editorkind.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <optional>

namespace kova {

class TemplateDocument;
class TemplateNode;

// The editing state of the node pages: which node is open in which page, its lines, and the list
// state the pages with item lists share. At most one page is open; while one is, the document
// commands refuse to run (EditScreenOpen asks isOpen()).
class EditSession : public QObject
{
    Q_OBJECT

public:
    explicit EditSession(TemplateDocument &document, QObject *parent = nullptr);

    // EditNode's choice: the page for node, with EditLines filled from its slot; nullopt (and nothing
    // changed) for no node, the root, a class, or a kind without a page.
    std::optional<EditorKind> begin(TemplateNode *node);
    // Stores the page's composed text and the node's new caption as one change, then closes the page.
    void commit(const QString &text, const QString &caption);
    // Closes the page; the node stays as it was. Also called when a load replaces the document.
    void cancel();

    bool isOpen() const { return m_node != nullptr; }
    EditorKind kind() const { return m_kind; }
    TemplateNode *node() const { return m_node; }
    TemplateDocument &document() const { return m_document; }

    // The lines of the node last opened; entry 0 is empty, entry 1 is the node's first line.
    const QStringList &EditLines() const { return m_editLines; }

    // Which item list of the open page is on show, the position of the item in the item editor for
    // each list, and the guard of MoveListItem.
    int CurrentActionList = 0;
    std::array<int, 3> EditedItemIndex{};
    bool MoveInProgress = false;

signals:
    void opened(kova::EditorKind kind);
    // The page closed (committed or not); the tree comes back.
    void closed(kova::EditorKind kind);

private:
    TemplateDocument &m_document;
    TemplateNode *m_node = nullptr;
    EditorKind m_kind = EditorKind::Category;
    QStringList m_editLines{QString()};
};

// Splits a node's slot text into EditLines: an empty entry 0, then one entry per stored line.
QStringList makeEditLines(QStringView slotText);

} // namespace kova
