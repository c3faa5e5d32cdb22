#include "treepanel.h"

#include "templatetreemodel.h"
#include "templatetreeview.h"

#include "document/templatedocument.h"
#include "editors/core/nodekeys.h"

#include <QAction>
#include <QActionGroup>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

namespace kova {

TreePanel::TreePanel(TemplateDocument &document, Prompter &prompter, QWidget *parent)
    : QWidget(parent), m_document(document), m_prompter(prompter), m_model(new TemplateTreeModel(document, this)),
      m_tree(new TemplateTreeView), m_inhoud(new QPlainTextEdit), m_keyLabel(new QLabel), m_m1(new QMenu(this))
{
    m_tree->setObjectName(QStringLiteral("TreeView"));
    m_tree->setModel(m_model);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_inhoud->setObjectName(QStringLiteral("Inhoud"));
    m_inhoud->setReadOnly(true);
    m_inhoud->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_keyLabel->setObjectName(QStringLiteral("KeyLabel"));
    m_keyLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *keyWindow = new QGroupBox(QStringLiteral("Active key for selected item:"));
    keyWindow->setObjectName(QStringLiteral("KeyWindow"));
    auto *keyLayout = new QVBoxLayout(keyWindow);
    keyLayout->addWidget(m_keyLabel);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_inhoud);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(keyWindow);

    buildContextMenu();

    connect(m_tree, &TemplateTreeView::dropRequested, this, &TreePanel::dropNode);
    connect(m_tree, &QTreeView::customContextMenuRequested, this,
            [this](const QPoint &pos) { showContextMenu(m_tree->viewport()->mapToGlobal(pos)); });
    connect(m_tree, &QTreeView::doubleClicked, this, [this] { editSelected(); });
    connect(m_tree, &QTreeView::expanded, this, [this](const QModelIndex &i) { m_model->setExpanded(i, true); });
    connect(m_tree, &QTreeView::collapsed, this, [this](const QModelIndex &i) { m_model->setExpanded(i, false); });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &TreePanel::onCurrentChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { applyExpansion(m_document.root()); });
}

QAction *TreePanel::addAction(QMenu *menu, const QString &name, const QString &caption, std::function<void()> run)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    m_actions.insert(name, action);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return action;
}

