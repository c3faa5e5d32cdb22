#pragma once

#include <QString>

#include <string>
#include <vector>

namespace kova {

class Prompter;

// Rewrites one [strings] line into its normal form: name "=" double quote, text, double quote, with
// the blanks around name and value and just inside the quotes gone and every TAB made a blank.
// A line without "=" is fatal: the critical message is shown and false returned.
// With wholeQuotedText (the newer statements) a value runs from its first to its last double quote,
// as template generators write texts that quote words; a stored text holds no double quote, so each
// inner one becomes a typographic quote (an opening one after a blank or at the start of a word).
bool NormaliseStringEntry(QString &line, Prompter &prompter, bool wholeQuotedText = false);

// The [strings] entries of the template being loaded, in normal form. Lookups are binary searches,
// so the table is sorted once (SortStringTable) after the file is read and before any lookup.
class StringTable
{
public:
    void append(const QString &entry);
    int size() const { return int(m_entries.size()); }
    // 1-based, as the loader numbers them.
    const QString &at(int i) const { return m_entries.at(size_t(i - 1)).entry; }

    // Sorts ascending by the lower-cased entry name (a lookup compares nothing else).
    void SortStringTable();
    // The quoted text (quotes included) of the entry named name, compared without regard to case;
    // a null view when there is none. Valid while the table lives.
    QStringView lookup(QStringView name) const;

private:
    struct Entry
    {
        std::u16string lowerName; // lower-cased name followed by "="
        QString entry;
    };
    std::vector<Entry> m_entries;
};

} // namespace kova
