#include "keywordtable.h"

#include <QFile>

#include <algorithm>
#include <string_view>

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
    // The views point into the words' shared text, which copies of the table keep alive unchanged.
    for (qsizetype i = 0; i < table.m_words.size(); ++i) {
        const QString &w = table.m_words.at(i);
        table.m_index.emplace(std::u16string_view(reinterpret_cast<const char16_t *>(w.constData()), size_t(w.size())),
                              i);
    }
    return table;
}

const KeywordTable &KeywordTable::standard()
{
    static const KeywordTable table = fromResource(QStringLiteral(":/kova/keywords.txt"));
    return table;
}

const QString *KeywordTable::find(QStringView upperWord) const
{
    const auto it = m_index.find(std::u16string_view(upperWord.utf16(), size_t(upperWord.size())));
    return it == m_index.end() ? nullptr : &m_words.at(it->second);
}

} // namespace kova
