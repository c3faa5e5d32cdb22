#pragma once

#include "templatenode.h"

#include <QList>
#include <QString>

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
};

} // namespace kova
