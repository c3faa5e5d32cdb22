#pragma once

#include "registry/core/regconversion.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace kova {

class RegistryImages;
class RegistryReader;

// Where a tree node's key points: the hive, the path below it, and what a child's node key starts with.
struct DecodedNodeKey
{
    qint32 hive = 0;
    QString section;
    QString childPrefix;
};

// Node keys: "K" and the hive handle in decimal for a hive ("K-2147483646"), then ",\" and the
// key path below it for a key ("K-2147483646,\SOFTWARE\Policies").
QString hiveNodeKey(qint32 hive);
QString childNodeKey(const QString &parentKey, const QString &name);
DecodedNodeKey decodeNodeKey(const QString &nodeKey);
// "HKEY_LOCAL_MACHINE" / "HKEY_CURRENT_USER" and their handles; 0 and "" for anything else.
qint32 hiveFromName(const QString &name);
QString hiveName(qint32 hive);

// The tree rules the browser and the key picker share: hive nodes, the "Unexpanded" placeholder of a
// key whose subkeys are not read yet, reading them on expansion, the folder pictures and the walk to a
// key path. Each item keeps its node key under NodeKeyRole and its picture's name under ImageRole.
class RegistryTree : public QObject
{
    Q_OBJECT

public:
    static constexpr int NodeKeyRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;
    static const QString Placeholder; // "Unexpanded"

    // bar may be null (the picker shows none). The tree's expand and collapse signals run the rules.
    RegistryTree(QTreeWidget *tree, RegistryReader &reader, const RegistryImages &images, QProgressBar *bar,
                 QObject *parent = nullptr);

    QTreeWidget *widget() const { return m_tree; }
    // A hive node with its placeholder child, added at the top level.
    QTreeWidgetItem *addHive(qint32 hive);

    void ExpandRegistryNode(QTreeWidgetItem *node);
    void CollapseRegistryNode(QTreeWidgetItem *node);
    bool HasSubKeys(const QString &nodeKey);

    // Walks to target ("HKEY_LOCAL_MACHINE\Software\X", or a path below the hive for the picker): the
    // first node anywhere in the tree named like its first part, then child by child, comparing in
    // lower case; each node reached is selected, scrolled to, expanded and handed to reached. Ends on
    // the deepest existing key.
    void walk(const QString &target, const std::function<void(QTreeWidgetItem *)> &reached);

    static bool isPlaceholder(const QTreeWidgetItem *item);
    static bool isHive(const QTreeWidgetItem *item);
    static QString nodeKey(const QTreeWidgetItem *item);

private:
    void setImage(QTreeWidgetItem *item, const QString &name);
    void reach(QTreeWidgetItem *item, const std::function<void(QTreeWidgetItem *)> &reached);
    QTreeWidgetItem *newNode(const QString &text, const QString &key, const QString &image);

    QTreeWidget *m_tree;
    RegistryReader &m_reader;
    const RegistryImages &m_images;
    QProgressBar *m_bar;
};

// Shows the wait cursor for as long as it lives.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Moves a progress bar through a long read and lets the window repaint every few milliseconds
// (input waits until the read is done); the bar ends at 0. A null bar only lets the window repaint.
class ReadProgress
{
public:
    ReadProgress(QProgressBar *bar, int total);
    ~ReadProgress();
    ReadProgress(const ReadProgress &) = delete;
    ReadProgress &operator=(const ReadProgress &) = delete;
    void step(int remaining);

private:
    QProgressBar *m_bar;
    Throttle m_throttle;
};

} // namespace kova
