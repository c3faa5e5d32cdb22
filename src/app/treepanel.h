#pragma once

#include "document/treeoperations.h"
#include "editors/editorcontext.h"

#include <QHash>
#include <QWidget>

#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace kova {

class Prompter;
class TemplateDocument;
class TemplateNode;
class TemplateTreeModel;
class TemplateTreeView;

// The "&Overview" page (expand and collapse all and the selection's displays act only while it is
// enabled): the template tree, the node preview box Inhoud and the key window with the
// active key of the selected node; the context menu M1 with its insert mode, Add, Insert, Delete and
// Edit; expand all and collapse all; drag and drop.
class TreePanel : public QWidget, public ActiveKeyDisplay
{
    Q_OBJECT

public:
    TreePanel(TemplateDocument &document, Prompter &prompter, QWidget *parent = nullptr);

    TemplateTreeView *treeView() const { return m_tree; }
    TemplateTreeModel *model() const { return m_model; }
    QPlainTextEdit *Inhoud() const { return m_inhoud; }
    QLabel *keyLabel() const { return m_keyLabel; }
    QMenu *M1() const { return m_m1; }
    // A context menu action by name ("M_EditNode", "M_AddCat", "M_InsertPartM", "Insmode0", ...).
    QAction *menuAction(const QString &name) const;

    TemplateNode *selectedNode() const;
    void selectNode(TemplateNode *node);
    void selectRoot();

    // The node preview box gets the selected node's slot text.
    void ShowNodeText();
    void clearNodeView();
    // The key window shows the selected node's effective key (text and tooltip).
    void showActiveKey();

    InsertPosition insertPosition() const { return m_insertPosition; }
    void setInsertPosition(InsertPosition position);

    TemplateNode *addNode(NewNodeKind kind, int partTypeIndex = 0);
    TemplateNode *insertNode(NewNodeKind kind, int partTypeIndex = 0);
    bool deleteSelected();
    bool dropNode(TemplateNode *dragged, TemplateNode *target);
    void expandAll();
    void collapseAll();
    // Edit of the selected node: hands it to the EditNode hook with the busy flag set.
    void editSelected();
    void showContextMenu(const QPoint &globalPos);

    bool isBusy() const { return m_busy; }

    // The active key display as the editor pages use it ("Ok" refreshes only its text).
    QString activeKeyText() const override;
    void refreshActiveKey() override;

signals:
    // EditNode for the selected node.
    void editRequested();

private:
    void onCurrentChanged();
    void applyContextMenu(const QString &kind);
    void applyExpansion(TemplateNode *node);
    void setAllExpanded(bool expanded);
    QAction *addAction(QMenu *menu, const QString &name, const QString &caption, std::function<void()> run);
    void buildContextMenu();

    TemplateDocument &m_document;
    Prompter &m_prompter;
    TemplateTreeModel *m_model;
    TemplateTreeView *m_tree;
    QPlainTextEdit *m_inhoud;
    QLabel *m_keyLabel;
    QMenu *m_m1;
    QMenu *m_addMenu = nullptr;
    QMenu *m_insertMenu = nullptr;
    InsertPosition m_insertPosition = InsertPosition::After;
    bool m_busy = false;
    QHash<QString, QAction *> m_actions;
};

} // namespace kova
