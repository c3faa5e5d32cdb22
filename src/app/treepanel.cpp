#include "treepanel.h"

#include "templatetreemodel.h"
#include "templatetreeview.h"
#include "treefiltermodel.h"

#include "document/nodekeys.h"
#include "document/templatedocument.h"

#include <QAction>
#include <QActionGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kova {

namespace {

// The active key display: a long key is shown elided in the middle (the tooltip holds it whole) and
// never asks for more width than the window has.
class ElidingLabel : public QLabel
{
public:
    ElidingLabel() { setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const QRect room = contentsRect();
        if (fontMetrics().horizontalAdvance(text()) <= room.width()) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter painter(this);
        style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()), foregroundRole());
    }
};

} // namespace

TreePanel::TreePanel(TemplateDocument &document, Prompter &prompter, QWidget *parent)
    : QWidget(parent), m_document(document), m_prompter(prompter), m_model(new TemplateTreeModel(document, this)),
      m_filter(new TreeFilterModel(document, *m_model, this)), m_tree(new TemplateTreeView), m_findField(new QLineEdit),
      m_matchesDue(new QTimer(this)), m_inhoud(new QPlainTextEdit), m_keyLabel(new ElidingLabel), m_m1(new QMenu(this))
{
    m_tree->setObjectName(QStringLiteral("TreeView"));
    m_tree->setModel(m_filter);
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

    auto *treeSide = new QWidget;
    auto *treeLayout = new QVBoxLayout(treeSide);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    treeLayout->addWidget(buildFindRow());
    treeLayout->addWidget(m_tree, 1);

    auto *splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(treeSide);
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
    // While a find is on the view opens what it shows; the template keeps the expansion the user gave it.
    const auto expansion = [this](const QModelIndex &i, bool expanded) {
        if (!finding())
            m_model->setExpanded(m_filter->mapToSource(i), expanded);
    };
    connect(m_tree, &QTreeView::expanded, this, [expansion](const QModelIndex &i) { expansion(i, true); });
    connect(m_tree, &QTreeView::collapsed, this, [expansion](const QModelIndex &i) { expansion(i, false); });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &TreePanel::onCurrentChanged);
    // After a new find the view opens every branch that holds a node found, as long as that stays
    // readable; beyond that only the way to the selected one opens, and typing more narrows it.
    connect(m_filter, &QAbstractItemModel::modelReset, this, [this] {
        if (!finding())
            applyExpansion(m_document.root());
        else if (m_filter->matchCount() <= kOpenAllMatches)
            m_tree->expandAll();
    });

    // A branch put back (undo of a delete, redo of an insert) opens as far as it was open.
    connect(m_filter, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &parent, int first, int last) {
        if (finding())
            return;
        for (int row = first; row <= last; ++row)
            applyExpansion(TemplateTreeModel::nodeAt(m_filter->mapToSource(m_filter->index(row, 0, parent))));
    });

    m_matchesDue->setSingleShot(true);
    connect(m_matchesDue, &QTimer::timeout, this, &TreePanel::refreshMatches);
    const auto changed = [this] {
        if (finding())
            m_matchesDue->start();
    };
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_model, signal, this, changed);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, changed);
    connect(m_model, &QAbstractItemModel::modelReset, this, changed);
    connect(m_model, &QAbstractItemModel::dataChanged, this, changed);
}

QWidget *TreePanel::buildFindRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("F&ind:"));
    label->setBuddy(m_findField);
    m_findField->setObjectName(QStringLiteral("FindField"));
    m_findField->setPlaceholderText(QStringLiteral("Caption, key name or value name"));
    m_findField->setClearButtonEnabled(true);
    m_findField->setToolTip(QStringLiteral("Shows the nodes whose caption, key name or value name holds this "
                                           "text. Enter or F3: next, Shift+F3: previous, Esc: clear"));
    layout->addWidget(label);
    layout->addWidget(m_findField, 1);
    connect(m_findField, &QLineEdit::textChanged, this, &TreePanel::onFindTextChanged);

    // Enter and Esc belong to the field; F3 works from the tree too.
    const auto key = [this](QWidget *on, const QList<QKeySequence> &keys, Qt::ShortcutContext context, auto run) {
        auto *action = new QAction(on);
        action->setShortcuts(keys);
        action->setShortcutContext(context);
        connect(action, &QAction::triggered, this, run);
        on->addAction(action);
    };
    key(m_findField, {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, Qt::WidgetShortcut,
        [this] { findNext(); });
    key(m_findField, {QKeySequence(Qt::Key_Escape)}, Qt::WidgetShortcut, [this] { m_findField->clear(); });
    key(this, {QKeySequence(Qt::Key_F3)}, Qt::WidgetWithChildrenShortcut, [this] { findNext(); });
    key(this, {QKeySequence(Qt::SHIFT | Qt::Key_F3)}, Qt::WidgetWithChildrenShortcut, [this] { findPrevious(); });
    return row;
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
    return TemplateTreeModel::nodeAt(m_tree->currentIndex());
}

