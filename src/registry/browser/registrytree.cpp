#include "registrytree.h"

#include "registryimages.h"
#include "registryreader.h"

#include "registry/core/registrybackend.h"

#include <QApplication>
#include <QProgressBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace kova {

const QString RegistryTree::Placeholder = QStringLiteral("Unexpanded");

QString hiveNodeKey(qint32 hive)
{
    return u'K' + QString::number(hive);
}

QString childNodeKey(const QString &parentKey, const QString &name)
{
    const QString prefix = parentKey.contains(u',') ? parentKey : parentKey + u',';
    return prefix + u'\\' + name;
}

DecodedNodeKey decodeNodeKey(const QString &nodeKey)
{
    DecodedNodeKey d;
    const qsizetype comma = nodeKey.indexOf(u',');
    if (comma < 0) {
        d.hive = nodeKey.mid(1).toInt();
        d.childPrefix = nodeKey + u',';
        return d;
    }
    d.hive = nodeKey.mid(1, comma - 1).toInt();
    d.section = nodeKey.mid(comma + 2);
    d.childPrefix = nodeKey;
    return d;
}

qint32 hiveFromName(const QString &name)
{
    if (name == u"HKEY_LOCAL_MACHINE")
        return Hive::LocalMachine;
    if (name == u"HKEY_CURRENT_USER")
        return Hive::CurrentUser;
    return 0;
}

QString hiveName(qint32 hive)
{
    if (hive == Hive::LocalMachine)
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    if (hive == Hive::CurrentUser)
        return QStringLiteral("HKEY_CURRENT_USER");
    return QString();
}

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

ReadProgress::ReadProgress(QProgressBar *bar, int total) : m_bar(bar)
{
    if (m_bar) {
        m_bar->setRange(0, total);
        m_bar->setValue(total);
    }
}

ReadProgress::~ReadProgress()
{
    if (m_bar)
        m_bar->setValue(0);
}

void ReadProgress::step(int remaining)
{
    if (!m_throttle.due())
        return;
    if (m_bar)
        m_bar->setValue(remaining);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

RegistryTree::RegistryTree(QTreeWidget *tree, RegistryReader &reader, const RegistryImages &images, QProgressBar *bar,
                           QObject *parent)
    : QObject(parent), m_tree(tree), m_reader(reader), m_images(images), m_bar(bar)
{
    connect(m_tree, &QTreeWidget::itemExpanded, this, &RegistryTree::ExpandRegistryNode);
    connect(m_tree, &QTreeWidget::itemCollapsed, this, &RegistryTree::CollapseRegistryNode);
}

bool RegistryTree::isPlaceholder(const QTreeWidgetItem *item)
{
    return item && item->data(0, NodeKeyRole).isNull() && item->text(0) == Placeholder;
}

bool RegistryTree::isHive(const QTreeWidgetItem *item)
{
    return item && !isPlaceholder(item) && !nodeKey(item).contains(u',');
}

QString RegistryTree::nodeKey(const QTreeWidgetItem *item)
{
    return item ? item->data(0, NodeKeyRole).toString() : QString();
}

void RegistryTree::setImage(QTreeWidgetItem *item, const QString &name)
{
    item->setIcon(0, m_images.icon(name));
    item->setData(0, ImageRole, name);
}

QTreeWidgetItem *RegistryTree::newNode(const QString &text, const QString &key, const QString &image)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, NodeKeyRole, key);
    setImage(item, image);
    return item;
}

QTreeWidgetItem *RegistryTree::addHive(qint32 hive)
{
    QTreeWidgetItem *item = newNode(hiveName(hive), hiveNodeKey(hive),
                                    hive == Hive::CurrentUser ? QStringLiteral("user") : QStringLiteral("machine"));
    item->addChild(new QTreeWidgetItem(QStringList{Placeholder}));
    m_tree->addTopLevelItem(item);
    return item;
}

bool RegistryTree::HasSubKeys(const QString &nodeKey)
{
    const DecodedNodeKey d = decodeNodeKey(nodeKey);
    return !m_reader.subkeys(d.hive, d.section).isEmpty();
}

void RegistryTree::ExpandRegistryNode(QTreeWidgetItem *node)
{
    if (!node || isPlaceholder(node))
        return;
    const WaitCursor wait;
    if (node->childCount() > 0 && isPlaceholder(node->child(0))) {
        delete node->takeChild(0);
        const DecodedNodeKey d = decodeNodeKey(nodeKey(node));
        QStringList names = m_reader.subkeys(d.hive, d.section);
        // Alphabetical without regard to case; names that differ only in case keep a fixed order.
        std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            const int c = a.compare(b, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a < b;
        });
        const int n = int(names.size());
        if (n >= 1) {
            ReadProgress progress(m_bar, n);
            QList<QTreeWidgetItem *> children;
            children.reserve(n);
            for (int i = 1; i <= n; ++i) {
                progress.step(n - i);
                const QString key = d.childPrefix + u'\\' + names.at(i - 1);
                QTreeWidgetItem *child = newNode(names.at(i - 1), key, QStringLiteral("closedfolder"));
                if (HasSubKeys(key))
                    child->addChild(new QTreeWidgetItem(QStringList{Placeholder}));
                children.append(child);
            }
            node->addChildren(children);
        }
    }
    if (!isHive(node))
        setImage(node, QStringLiteral("openfolder"));
}

void RegistryTree::CollapseRegistryNode(QTreeWidgetItem *node)
{
    if (node && !isHive(node) && !isPlaceholder(node))
        setImage(node, QStringLiteral("closedfolder"));
}

void RegistryTree::reach(QTreeWidgetItem *item, const std::function<void(QTreeWidgetItem *)> &reached)
{
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
    if (item->isExpanded())
        ExpandRegistryNode(item); // no signal for a node already open; reading is still due
    else
        item->setExpanded(true);
    if (reached)
        reached(item);
}

void RegistryTree::walk(const QString &target, const std::function<void(QTreeWidgetItem *)> &reached)
{
    QString path = target;
    if (!path.endsWith(u'\\'))
        path += u'\\';
    QStringList parts = path.toLower().split(u'\\');
    parts.removeLast(); // what follows the final "\" names nothing

    QTreeWidgetItem *first = nullptr;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if (!isPlaceholder(*it) && (*it)->text(0).toLower() == parts.at(0)) {
            first = *it;
            break;
        }
    }
    if (first)
        reach(first, reached);

    for (qsizetype level = 1; level < parts.size(); ++level) {
        QTreeWidgetItem *current = m_tree->currentItem();
        if (!current || current->childCount() == 0)
            return;
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; i < current->childCount(); ++i) {
            QTreeWidgetItem *child = current->child(i);
            if (!isPlaceholder(child) && child->text(0).toLower() == parts.at(level)) {
                next = child;
                break;
            }
        }
        if (!next)
            return;
        reach(next, reached);
    }
}

} // namespace kova
