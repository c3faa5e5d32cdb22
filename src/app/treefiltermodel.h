#pragma once

#include "find/treefind.h"

#include <QSet>
#include <QSortFilterProxyModel>

#include <vector>

namespace kova {

class TemplateDocument;
class TemplateNode;
class TemplateTreeModel;

// The tree as the find field shows it: with a find text, the nodes that match it with their
// ancestors, so the user sees where each lives; without one, the whole tree. Nodes the user just
// made or moved while a find is on stay in view (pinned) until the find text changes.
//
// The nodes found are worked out once per find text and then kept current as the template changes
// (a node edited, a branch added or taken out), so that filtering asks a set, not the rule.
class TreeFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    TreeFilterModel(TemplateDocument &document, TemplateTreeModel &source, QObject *parent = nullptr);

    const TreeFind &find() const { return m_find; }
    void setFindText(const QString &text);
    void pin(const TemplateNode *node);

    bool isMatch(const TemplateNode *node) const { return m_found.contains(node); }
    qsizetype matchCount() const { return m_found.size(); }
    // The nodes found, in tree order.
    std::vector<TemplateNode *> matches() const;

    QModelIndex indexForNode(const TemplateNode *node) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    void findAll();
    void findInRows(const QModelIndex &parent, int first, int last, bool add);

    TemplateDocument &m_document;
    TemplateTreeModel &m_source;
    TreeFind m_find;
    QSet<const TemplateNode *> m_found;
    QSet<const TemplateNode *> m_pinned;
};

} // namespace kova
