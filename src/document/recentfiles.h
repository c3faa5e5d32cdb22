#pragma once

#include <QObject>
#include <QStringList>

namespace kova {

class Preferences;

// The four recent-file items (item 1 newest). Items may be empty; an empty item is not shown.
class RecentFiles : public QObject
{
    Q_OBJECT

public:
    static constexpr int kCount = 4;

    explicit RecentFiles(Preferences &preferences, QObject *parent = nullptr);

    // Reads "Bestand1" to "Bestand4".
    void load();
    // Caption of item 1 to 4.
    QString item(int item) const { return m_items.value(item - 1); }
    const QStringList &items() const { return m_items; }
    bool hasEntries() const;

    // The path becomes item 1 (temporary files, whose names hold ".tmp", never enter the list).
    void AddRecentFile(const QString &path);
    // Drops the item with that caption; the items after it move up.
    void RemoveRecentFile(const QString &path);

signals:
    void changed();

private:
    void store();

    Preferences &m_preferences;
    QStringList m_items;
};

} // namespace kova