QModelIndex TreePanel::viewIndex(const TemplateNode *node) const
{
    return m_filter->indexForNode(node);
}

void TreePanel::selectNode(TemplateNode *node)
{
    keepInView(node);
    const QModelIndex index = viewIndex(node);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    onCurrentChanged();
}

// A node the user made, moved or asked for stays in view while a find is on.
void TreePanel::keepInView(const TemplateNode *node)
{
    if (finding() && node && !viewIndex(node).isValid())
        m_filter->pin(node);
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
    applyContextMenu(node->kind());
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
        selectNode(node);
        m_tree->expand(viewIndex(parent));
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
    if (!ContextMenuFor(node ? node->kind() : QString()).remove || !m_m1->isEnabled())
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
    selectNode(dragged);
    if (!wasExpanded)
        m_tree->expand(viewIndex(target));
    return true;
}

// The view takes the template's expansion; after a reset everything is closed, and only what is open
// needs telling.
void TreePanel::applyExpansion(TemplateNode *node, bool openOnly)
{
    if (!node)
        return;
    if (node->expanded || !openOnly)
        m_tree->setExpanded(viewIndex(node), node->expanded);
    for (int i = 0; i < node->childCount(); ++i)
        applyExpansion(node->child(i), openOnly);
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

bool TreePanel::finding() const
{
    return !m_filter->find().isEmpty();
}

void TreePanel::focusFindField()
{
    if (!m_findField->isEnabled())
        return;
    m_findField->setFocus(Qt::ShortcutFocusReason);
    m_findField->selectAll();
}

void TreePanel::setFindText(const QString &text)
{
    m_findField->setText(text);
}

void TreePanel::onFindTextChanged(const QString &text)
{
    TemplateNode *selected = selectedNode();
    m_matchesDue->stop();
    m_tree->setUpdatesEnabled(false);
    m_filter->setFindText(text); // a reset: the view opens what it shows, or the template's expansion
    m_matches = m_filter->matches();
    if (std::find(m_matches.begin(), m_matches.end(), selected) == m_matches.end() && !m_matches.empty())
        selected = m_matches.front();
    m_tree->setUpdatesEnabled(true);
    // The selection stays where it was when the filter keeps it; otherwise it moves to the first node
    // found, or back to the node the user had.
    if (selected && viewIndex(selected).isValid())
        selectNode(selected);
    else if (m_document.root())
        selectRoot();
    showFindStatus();
}

void TreePanel::refreshMatches()
{
    if (!finding())
        return;
    m_matches = m_filter->matches();
    showFindStatus();
}

void TreePanel::findNext()
{
    step(1);
}

void TreePanel::findPrevious()
{
    step(-1);
}

void TreePanel::step(int direction)
{
    if (!finding() || !m_tree->isEnabled())
        return;
    if (m_matchesDue->isActive()) {
        m_matchesDue->stop();
        refreshMatches();
    }
    if (m_matches.empty())
        return;
    const auto count = qsizetype(m_matches.size());
    qsizetype at = -1;
    // From the selected node in tree order: the next node found after it, or the last one before it.
    const TemplateNode *selected = selectedNode();
    const auto here = std::find(m_matches.begin(), m_matches.end(), selected);
    if (here != m_matches.end()) {
        at = (qsizetype(here - m_matches.begin()) + direction + count) % count;
    } else {
        QHash<const TemplateNode *, qsizetype> order;
        if (m_document.root())
            m_document.root()->forEach([&](TemplateNode *n) { order.insert(n, order.size()); });
        const qsizetype from = order.value(selected, -1);
        const auto before = [&](qsizetype position, const TemplateNode *n) { return position < order.value(n); };
        const auto after = [&](const TemplateNode *n, qsizetype position) { return order.value(n) < position; };
        if (direction > 0) {
            const auto next = std::upper_bound(m_matches.begin(), m_matches.end(), from, before);
            at = next == m_matches.end() ? 0 : qsizetype(next - m_matches.begin());
        } else {
            const auto first = std::lower_bound(m_matches.begin(), m_matches.end(), from, after);
            at = first == m_matches.begin() ? count - 1 : qsizetype(first - m_matches.begin()) - 1;
        }
    }
    selectNode(m_matches[size_t(at)]);
    showFindStatus();
}

void TreePanel::showFindStatus()
{
    if (!finding()) {
        emit findStatusChanged(QString());
        return;
    }
    if (m_matches.empty()) {
        emit findStatusChanged(QStringLiteral("No matches"));
        return;
    }
    const auto here = std::find(m_matches.begin(), m_matches.end(), selectedNode());
    const qsizetype number = here == m_matches.end() ? 0 : qsizetype(here - m_matches.begin()) + 1;
    emit findStatusChanged(QStringLiteral("%1 of %2 matches").arg(number).arg(m_matches.size()));
}

} // namespace kova
