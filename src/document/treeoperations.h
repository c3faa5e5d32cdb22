#pragma once

#include <QString>

namespace kova {

class Prompter;
class TemplateDocument;
class TemplateNode;

// What the tree's commands make: a category, a policy, or a part of one of the seven types.
enum class NewNodeKind { Category, Policy, Part };
enum class InsertPosition { After, Before };

// Part types by menu item index 1 to 7: "CHECKBOX" ... "TEXT"; "" for any other index.
QString PartTypeForIndex(int index);

// The slot text of a new node (two lines, each with CR LF).
QString NewNodeText(NewNodeKind kind, int partTypeIndex = 0);

// The new node becomes the last child of parent. Returns it.
TemplateNode *AddNode(TemplateDocument &document, TemplateNode *parent, NewNodeKind kind, int partTypeIndex = 0);
// The new node becomes a sibling of selected, after or before it. Returns it (nullptr for the root).
TemplateNode *InsertNode(TemplateDocument &document, TemplateNode *selected, NewNodeKind kind, InsertPosition position,
                         int partTypeIndex = 0);

// Whether a node may be deleted (never the root or a class).
bool CanDeleteNode(const TemplateNode *node);
// Asks "Delete entry "name"" and removes the node with its branch on Yes. True when deleted.
bool DeleteNode(TemplateDocument &document, TemplateNode *node, Prompter &prompter);

// Which entries the tree's context menu M1 offers for a node of this kind.
struct ContextMenuState
{
    bool enabled = true; // M1 itself
    bool edit = true;
    bool remove = true;
    bool add = true;
    bool addCategory = false;
    bool addPolicy = false;
    bool addPart = false;
    bool insertCategory = false;
    bool insertPolicy = false;
    bool insertPart = false;
    bool operator==(const ContextMenuState &) const = default;
};
ContextMenuState ContextMenuFor(const QString &kind);

// Drag and drop: which nodes can be picked up, and where they may land.
bool CanDragNode(const TemplateNode *node);
bool CanDropOn(const TemplateNode *dragged, const TemplateNode *target);

// Makes dragged the last child of target when allowed (false and nothing changed otherwise), and
// tells the user when the move changed the node's class or its effective key.
bool DropNode(TemplateDocument &document, TemplateNode *dragged, TemplateNode *target, Prompter &prompter);

// The class node above node (or node itself), nullptr when there is none.
const TemplateNode *ClassOf(const TemplateNode *node);

// Expands or collapses every node that has children, from the root down.
void SetAllExpanded(TemplateDocument &document, bool expanded);

// The picture a node shows: "open" for an expanded category or policy, else its own image.
QString NodeImage(const TemplateNode *node);

} // namespace kova
