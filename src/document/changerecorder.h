#pragma once

#include "nodetexttable.h"
#include "templatenode.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

namespace kova {

// A branch taken out of the tree with the own lines of each of its nodes, by slot, so that it can be
// put back exactly as it was.
struct RemovedBranch
{
    std::unique_ptr<TemplateNode> node;
    QList<std::pair<int, QString>> texts;
};

// A whole template: the node tree, its own lines and the lines the load kept for the writer. What a
// load or a clear replaces, and what the raw text mode's Update is taken back to.
struct TemplateContents
{
    std::unique_ptr<TemplateNode> root;
    NodeTextTable texts;
    QStringList keptStringEntries;
    QStringList keptSectionLines;
};

// Told of every change the document makes to the template, after it is made, with what is needed to
// take it back. The edit history listens here.
class ChangeRecorder
{
public:
    virtual ~ChangeRecorder() = default;
    virtual void nodeEdited(TemplateNode *node, const QString &oldCaption, const QString &oldText) = 0;
    virtual void nodeInserted(TemplateNode *node) = 0;
    // The recorder keeps the branch (it holds the node's undo).
    virtual void nodeRemoved(TemplateNode *parent, int row, RemovedBranch branch) = 0;
    virtual void nodeMoved(TemplateNode *node, TemplateNode *oldParent, int oldRow) = 0;
    // The whole template was replaced (a load, a clear, New); the recorder may keep the old one.
    virtual void contentsReplaced(TemplateContents old) = 0;
};

} // namespace kova
