#include "keywordtable.h"

#include <QFile>

#include <algorithm>

namespace kova {

KeywordTable KeywordTable::fromResource(const QString &resourcePath)
{
    KeywordTable table;
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return table;
    const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return table;
    bool ok = false;
    const int count = lines.first().trimmed().toInt(&ok);
    if (!ok || count != lines.size() - 1)
        return table;
    for (int i = 1; i <= count; ++i)
        table.m_words.append(lines[i].trimmed());
    if (!std::is_sorted(table.m_words.begin(), table.m_words.end()))
        table.m_words.clear();
    return table;
}

const KeywordTable &KeywordTable::standard()
{
    static const KeywordTable table = fromResource(QStringLiteral(":/kova/keywords.txt"));
    return table;
}

const QString *KeywordTable::find(QStringView upperWord) const
{
    const auto it = std::lower_bound(m_words.begin(), m_words.end(), upperWord,
                                     [](const QString &a, QStringView b) { return QStringView(a) < b; });
    return it != m_words.end() && *it == upperWord ? &*it : nullptr;
}

} // namespace kova
