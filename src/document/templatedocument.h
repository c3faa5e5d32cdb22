#pragma once

#include "changerecorder.h"
#include "encoding.h"
#include "nodetexttable.h"
#include "templatenode.h"

#include <QObject>
#include <QStringList>

#include <memory>

namespace kova {

// The one open template: the node tree, the NodeTextTable with every node's own lines, the two lists
// the last load kept for the writer, and the document state (path, modified flag, "Strings" option,
// the encoding the file was read in). No other object keeps a copy of the template.
class TemplateDocument : public QObject
{
    Q_OBJECT

public:
    explicit TemplateDocument(QObject *parent = nullptr);
    ~TemplateDocument() override;

    // --- the model ---
    TemplateNode *root() const { return m_root.get(); }
    const NodeTextTable &texts() const { return m_texts; }
    QString nodeText(const TemplateNode *node) const { return m_texts.text(node->slot()); }
    // Renames a node in the tree.
    void setNodeCaption(TemplateNode *node, const QString &caption);
    // An editor page's commit: the node's new caption and own lines as one change; sets the modified flag.
    void commitNodeEdit(TemplateNode *node, const QString &caption, QStringView text);
    void setExpanded(TemplateNode *node, bool expanded);
    // Every node, depth first; the node whose key is "K" + slot, or nullptr.
    TemplateNode *nodeForSlot(int slot) const;
    int nodeCount() const;

    // ieak_ string entries (normalised) and the lines of other bracketed sections, kept by the last load.
    const QStringList &keptStringEntries() const { return m_keptStringEntries; }
    const QStringList &keptSectionLines() const { return m_keptSectionLines; }

    // Replaces the whole template at once (a successful load).
    void replaceContents(std::unique_ptr<TemplateNode> root, NodeTextTable texts, QStringList keptStrings,
                         QStringList keptSections, TextEncoding encoding);
    // Empties tree, table and kept lists (a failed load leaves no half-built document).
    void clear();
    // A new template: the root "Computer" with the classes "Machine" and "User"; unmodified, untitled.
    void newTemplate();

    // --- structural changes for tree operations (each sets the modified flag) ---
    // A new node takes the slot one above the highest in use and receives its initial text.
    TemplateNode *insertNewNode(TemplateNode *parent, int row, std::unique_ptr<TemplateNode> node,
                                const QString &initialText);
    // Removes a node with its branch and empties their slots.
    void removeNode(TemplateNode *node);
    void moveNode(TemplateNode *node, TemplateNode *newParent, int row);

    // --- taking changes back (the edit history) ---
    // Takes a node's branch out of the tree, its slots emptied.
    RemovedBranch takeBranch(TemplateNode *node);
    // Puts a taken branch back at row of parent, with its slots' texts.
    TemplateNode *restoreBranch(TemplateNode *parent, int row, RemovedBranch branch);
    // Moves node so that it ends up at row of newParent (reported as a move).
    void placeNode(TemplateNode *node, TemplateNode *newParent, int row);
    // Puts contents in place of the whole template and hands back what was there, the same node
    // objects; a reset, not reported to the recorder. Path, flags and encoding stay.
    TemplateContents swapContents(TemplateContents contents);
    // Every change above is reported here (none while this is null).
    void setRecorder(ChangeRecorder *recorder) { m_recorder = recorder; }

    // --- document state ---
    QString path() const { return m_path; }
    void setPath(const QString &path);
    bool isModified() const { return m_modified; }
    void setModified(bool modified);
    bool stringsOption() const { return m_strings; }
    void setStringsOption(bool on) { m_strings = on; }
    TextEncoding encoding() const { return m_encoding; }
    void setEncoding(TextEncoding encoding) { m_encoding = encoding; }

    // Reports from the loader and writer, for the recent-files list.
    void reportWritten(const QString &path) { emit written(path); }
    void reportUnreadable(const QString &path) { emit unreadable(path); }

signals:
    void aboutToReset();
    void reset();
    void nodeChanged(kova::TemplateNode *node);
    void nodeAboutToBeInserted(kova::TemplateNode *parent, int row);
    void nodeInserted(kova::TemplateNode *node);
    void nodeAboutToBeRemoved(kova::TemplateNode *node);
    void nodeRemoved(kova::TemplateNode *parent, int row);
    void nodeAboutToBeMoved(kova::TemplateNode *node, kova::TemplateNode *newParent, int row);
    void nodeMoved(kova::TemplateNode *node);
    void modifiedChanged(bool modified);
    void pathChanged(const QString &path);
    // A write to path succeeded (the recent-files list takes it unless it is a temporary file).
    void written(const QString &path);
    // A file could not be read (the recent-files list drops it).
    void unreadable(const QString &path);

private:
    std::unique_ptr<TemplateNode> m_root;
    NodeTextTable m_texts;
    QStringList m_keptStringEntries;
    QStringList m_keptSectionLines;
    QString m_path;
    ChangeRecorder *m_recorder = nullptr;
    bool m_modified = false;
    bool m_strings = false;
    TextEncoding m_encoding = TextEncoding::Windows1252;
};

} // namespace kova
