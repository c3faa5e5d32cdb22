#include "templatehistory.h"

#include "historysteps.h"

#include "document/templatedocument.h"

#include <QScopedValueRollback>
#include <QUndoStack>

namespace kova {

// A step on the stack. The change was made before the step is pushed, so its first redo does
// nothing; the step itself is shared so that trimming can move it to a new stack.
class TemplateHistory::Command : public QUndoCommand
{
public:
    Command(TemplateHistory &history, std::shared_ptr<HistoryStep> step) : m_history(history), m_step(std::move(step))
    {
        setText(m_step->name());
    }

    void undo() override { apply(false); }
    void redo() override
    {
        if (m_done) {
            m_done = false;
            return;
        }
        apply(true);
    }
    const std::shared_ptr<HistoryStep> &step() const { return m_step; }

private:
    void apply(bool redo)
    {
        {
            const QScopedValueRollback<bool> replaying(m_history.m_replaying, true);
            if (redo)
                m_step->redo(m_history.m_document);
            else
                m_step->undo(m_history.m_document);
        }
        emit m_history.stepApplied(m_step->focus());
    }

    TemplateHistory &m_history;
    std::shared_ptr<HistoryStep> m_step;
    bool m_done = true;
};

TemplateHistory::TemplateHistory(TemplateDocument &document, QObject *parent)
    : QObject(parent), m_document(document), m_documentAlive(&document), m_stack(new QUndoStack(this))
{
    m_document.setRecorder(this);
    connect(m_stack, &QUndoStack::indexChanged, this, [this] {
        syncModified();
        emit changed();
    });
    connect(m_stack, &QUndoStack::cleanChanged, this, &TemplateHistory::changed);
    connect(&m_document, &TemplateDocument::modifiedChanged, this, &TemplateHistory::onModifiedChanged);
    connect(&m_document, &TemplateDocument::reset, this, &TemplateHistory::onReset);
}

TemplateHistory::~TemplateHistory()
{
    if (m_documentAlive)
        m_documentAlive->setRecorder(nullptr);
}

bool TemplateHistory::canUndo() const
{
    return m_stack->canUndo();
}

bool TemplateHistory::canRedo() const
{
    return m_stack->canRedo();
}

QString TemplateHistory::undoText() const
{
    return m_stack->undoText();
}

QString TemplateHistory::redoText() const
{
    return m_stack->redoText();
}

void TemplateHistory::undo()
{
    m_stack->undo();
}

void TemplateHistory::redo()
{
    m_stack->redo();
}

qsizetype TemplateHistory::bytes() const
{
    qsizetype total = 0;
    for (int i = 0; i < m_stack->count(); ++i)
        total += static_cast<const Command *>(m_stack->command(i))->step()->bytes();
    return total;
}

void TemplateHistory::nodeEdited(TemplateNode *node, const QString &oldCaption, const QString &oldText)
{
    if (!m_replaying)
        record(std::make_unique<EditStep>(node, nodeNoun(m_document, node), oldCaption, oldText, node->text,
                                          m_document.nodeText(node)));
}

void TemplateHistory::nodeInserted(TemplateNode *node)
{
    if (!m_replaying)
        record(std::make_unique<InsertStep>(node, nodeNoun(m_document, node)));
}

void TemplateHistory::nodeRemoved(TemplateNode *parent, int row, RemovedBranch branch)
{
    if (m_replaying || !branch.node)
        return;
    // The branch's own lines have left the table; its first line names its kind.
    const QString first = branch.texts.isEmpty() ? QString() : branch.texts.first().second;
    const qsizetype end = first.indexOf(u'\r');
    const QString noun = nounOfLine(QStringView(first).left(end < 0 ? first.size() : end));
    record(std::make_unique<RemoveStep>(parent, row, std::move(branch), noun));
}

void TemplateHistory::nodeMoved(TemplateNode *node, TemplateNode *oldParent, int oldRow)
{
    if (!m_replaying)
        record(std::make_unique<MoveStep>(node, oldParent, oldRow, nodeNoun(m_document, node)));
}

void TemplateHistory::record(std::unique_ptr<HistoryStep> step)
{
    m_stack->push(new Command(*this, std::shared_ptr<HistoryStep>(std::move(step))));
    trimToCap();
}

// QUndoStack drops its oldest steps only by a count fixed while it is empty; to keep within a memory
// cap the newest steps that fit are carried over to a fresh start of the same stack.
void TemplateHistory::trimToCap()
{
    if (bytes() <= m_cap || m_stack->count() < 2)
        return;
    QList<std::shared_ptr<HistoryStep>> kept;
    qsizetype total = 0;
    int cleanKept = -1;
    for (int i = m_stack->count() - 1; i >= 0; --i) {
        const auto &step = static_cast<const Command *>(m_stack->command(i))->step();
        if (!kept.isEmpty() && total + step->bytes() > m_cap)
            break;
        total += step->bytes();
        kept.prepend(step);
    }
    const int dropped = m_stack->count() - int(kept.size());
    if (m_stack->cleanIndex() >= dropped)
        cleanKept = m_stack->cleanIndex() - dropped;
    const QScopedValueRollback<bool> replaying(m_replaying, true);
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    const QSignalBlocker blocker(m_stack);
    m_stack->clear();
    for (const auto &step : std::as_const(kept))
        m_stack->push(new Command(*this, step));
    // A save point below the top is lost with the old stack: no step is clean then until the next save.
    if (cleanKept >= 0 && cleanKept == m_stack->index())
        m_stack->setClean();
    else
        m_stack->resetClean();
}

void TemplateHistory::syncModified()
{
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    m_document.setModified(!m_stack->isClean());
}

// A save clears the flag: that step is the clean one. A change the history does not hold (a
// converted export, the "Strings" option) sets it: no step is clean until the next save.
void TemplateHistory::onModifiedChanged(bool modified)
{
    if (m_syncing || m_replaying || m_inTextMode || modified != m_stack->isClean())
        return;
    if (modified)
        m_stack->resetClean();
    else
        m_stack->setClean();
}

void TemplateHistory::onReset()
{
    if (!m_replaying && !m_inTextMode)
        m_stack->clear();
}

void TemplateHistory::contentsReplaced(TemplateContents old)
{
    // The first template replaced in text mode is the one it took out of the document.
    if (m_inTextMode && !m_replaying && !m_beforeTextMode)
        m_beforeTextMode = std::make_unique<TemplateContents>(std::move(old));
}

void TemplateHistory::textModeEntered()
{
    m_inTextMode = true;
    m_textApplied = false;
    m_beforeTextMode.reset();
}

void TemplateHistory::textModeApplied(bool changed)
{
    m_textApplied = changed;
}

void TemplateHistory::textModeLeft()
{
    if (!m_inTextMode)
        return;
    m_inTextMode = false;
    std::unique_ptr<TemplateContents> before = std::move(m_beforeTextMode);
    if (!before)
        return; // the template never left the document
    if (m_textApplied) {
        record(std::make_unique<TextStep>(std::move(*before)));
        return;
    }
    // The text came back unedited: the template it was written from is the same, with the node
    // objects the steps name.
    const QScopedValueRollback<bool> replaying(m_replaying, true);
    m_document.swapContents(std::move(*before));
}

} // namespace kova
