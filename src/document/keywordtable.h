#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace kova {

// The ADM keywords, upper case, sorted by character code. The standard table is read once from the
// program's resources: the count, then the words in order.
class KeywordTable
{
public:
    // Fails (an empty table) when the resource is missing or its count does not match its words.
    static KeywordTable fromResource(const QString &resourcePath);
    // The program's 47 keywords, read on first use.
    static const KeywordTable &standard();

    int count() const { return int(m_words.size()); }
    // The keyword at 1-based position i (slot 0 of the resource holds the count).
    QString at(int i) const { return m_words.value(i - 1); }
    bool contains(QStringView upperWord) const { return find(upperWord) != nullptr; }
    // The table's own copy of the keyword, or nullptr.
    const QString *find(QStringView upperWord) const;

private:
    QStringList m_words;
    // Every bare word of a template is looked up, so the lookup only compares the few words that share
    // its first character: the sorted words that begin with an ASCII character c are the positions
    // m_firstOf[c] up to m_firstOf[c + 1].
    std::array<qsizetype, 129> m_firstOf{};
};

} // namespace kova
