#include "registrybrowser.h"

#include "registryimages.h"
#include "registryreader.h"
#include "registrytree.h"
#include "valuelist.h"

#include "registry/core/registrybackend.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kova {

RegistryBrowser::RegistryBrowser(clsReg &reg, const ActiveKeySource &activeKey, const RegistryImages &images,
                                 QWidget *parent)
    : QWidget(parent), m_activeKey(activeKey), m_reader(new RegistryReader(reg, this)), m_treeReg(new QTreeWidget),
      m_listReg(new QTreeWidget), m_pb10(new QProgressBar), m_label10(new QLabel),
      m_command10(new QPushButton(QStringLiteral("Refresh"))), m_problems(new QLabel),
      m_tree(new RegistryTree(m_treeReg, *m_reader, images, m_pb10, this)),
      m_values(new ValueList(m_listReg, *m_reader, images, m_pb10, this))
{
    m_treeReg->setObjectName(QStringLiteral("TreeReg"));
    m_listReg->setObjectName(QStringLiteral("ListReg"));
    m_pb10->setObjectName(QStringLiteral("PB10"));
    m_label10->setObjectName(QStringLiteral("Label10"));
    m_command10->setObjectName(QStringLiteral("Command10"));
    m_problems->setObjectName(QStringLiteral("StoreProblems"));

    m_treeReg->setHeaderHidden(true);
    m_treeReg->setColumnCount(1);
    m_treeReg->setUniformRowHeights(true);
    m_treeReg->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listReg->setHeaderHidden(false);
    m_pb10->setTextVisible(false);
    m_pb10->setRange(0, 1);
    m_pb10->setValue(0);
    m_label10->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_label10->setMinimumWidth(100);
    m_label10->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_problems->setWordWrap(true);
    m_problems->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problems->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_problems->hide();

    auto *split = new QSplitter(Qt::Horizontal);
    split->addWidget(m_treeReg);
    split->addWidget(m_listReg);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setChildrenCollapsible(false);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_label10, 1);
    bottom->addWidget(m_pb10);
    bottom->addWidget(m_command10);
    m_pb10->setFixedWidth(160);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(m_problems);
    layout->addLayout(bottom);

    connect(m_command10, &QPushButton::clicked, this, &RegistryBrowser::RefreshRegistryBrowser);
    // "Refresh" is the page's default button: Enter anywhere on the page presses it.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WidgetWithChildrenShortcut);
        connect(enter, &QShortcut::activated, m_command10, &QPushButton::click);
    }
    connect(m_treeReg, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { ShowKeyValues(item); });
    connect(m_reader, &RegistryReader::problemFound, this, &RegistryBrowser::showProblem);
}

RegistryBrowser::~RegistryBrowser() = default;

void RegistryBrowser::showProblem(const QString &description)
{
    m_problems->setText(m_reader->problems().join(u'\n'));
    m_problems->setVisible(!m_reader->problems().isEmpty());
    Q_UNUSED(description);
}

void RegistryBrowser::RefreshRegistryBrowser()
{
    m_reader->forgetProblems();
    m_problems->clear();
    m_problems->hide();
    m_treeReg->hide();
    m_listReg->hide();
    m_treeReg->clear();
    m_values->clear();

    QTreeWidgetItem *machine = m_tree->addHive(Hive::LocalMachine);
    m_treeReg->setCurrentItem(machine);
    machine->setExpanded(true);
    m_tree->addHive(Hive::CurrentUser)->setExpanded(true);

    if (!m_columnsSet) {
        m_values->setUpColumns();
        m_columnsSet = true;
    }

    m_walkedTarget.clear();
    m_walkedTo.clear();
    const QString shownBefore = m_label10->text();
    m_label10->clear();
    walkTo(shownBefore);

    ShowKeyValues(m_treeReg->currentItem());
    m_treeReg->show();
    m_listReg->show();
    m_values->fitDataColumn();
}

void RegistryBrowser::GotoRegistryKey(bool reset)
{
    if (reset) {
        m_label10->clear();
        m_walkedTarget.clear();
        m_walkedTo.clear();
    }
    const QString active = m_activeKey.activeKeyText();
    if (m_label10->text() == active)
        return;
    if (active == m_walkedTarget && m_label10->text() == m_walkedTo)
        return; // the last walk went as far as this key exists; nothing changed since
    walkTo(active);
}

void RegistryBrowser::walkTo(const QString &target)
{
    m_tree->walk(target, [this](QTreeWidgetItem *node) { ShowKeyValues(node); });
    m_walkedTarget = target;
    m_walkedTo = m_label10->text();
}

void RegistryBrowser::ShowKeyValues(QTreeWidgetItem *node)
{
    if (!node || RegistryTree::isPlaceholder(node))
        return;
    const DecodedNodeKey d = decodeNodeKey(RegistryTree::nodeKey(node));
    m_values->fill(d.hive, d.section);
    m_label10->setText(RegistryNodePath());
}

QString RegistryBrowser::RegistryNodePath() const
{
    QString path;
    for (const QTreeWidgetItem *item = m_treeReg->currentItem(); item; item = item->parent())
        path.prepend(item->text(0) + u'\\');
    if (!path.trimmed().isEmpty())
        path.chop(1);
    return path;
}

void RegistryBrowser::pageEntered()
{
    QCoreApplication::processEvents();
    m_treeReg->show();
    m_listReg->show();
    GotoRegistryKey(false);
    m_treeReg->setFocus();
}

void RegistryBrowser::pageLeft()
{
    m_treeReg->hide();
    m_listReg->hide();
}

} // namespace kova
