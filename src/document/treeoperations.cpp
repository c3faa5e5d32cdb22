#include "treeoperations.h"

#include "nodekeys.h"
#include "nodetext.h"
#include "prompter.h"
#include "templatedocument.h"

namespace kova {

namespace {
const QString kNewName = QStringLiteral("<new>");
} // namespace

QString PartTypeForIndex(int index)
{
    static const char *const types[] = {"CHECKBOX", "COMBOBOX", "DROPDOWNLIST", "EDITTEXT",
                                        "LISTBOX",  "NUMERIC",  "TEXT"};
    if (index < 1 || index > 7)
        return QString();
    return QString::fromLatin1(types[index - 1]);
}

QString NewNodeText(NewNodeKind kind, int partTypeIndex)
{
    const QString quoted = QStringLiteral("\"<new>\"");
    switch (kind) {
    case NewNodeKind::Category: return QStringLiteral("CATEGORY ") + quoted + QStringLiteral("\r\nEND CATEGORY\r\n");
    case NewNodeKind::Policy: return QStringLiteral("POLICY ") + quoted + QStringLiteral("\r\nEND POLICY\r\n");
    case NewNodeKind::Part:
        return QStringLiteral("PART ") + quoted + u' ' + PartTypeForIndex(partTypeIndex) +
               QStringLiteral("\r\nEND PART\r\n");
    }
    return QString();
}

namespace {

std::unique_ptr<TemplateNode> makeNode(NewNodeKind kind)
{
    switch (kind) {
    case NewNodeKind::Category: return std::make_unique<TemplateNode>(NodeKind::Category, kNewName);
    case NewNodeKind::Policy: return std::make_unique<TemplateNode>(NodeKind::Policy, kNewName);
    case NewNodeKind::Part: return std::make_unique<TemplateNode>(NodeKind::Part, kNewName);
    }
    return nullptr;
}

} // namespace

TemplateNode *AddNode(TemplateDocument &document, TemplateNode *parent, NewNodeKind kind, int partTypeIndex)
{
    if (!parent)
        return nullptr;
    return document.insertNewNode(parent, parent->childCount(), makeNode(kind), NewNodeText(kind, partTypeIndex));
}

TemplateNode *InsertNode(TemplateDocument &document, TemplateNode *selected, NewNodeKind kind, InsertPosition position,
                         int partTypeIndex)
{
    if (!selected || !selected->parent())
        return nullptr;
    const int row = selected->row() + (position == InsertPosition::After ? 1 : 0);
    return document.insertNewNode(selected->parent(), row, makeNode(kind), NewNodeText(kind, partTypeIndex));
}

bool CanDeleteNode(const TemplateNode *node)
{
    return node && node->kind() != NodeKind::Root && node->kind() != NodeKind::Class;
}

bool DeleteNode(TemplateDocument &document, TemplateNode *node, Prompter &prompter)
{
    if (!CanDeleteNode(node))
        return false;
    const Answer answer = prompter.ask({QStringLiteral("Delete entry \"") + node->text.trimmed() + u'"',
                                        Message::Icon::Exclamation, Message::Buttons::YesNo});
    if (answer != Answer::Yes)
        return false;
    document.removeNode(node);
    return true;
}

ContextMenuState ContextMenuFor(const QString &kind)
{
    ContextMenuState s;
    s.remove = kind != NodeKind::Root && kind != NodeKind::Class;
    if (kind == NodeKind::Root) {
        s.enabled = false;
    } else if (kind == NodeKind::Class) {
        s.edit = false;
        s.addCategory = true;
    } else if (kind == NodeKind::Category) {
        s.addCategory = s.addPolicy = true;
        s.insertCategory = true;
    } else if (kind == NodeKind::Policy) {
        s.addPart = true;
        s.insertPolicy = true;
    } else if (kind == NodeKind::Part) {
        s.add = false;
        s.insertPart = true;
    }
    return s;
}

bool CanDragNode(const TemplateNode *node)
{
    return CanDeleteNode(node);
}

bool CanDropOn(const TemplateNode *dragged, const TemplateNode *target)
{
    if (!dragged || !target || dragged == target)
        return false;
    if (dragged->kind() == NodeKind::Category)
        return target->kind() == NodeKind::Class ||
               (target->kind() == NodeKind::Category && !dragged->isAncestorOf(target));
    if (dragged->kind() == NodeKind::Policy)
        return target->kind() == NodeKind::Category;
    if (dragged->kind() == NodeKind::Part)
        return target->kind() == NodeKind::Policy;
    return false;
}

const TemplateNode *ClassOf(const TemplateNode *node)
{
    for (const TemplateNode *n = node; n; n = n->parent())
        if (n->kind() == NodeKind::Class)
            return n;
    return nullptr;
}

bool DropNode(TemplateDocument &document, TemplateNode *dragged, TemplateNode *target, Prompter &prompter)
{
    if (!CanDragNode(dragged) || !CanDropOn(dragged, target))
        return false;
    const TemplateNode *oldClass = ClassOf(dragged);
    const QString oldKey = ActiveKeyPath(document, dragged);
    document.moveNode(dragged, target, target->childCount());
    document.setModified(true);

    QString text;
    if (ClassOf(dragged) != oldClass)
        text += QStringLiteral("- The target class is different than its source class.\r\n");
    if (ActiveKeyPath(document, dragged) != oldKey)
        text += QStringLiteral("- This drag and drop operation caused a change in the keys beeing used.\r\n");
    if (!text.isEmpty())
        prompter.tell(text + QStringLiteral("Check the keys used in this entry before you continue."),
                      Message::Icon::Exclamation);
    return true;
}

void SetAllExpanded(TemplateDocument &document, bool expanded)
{
    if (!document.root())
        return;
    document.root()->forEach([&](TemplateNode *n) {
        if (n->childCount() > 0)
            document.setExpanded(n, expanded);
    });
}

QString NodeImage(const TemplateNode *node)
{
    if (node->kind() == NodeKind::Category || node->kind() == NodeKind::Policy) {
        if (node->expanded)
            return QStringLiteral("open");
        return node->kind() == NodeKind::Category ? QStringLiteral("category") : QStringLiteral("policy");
    }
    if (node->kind() == NodeKind::Part)
        return QStringLiteral("part");
    if (node->kind() == NodeKind::Class)
        return node->text == kUserCaption ? QStringLiteral("user") : QStringLiteral("machine");
    return QStringLiteral("root");
}

} // namespace kova
