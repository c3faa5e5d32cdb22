#pragma once

#include "document/treeoperations.h"
#include "editors/editorcontext.h"

#include <QHash>
#include <QWidget>

#include <functional>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QPlainTextEdit;

namespace kova {

class Prompter;
class TemplateDocument;
class TemplateNode;
class TemplateTreeModel;
class TemplateTreeView;
class TreeFilterModel;

// The "&Overview" page (expand and collapse all and the selection's displays act only while it is
// enabled): the template tree, the node preview box Inhoud and the key window with the
// active key of the selected node; the context menu M1 with its insert mode, Add, Insert, Delete and
// Edit; expand all and collapse all; drag and drop; the find field above the tree, which filters it
// to the nodes found and their ancestors. The view shows the tree through the filter; every command
// acts on the real node.
class TreePanel : public QWidget, public ActiveKeyDisplay
{
    Q_OBJECT

public:
    // A find with more nodes found than this opens only the way to the selected one.
    static constexpr qsizetype kOpenAllMatches = 2000;

    TreePanel(TemplateDocument &document, Prompter &prompter, QWidget *parent = nullptr);

    TemplateTreeView *treeView() const { return m_tree; }
    TemplateTreeModel *model() const { return m_model; }
    TreeFilterModel *filterModel() const { return m_filter; }
    QLineEdit *findField() const { return m_findField; }
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

    // The find field: the text filters the tree and selects the first node found (unless the
    // selected one is found); next and previous select the following or preceding one, round.
    void focusFindField();
    void setFindText(const QString &text);
    void findNext();
    void findPrevious();
    // The nodes found, in tree order.
    const std::vector<TemplateNode *> &findMatches() const { return m_matches; }

    // The active key display as the editor pages use it ("Ok" refreshes only its text).
    QString activeKeyText() const override;
    void refreshActiveKey() override;

signals:
    // EditNode for the selected node.
    void editRequested();
    // "N of M matches" while a find text is set, "" when the field is cleared.
    void findStatusChanged(const QString &status);

private:
    void onCurrentChanged();
    void applyContextMenu(const QString &kind);
    void applyExpansion(TemplateNode *node, bool openOnly = false);
    void setAllExpanded(bool expanded);
    QAction *addAction(QMenu *menu, const QString &name, const QString &caption, std::function<void()> run);
    void buildContextMenu();
    QWidget *buildFindRow();
    QModelIndex viewIndex(const TemplateNode *node) const;
    bool finding() const;
    void onFindTextChanged(const QString &text);
    void refreshMatches();
    void step(int direction);
    void showFindStatus();
    void keepInView(const TemplateNode *node);

    TemplateDocument &m_document;
    Prompter &m_prompter;
    TemplateTreeModel *m_model;
    TreeFilterModel *m_filter;
    TemplateTreeView *m_tree;
    QLineEdit *m_findField;
    // The template changed while a find is on: the nodes found are counted again once it settles.
    QTimer *m_matchesDue;
    std::vector<TemplateNode *> m_matches;
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
