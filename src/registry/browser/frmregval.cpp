#include "frmregval.h"

#include "frmregkey.h"
#include "modalrunner.h"
#include "registryreader.h"
#include "registrytree.h"
#include "valuelist.h"

#include "document/nodekeys.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

namespace kova {

frmRegVal::frmRegVal(clsReg &reg, const RegistryImages &images, QWidget *edge)
    : QDialog(edge), m_reader(new RegistryReader(reg, this)), m_edge(edge), m_valueNames(new QTreeWidget),
      m_select(new QPushButton(QStringLiteral("Select"))), m_cancel(new QPushButton(QStringLiteral("Cancel"))),
      m_problems(new QLabel), m_copyMenu(new QMenu(this)),
      m_copy(m_copyMenu->addAction(QStringLiteral("Copy value to clipboard"))),
      m_values(new ValueList(m_valueNames, *m_reader, images, nullptr, this))
{
    setObjectName(QStringLiteral("frmRegVal"));
    setWindowTitle(QStringLiteral("Select value name/value"));
    m_valueNames->setObjectName(QStringLiteral("ValueNames"));
    m_valueNames->setToolTip(QStringLiteral("Right click on entry to copy value to clipboard"));
    m_valueNames->setContextMenuPolicy(Qt::CustomContextMenu);
    m_copyMenu->setObjectName(QStringLiteral("CopyMenu"));
    m_copy->setObjectName(QStringLiteral("Copy2Clipboard"));
    setUpPicker(*this, *m_valueNames, *m_problems, *m_select, *m_cancel, *m_reader, m_answer, QSize(560, 360));
    connect(m_select, &QPushButton::clicked, this, [this] {
        const QTreeWidgetItem *row = m_valueNames->currentItem();
        m_answer = row ? row->text(0) : QString();
        accept();
    });
    connect(m_valueNames, &QWidget::customContextMenuRequested, this, &frmRegVal::openCopyMenu);
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_M), this);
    connect(shortcut, &QShortcut::activated, this, [this] {
        const QTreeWidgetItem *row = m_valueNames->currentItem();
        if (row)
            openCopyMenu(m_valueNames->visualItemRect(row).bottomLeft());
    });
    connect(m_copy, &QAction::triggered, this, [this] {
        if (const QTreeWidgetItem *row = m_valueNames->currentItem())
            QGuiApplication::clipboard()->setText(Unquote(row->text(1)));
    });
}

frmRegVal::~frmRegVal() = default;

void frmRegVal::openCopyMenu(const QPoint &pos)
{
    if (!m_valueNames->currentItem() || !m_valueNames->currentItem()->isSelected())
        return;
    m_copyMenu->popup(m_valueNames->viewport()->mapToGlobal(pos));
}

void frmRegVal::fill()
{
    placeAtEdge(this, m_edge);
    m_values->setUpColumns();
    m_values->fill(hiveFromName(m_class), m_key);
    const QString wanted = m_preselect.isEmpty() ? ValueList::DefaultName : m_preselect;
    for (int i = 0; i < m_valueNames->topLevelItemCount(); ++i) {
        QTreeWidgetItem *row = m_valueNames->topLevelItem(i);
        if (row->text(0) == wanted) {
            m_valueNames->setCurrentItem(row);
            m_valueNames->scrollToItem(row);
            break;
        }
    }
}

QString frmRegVal::RegistryValueName(ModalRunner &runner)
{
    m_answer.clear();
    fill();
    runner.run(*this);
    return m_answer;
}

QString RegistryValuePicker::pickValue(const QString &root, const QString &preselect, const QString &key)
{
    frmRegVal form(m_reg, m_images, m_edge);
    form.setRegistryClass(root);
    form.setRegistryValueName(preselect);
    form.setRegistryKeyName(key);
    return form.RegistryValueName(m_runner);
}

} // namespace kova