void TreePanel::buildContextMenu()
{
    m_m1->setObjectName(QStringLiteral("M1"));
    QAction *edit = addAction(m_m1, QStringLiteral("M_EditNode"), QStringLiteral("Edit"), [this] { editSelected(); });
    edit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+E")));
    m_m1->addSeparator();
    auto *modes = new QActionGroup(this);
    const auto mode = [&](int item, const QString &caption, InsertPosition position) {
        QAction *a = addAction(m_m1, QStringLiteral("Insmode%1").arg(item), caption,
                               [this, position] { setInsertPosition(position); });
        a->setCheckable(true);
        a->setChecked(position == m_insertPosition);
        modes->addAction(a);
    };
    mode(0, QStringLiteral("Mode Insert: After"), InsertPosition::After);
    mode(1, QStringLiteral("Mode Insert: Before"), InsertPosition::Before);
    m_m1->addSeparator();

    static const char *const partCaptions[] = {"CheckBox", "ComboBox", "DropdownList", "EditText",
                                               "ListBox",  "Numeric",  "Text"};
    const auto fill = [&](QMenu *menu, const QString &prefix, bool insert) {
        const auto run = [this, insert](NewNodeKind kind, int type) {
            return [this, insert, kind, type] { insert ? insertNode(kind, type) : addNode(kind, type); };
        };
        addAction(menu, prefix + QStringLiteral("Cat"), QStringLiteral("Category"), run(NewNodeKind::Category, 0));
        addAction(menu, prefix + QStringLiteral("Pol"), QStringLiteral("Policy"), run(NewNodeKind::Policy, 0));
        QMenu *parts = menu->addMenu(QStringLiteral("Part"));
        parts->menuAction()->setObjectName(prefix + QStringLiteral("PartM"));
        m_actions.insert(prefix + QStringLiteral("PartM"), parts->menuAction());
        for (int type = 1; type <= 7; ++type)
            addAction(parts, prefix + QStringLiteral("Part%1").arg(type), QString::fromLatin1(partCaptions[type - 1]),
                      run(NewNodeKind::Part, type));
    };
    m_insertMenu = m_m1->addMenu(QStringLiteral("Insert"));
    m_insertMenu->menuAction()->setObjectName(QStringLiteral("M_Insert"));
    m_actions.insert(QStringLiteral("M_Insert"), m_insertMenu->menuAction());
    fill(m_insertMenu, QStringLiteral("M_Insert"), true);
    m_addMenu = m_m1->addMenu(QStringLiteral("Add"));
    m_addMenu->menuAction()->setObjectName(QStringLiteral("M_Add"));
    m_actions.insert(QStringLiteral("M_Add"), m_addMenu->menuAction());
    fill(m_addMenu, QStringLiteral("M_Add"), false);
    m_m1->addSeparator();
    QAction *del = addAction(m_m1, QStringLiteral("M_Delete"), QStringLiteral("Delete"), [this] { deleteSelected(); });
    del->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(QStringLiteral("Ctrl+Alt+D"))});

    // The keys work on the tree without opening the menu.
    for (QAction *a : {edit, del}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_tree->addAction(a);
    }
    auto *menuKey = new QAction(this);
    menuKey->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+M")));
    menuKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QAction::triggered, this, [this] {
        showContextMenu(m_tree->viewport()->mapToGlobal(m_tree->visualRect(m_tree->currentIndex()).center()));
    });
    m_tree->addAction(menuKey);
    applyContextMenu(QString());
}

QAction *TreePanel::menuAction(const QString &name) const
{
    return m_actions.value(name);
}

TemplateNode *TreePanel::selectedNode() const
{
    return m_model->nodeFromIndex(m_tree->currentIndex());
}

void TreePanel::selectNode(TemplateNode *node)
{
    const QModelIndex index = m_model->indexForNode(node);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    onCurrentChanged();
}

void TreePanel::selectRoot()
{
    selectNode(m_document.root());
}

void TreePanel::ShowNodeText()
{
    const TemplateNode *node = selectedNode();
    if (node)
        m_inhoud->setPlainText(m_document.nodeText(node));
}

void TreePanel::clearNodeView()
{
    m_inhoud->clear();
    m_keyLabel->clear();
    m_keyLabel->setToolTip(QString());
}

QString TreePanel::activeKeyText() const
{
    return m_keyLabel->text();
}

void TreePanel::refreshActiveKey()
{
    m_keyLabel->setText(ActiveKeyPath(m_document, selectedNode()));
}

void TreePanel::showActiveKey()
{
    const QString key = ActiveKeyPath(m_document, selectedNode());
    m_keyLabel->setText(key);
    m_keyLabel->setToolTip(key);
}

void TreePanel::onCurrentChanged()
{
    if (!isEnabled())
        return;
    const TemplateNode *node = selectedNode();
    if (!node)
        return;
    showActiveKey();
    ShowNodeText();
    applyContextMenu(node->kind);
}

