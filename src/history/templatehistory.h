#pragma once

#include "document/changerecorder.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QUndoStack;

namespace kova {

class HistoryStep;
class TemplateDocument;

// The edit history of the one template: every change the document reports becomes one step on a
// QUndoStack, named for the user. The modified flag follows the history: back at the last saved
// step it is cleared, past it set again. A load or New starts an empty history. The raw text mode
// takes the template out of the document and loads it anew when it is left: the history keeps the
// template it took, so that Update becomes one step back to the same node objects, and No Update
// puts them back as they were. The steps are kept within a memory cap, the oldest dropped first.
class TemplateHistory : public QObject, private ChangeRecorder
{
    Q_OBJECT

public:
    static constexpr qsizetype kMemoryCap = 64 * 1024 * 1024;

    explicit TemplateHistory(TemplateDocument &document, QObject *parent = nullptr);
    ~TemplateHistory() override;

    QUndoStack &stack() const { return *m_stack; }
    bool canUndo() const;
    bool canRedo() const;
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();
    // What the steps keep in memory now.
    qsizetype bytes() const;

    // The raw text mode is about to take the template out of the document: its own loads are not a
    // New, and the template it takes is kept.
    void textModeEntered();
    // Update loaded the edited text; changed: the user edited it.
    void textModeApplied(bool changed);
    // Text mode is left: an applied edit becomes a step, anything else brings the kept template back.
    void textModeLeft();

    // Cap for tests; the default is kMemoryCap.
    void setMemoryCap(qsizetype bytes) { m_cap = bytes; }

signals:
    // Undo or redo changed the template; node is where the change happened (null: the whole template).
    void stepApplied(kova::TemplateNode *node);
    void changed();

private:
    class Command;

    void nodeEdited(TemplateNode *node, const QString &oldCaption, const QString &oldText) override;
    void nodeInserted(TemplateNode *node) override;
    void nodeRemoved(TemplateNode *parent, int row, RemovedBranch branch) override;
    void nodeMoved(TemplateNode *node, TemplateNode *oldParent, int oldRow) override;
    void contentsReplaced(TemplateContents old) override;

    void record(std::unique_ptr<HistoryStep> step);
    void trimToCap();
    void syncModified();
    void onModifiedChanged(bool modified);
    void onReset();

    TemplateDocument &m_document;
    // The window destroys its document before its children: the history must not reach a document
    // that is gone.
    QPointer<TemplateDocument> m_documentAlive;
    QUndoStack *m_stack;
    qsizetype m_cap = kMemoryCap;
    bool m_replaying = false; // our own undo, redo or trim is changing the document
    bool m_syncing = false;   // our own change of the modified flag
    bool m_inTextMode = false;
    bool m_textApplied = false;
    std::unique_ptr<TemplateContents> m_beforeTextMode;
};

} // namespace kova
