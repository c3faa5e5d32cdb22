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
    // Sorted words begin with non-decreasing characters (an empty word sorts first): count the words
    // before each first character.
    const QStringList &words = table.m_words;
    qsizetype w = 0;
    for (int c = 0; c <= 128; ++c) {
        while (w < words.size() && (words.at(w).isEmpty() || words.at(w).front().unicode() < c))
            ++w;
        table.m_firstOf[size_t(c)] = w;
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
    if (upperWord.isEmpty())
        return !m_words.isEmpty() && m_words.front().isEmpty() ? &m_words.front() : nullptr;
    const char16_t first = upperWord.front().unicode();
    const qsizetype from = first < 128 ? m_firstOf[first] : m_firstOf[128];
    const qsizetype to = first < 128 ? m_firstOf[first + 1u] : m_words.size();
    for (qsizetype i = from; i < to; ++i) {
        const QString &word = m_words.at(i);
        if (word.size() == upperWord.size() && std::equal(word.begin(), word.end(), upperWord.begin()))
            return &word;
    }
    return nullptr;
}

} // namespace kova