void TreePanel::applyContextMenu(const QString &kind)
{
    const ContextMenuState s = ContextMenuFor(kind);
    m_m1->setEnabled(s.enabled && !kind.isEmpty());
    menuAction(QStringLiteral("M_EditNode"))->setVisible(s.edit);
    menuAction(QStringLiteral("M_EditNode"))->setEnabled(s.enabled && s.edit);
    menuAction(QStringLiteral("M_Delete"))->setVisible(s.remove);
    menuAction(QStringLiteral("M_Delete"))->setEnabled(s.enabled && s.remove);
    menuAction(QStringLiteral("M_Add"))->setVisible(s.add);
    menuAction(QStringLiteral("M_AddCat"))->setVisible(s.addCategory);
    menuAction(QStringLiteral("M_AddPol"))->setVisible(s.addPolicy);
    menuAction(QStringLiteral("M_AddPartM"))->setVisible(s.addPart);
    menuAction(QStringLiteral("M_InsertCat"))->setVisible(s.insertCategory);
    menuAction(QStringLiteral("M_InsertPol"))->setVisible(s.insertPolicy);
    menuAction(QStringLiteral("M_InsertPartM"))->setVisible(s.insertPart);
    menuAction(QStringLiteral("M_Insert"))->setVisible(s.insertCategory || s.insertPolicy || s.insertPart);
}

void TreePanel::setInsertPosition(InsertPosition position)
{
    m_insertPosition = position;
    menuAction(QStringLiteral("Insmode0"))->setChecked(position == InsertPosition::After);
    menuAction(QStringLiteral("Insmode1"))->setChecked(position == InsertPosition::Before);
}

TemplateNode *TreePanel::addNode(NewNodeKind kind, int partTypeIndex)
{
    TemplateNode *parent = selectedNode();
    TemplateNode *node = AddNode(m_document, parent, kind, partTypeIndex);
    if (node) {
        m_tree->expand(m_model->indexForNode(parent));
        selectNode(node);
    }
    return node;
}

TemplateNode *TreePanel::insertNode(NewNodeKind kind, int partTypeIndex)
{
    TemplateNode *node = InsertNode(m_document, selectedNode(), kind, m_insertPosition, partTypeIndex);
    if (node)
        selectNode(node);
    return node;
}

bool TreePanel::deleteSelected()
{
    TemplateNode *node = selectedNode();
    if (!ContextMenuFor(node ? node->kind : QString()).remove || !m_m1->isEnabled())
        return false;
    if (!DeleteNode(m_document, node, m_prompter))
        return false;
    onCurrentChanged();
    return true;
}

bool TreePanel::dropNode(TemplateNode *dragged, TemplateNode *target)
{
    if (m_busy || !CanDropOn(dragged, target))
        return false;
    const bool wasExpanded = target->expanded;
    // Selected first, so the key window shows the moved node's new key when the message appears.
    if (!DropNode(m_document, dragged, target, m_prompter))
        return false;
    if (!wasExpanded)
        m_tree->expand(m_model->indexForNode(target));
    selectNode(dragged);
    return true;
}

void TreePanel::applyExpansion(TemplateNode *node)
{
    if (!node)
        return;
    m_tree->setExpanded(m_model->indexForNode(node), node->expanded);
    for (int i = 0; i < node->childCount(); ++i)
        applyExpansion(node->child(i));
}

void TreePanel::setAllExpanded(bool expanded)
{
    if (!isEnabled() || m_busy || !m_document.root())
        return;
    m_tree->setEnabled(false);
    SetAllExpanded(m_document, expanded);
    applyExpansion(m_document.root());
    m_model->refreshImages();
    m_tree->setEnabled(true);
    m_tree->scrollTo(m_tree->currentIndex());
    m_tree->setFocus();
}

void TreePanel::expandAll()
{
    setAllExpanded(true);
}

void TreePanel::collapseAll()
{
    setAllExpanded(false);
}

void TreePanel::editSelected()
{
    const TemplateNode *node = selectedNode();
    if (!node || node->text.isEmpty() || !m_m1->isEnabled() || !m_tree->isEnabled() || m_busy)
        return;
    m_busy = true;
    m_tree->setDragsBlocked(true);
    emit editRequested();
    m_tree->setDragsBlocked(false);
    m_busy = false;
}

void TreePanel::showContextMenu(const QPoint &globalPos)
{
    if (m_m1->isEnabled() && selectedNode())
        m_m1->popup(globalPos);
}

} // namespace kova
