#include "frmregkey.h"

#include "modalrunner.h"
#include "registryreader.h"
#include "registrytree.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kova {

void placeAtEdge(QWidget *picker, const QWidget *window)
{
    if (!window)
        return;
    const QRect frame = window->frameGeometry();
    QPoint at(frame.right() + 1, frame.top());
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        const QSize size = picker->frameGeometry().size();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - size.width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - size.height())));
    }
    picker->move(at);
}

void setUpPicker(QDialog &picker, QTreeWidget &list, QLabel &problems, QPushButton &select, QPushButton &cancel,
                 const RegistryReader &reader, QString &answer, QSize size)
{
    problems.setObjectName(QStringLiteral("StoreProblems"));
    problems.setWordWrap(true);
    problems.setStyleSheet(QStringLiteral("color: #a00000;"));
    problems.hide();
    select.setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(&select);
    buttons->addWidget(&cancel);
    auto *layout = new QVBoxLayout(&picker);
    layout->addWidget(&list, 1);
    layout->addWidget(&problems);
    layout->addLayout(buttons);
    picker.resize(size);

    QObject::connect(&cancel, &QPushButton::clicked, &picker, [&picker, &answer] {
        answer.clear();
        picker.reject();
    });
    QObject::connect(&list, &QTreeWidget::itemDoubleClicked, &select, &QPushButton::click);
    QObject::connect(&reader, &RegistryReader::problemFound, &picker, [&problems, &reader] {
        problems.setText(reader.problems().join(u'\n'));
        problems.show();
    });
}

frmRegKey::frmRegKey(clsReg &reg, const RegistryImages &images, QWidget *edge)
    : QDialog(edge), m_reader(new RegistryReader(reg, this)), m_edge(edge), m_keyNames(new QTreeWidget),
      m_select(new QPushButton(QStringLiteral("Select"))), m_cancel(new QPushButton(QStringLiteral("Cancel"))),
      m_problems(new QLabel), m_tree(new RegistryTree(m_keyNames, *m_reader, images, nullptr, this))
{
    setObjectName(QStringLiteral("frmRegKey"));
    setWindowTitle(QStringLiteral("Select key name"));
    m_keyNames->setObjectName(QStringLiteral("KeyNames"));
    m_keyNames->setHeaderHidden(true);
    m_keyNames->setUniformRowHeights(true);
    setUpPicker(*this, *m_keyNames, *m_problems, *m_select, *m_cancel, *m_reader, m_answer, QSize(420, 480));
    connect(m_select, &QPushButton::clicked, this, [this] {
        m_answer = keyPathOf(m_keyNames->currentItem());
        accept();
    });
}

frmRegKey::~frmRegKey() = default;

QString frmRegKey::keyPathOf(const QTreeWidgetItem *item)
{
    if (!item || RegistryTree::isHive(item) || RegistryTree::isPlaceholder(item))
        return QString();
    QStringList parts{item->text(0)};
    for (const QTreeWidgetItem *up = item->parent(); up && !RegistryTree::isHive(up); up = up->parent())
        parts.prepend(up->text(0));
    return parts.join(u'\\');
}

void frmRegKey::fill()
{
    placeAtEdge(this, m_edge);
    m_keyNames->clear();
    const qint32 hive = hiveFromName(m_class);
    if (hive == 0)
        return;
    QTreeWidgetItem *root = m_tree->addHive(hive);
    m_keyNames->setCurrentItem(root);
    root->setExpanded(true);
    m_tree->walk(m_key, {});
}

QString frmRegKey::GetSectionClassKey(ModalRunner &runner)
{
    m_answer.clear();
    fill();
    runner.run(*this);
    return m_answer;
}

QString RegistryKeyPicker::pickKey(const QString &root, const QString &startKey)
{
    frmRegKey form(m_reg, m_images, m_edge);
    form.setRegistryClass(root);
    form.setRegistryKey(startKey);
    return form.GetSectionClassKey(m_runner);
}

} // namespace kova
