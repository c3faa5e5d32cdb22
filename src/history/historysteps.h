#pragma once

#include "document/changerecorder.h"

#include <QString>

namespace kova {

class TemplateDocument;

// One change to the template as data: enough to take it back and to do it again. A step is made
// after its change has been done.
class HistoryStep
{
public:
    virtual ~HistoryStep() = default;
    virtual void undo(TemplateDocument &document) = 0;
    virtual void redo(TemplateDocument &document) = 0;
    // About what the step keeps in memory.
    virtual qsizetype bytes() const = 0;
    // The node to show after the step was undone or redone (nullptr: the tree's root).
    virtual TemplateNode *focus() const = 0;
    // What the user calls it: "Edit policy 'Hide clock'".
    virtual QString name() const = 0;
};

// A page's commit: the node's caption and own lines before and after.
class EditStep : public HistoryStep
{
public:
    EditStep(TemplateNode *node, QString noun, QString oldCaption, QString oldText, QString newCaption,
             QString newText);
    void undo(TemplateDocument &document) override;
    void redo(TemplateDocument &document) override;
    qsizetype bytes() const override;
    TemplateNode *focus() const override { return m_node; }
    QString name() const override;

private:
    TemplateNode *m_node;
    QString m_noun;
    QString m_caption[2];
    QString m_text[2];
};

// A node added or inserted by a tree command.
class InsertStep : public HistoryStep
{
public:
    InsertStep(TemplateNode *node, QString noun);
    void undo(TemplateDocument &document) override;
    void redo(TemplateDocument &document) override;
    qsizetype bytes() const override;
    TemplateNode *focus() const override;
    QString name() const override;

private:
    TemplateNode *m_node;
    TemplateNode *m_parent;
    int m_row;
    QString m_noun;
    RemovedBranch m_taken; // while undone
};

// A node deleted with its branch.
class RemoveStep : public HistoryStep
{
public:
    RemoveStep(TemplateNode *parent, int row, RemovedBranch branch, QString noun);
    void undo(TemplateDocument &document) override;
    void redo(TemplateDocument &document) override;
    qsizetype bytes() const override;
    TemplateNode *focus() const override;
    QString name() const override;

private:
    TemplateNode *m_parent;
    int m_row;
    TemplateNode *m_node;
    QString m_noun;
    QString m_caption;
    RemovedBranch m_branch; // while done
};

// A node dragged to a new parent.
class MoveStep : public HistoryStep
{
public:
    MoveStep(TemplateNode *node, TemplateNode *oldParent, int oldRow, QString noun);
    void undo(TemplateDocument &document) override;
    void redo(TemplateDocument &document) override;
    qsizetype bytes() const override { return 64; }
    TemplateNode *focus() const override { return m_node; }
    QString name() const override;

private:
    TemplateNode *m_node;
    TemplateNode *m_parent[2];
    int m_row[2];
    QString m_noun;
};

// The raw text mode left with Update: the whole template before it, while the step is done, and the
// whole template after it, while the step is undone.
class TextStep : public HistoryStep
{
public:
    explicit TextStep(TemplateContents before);
    void undo(TemplateDocument &document) override;
    void redo(TemplateDocument &document) override;
    qsizetype bytes() const override { return m_bytes; }
    TemplateNode *focus() const override { return nullptr; }
    QString name() const override { return QStringLiteral("Update from the text editor"); }

private:
    void swap(TemplateDocument &document);

    TemplateContents m_other;
    qsizetype m_bytes;
};

// "category", "policy", "check box", ... for a node, or for its first line; "node" for a kind without a page.
QString nodeNoun(const TemplateDocument &document, const TemplateNode *node);
QString nounOfLine(QStringView firstLine);

} // namespace kova
