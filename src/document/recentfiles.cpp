#include "recentfiles.h"

#include "preferences.h"

namespace kova {

RecentFiles::RecentFiles(Preferences &preferences, QObject *parent)
    : QObject(parent), m_preferences(preferences), m_items(kCount)
{}

void RecentFiles::load()
{
    for (int i = 1; i <= kCount; ++i)
        m_items[i - 1] = m_preferences.recentFile(i);
    emit changed();
}

bool RecentFiles::hasEntries() const
{
    return std::any_of(m_items.begin(), m_items.end(), [](const QString &s) { return !s.isEmpty(); });
}

void RecentFiles::AddRecentFile(const QString &path)
{
    if (path.toLower().contains(u".tmp"))
        return;
    QStringList items{path};
    for (const QString &caption : std::as_const(m_items))
        if (!caption.isEmpty() && caption != path)
            items.append(caption);
    items.resize(kCount);
    m_items = items;
    store();
}

void RecentFiles::RemoveRecentFile(const QString &path)
{
    const qsizetype i = m_items.indexOf(path);
    if (i < 0 || path.isEmpty())
        return;
    m_items.removeAt(i);
    m_items.append(QString());
    store();
}

void RecentFiles::store()
{
    for (int i = 1; i <= kCount; ++i)
        m_preferences.setRecentFile(i, m_items.at(i - 1));
    emit changed();
}

} // namespace kova
