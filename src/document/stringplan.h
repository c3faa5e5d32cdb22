#pragma once

// What writing with strings on does to the node lines: which quoted texts become entries of the
// generated string table, in which order, and which reference takes each text's place.

#include "bulkmemory.h"

#include <QString>

#include <deque>
#include <string>
#include <vector>

namespace kova {

class NodeTextTable;

// The first quoted text of a line, quotes included; a null view when the line holds no pair.
QStringView firstQuoted(QStringView line);

// A stored line that holds a quoted text. Lines are counted slot by slot, in line order, so a writer
// that walks one slot's lines in order can find its own.
struct QuotedLine
{
    qint32 at; // the line's first quoted text, quotes included, as a place in its slot's text
    qint32 size;
    qint32 position; // while planning the entry's index, then its table position; 0: the text stays
    char16_t prefix;
};

// An entry of the generated table: its prefix letter and its quoted text.
struct TableEntry
{
    char16_t prefix;
    QStringView text; // quoted, in the slot it was first met in
};

// The generated table in order, and every quoted line of the table's slots.
struct StringPlan
{
    std::vector<TableEntry> table;
    BulkVector<QuotedLine> lines;
    std::vector<size_t> firstLineOfSlot; // index of each slot's first quoted line; one more at the end
    // Copies of entry texts met in slots kept a byte a character, which have no UTF-16 text to view.
    std::deque<std::u16string> copies;
};

// Each distinct entry (prefix letter and quoted text, case ignored) is kept once, as first met in slot
// order, and the table is sorted by the lower-cased entries in code-unit order. An empty text ("")
// stays in its line. Entry texts view the table's slot texts (or the plan's copies), so the table must
// not change while the plan is in use.
StringPlan planStrings(const NodeTextTable &texts);

} // namespace kova
