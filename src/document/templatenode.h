#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace kova {

// Node kinds and icon names of the template tree.
namespace NodeKind {
inline const QString Root = QStringLiteral("ROOT");
inline const QString Class = QStringLiteral("CLASS");
inline const QString Category = QStringLiteral("CATEGORY");
inline const QString Policy = QStringLiteral("POLICY");
inline const QString Part = QStringLiteral("PART");
} // namespace NodeKind

// Captions of the root and the two classes, which no edit changes.
inline const QString kRootCaption = QStringLiteral("Computer");
inline const QString kMachineCaption = QStringLiteral("Machine");
inline const QString kUserCaption = QStringLiteral("User");

// One entry of the template tree. Its own ADM lines live in the document's NodeTextTable, in the slot
// given by the number in its key ("K" and the slot number). Its picture follows from its kind (see
// NodeImage). A large template has hundreds of thousands of nodes, so a node holds no more than this.
class TemplateNode
{
public:
    // kind is one of NodeKind's names.
    TemplateNode(const QString &kind, QString text);

    // One of NodeKind's names.
    const QString &kind() const;
    QString text;

    // Nodes come from a pool of their own (nodepool.h).
    static void *operator new(std::size_t size);
    static void operator delete(void *node, std::size_t size) noexcept;

    int slot() const { return m_slot; }
    void setSlot(int slot) { m_slot = slot; }
    QString key() const;
    TemplateNode *parent() const { return m_parent; }
    int childCount() const { return int(m_children.size()); }
    TemplateNode *child(int row) const { return m_children.at(size_t(row)).get(); }
    // Position among the parent's children; 0 for the root.
    int row() const;
    // 0 for the root, 1 for a class, and so on.
    int depth() const;
    bool isAncestorOf(const TemplateNode *node) const;

    TemplateNode *insertChild(int row, std::unique_ptr<TemplateNode> node);
    TemplateNode *appendChild(std::unique_ptr<TemplateNode> node);
    std::unique_ptr<TemplateNode> takeChild(int row);

    // Depth-first, parents before children.
    template<typename F>
    void forEach(F &&visit)
    {
        visit(this);
        for (auto &c : m_children)
            c->forEach(visit);
    }

private:
    TemplateNode *m_parent = nullptr;
    std::vector<std::unique_ptr<TemplateNode>> m_children;
    int m_slot = 0;
    quint8 m_kind = 0; // the place of the kind's name in NodeKind's list

public:
    // Declared here, beside the slot and the kind, so that a node takes 64 bytes.
    bool expanded = false;
};

} // namespace kova
