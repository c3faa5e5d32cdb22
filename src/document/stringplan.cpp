#include "stringplan.h"

#include "nodetext.h"
#include "nodetextviews.h"
#include "stringviews.h"
#include "writer.h"

#include <algorithm>
#include <array>
#include <deque>

namespace kova {

// The first quoted text of a line, quotes included; a null view when the line holds no pair.
QStringView firstQuoted(QStringView line)
{
    // Lines are short: a plain loop beats a vectorised search here.
    const char16_t *data = line.utf16();
    const qsizetype n = line.size();
    qsizetype q1 = 0;
    while (q1 < n && data[q1] != u'"')
        ++q1;
    qsizetype q2 = q1 + 1;
    while (q2 < n && data[q2] != u'"')
        ++q2;
    return q2 < n ? line.mid(q1, q2 - q1 + 1) : QStringView();
}

namespace {

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// How many packed numbers of each entry's beginning are worked out when it is first met, while its
// text is at hand: reaching into every entry's text again later mostly waits for memory.
constexpr size_t kPackedAhead = 4;

// Units from position from of a key, lower-cased, each one more than its value and 0 past the end (so
// that a key sorts before every longer one it begins), packed bits wide into one number, first unit
// highest: comparing the numbers compares that stretch of the keys.
quint64 packUnits(std::u16string_view key, size_t from, int bits)
{
    quint64 packed = 0;
    for (size_t k = from; k < from + size_t(64 / bits); ++k)
        packed = packed << bits | (k < key.size() ? quint64(asciiLower(key[k])) + 1 : 0);
    return packed;
}

// One distinct entry, case ignored. Its key is the quoted text as met when that is ASCII, else the
// text lower-cased in full; either way comparing keys unit by unit with ASCII letters lowered
// compares the lower-cased entries.
struct Candidate
{
    std::u16string_view key;
    QStringView text;
    quint32 hash;
    char16_t prefix;
    int position = 0;
    std::array<quint64, kPackedAhead> ahead; // packed eight bits a unit, good while every unit is below 0xFF
};

bool sameEntry(const Candidate &a, char16_t prefix, std::u16string_view key)
{
    if (a.prefix != prefix || a.key.size() != key.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (asciiLower(a.key[i]) != asciiLower(key[i]))
            return false;
    return true;
}

// Sorts entry indices into code-unit order of the lower-cased entries, prefix letter first. Entries
// share long beginnings ("Software\Policies\..."), so rather than compare whole texts again and again
// they are sorted a stretch at a time, packed into one number: by their first units, then each run
// that agrees so far by the next ones, and so on. Eight units fit when every unit is below 0xFF, as
// in nearly all templates; three otherwise. highest is the highest lower-cased unit of any key.
void sortEntries(std::vector<int> &order, const BulkVector<Candidate> &candidates, char16_t highest)
{
    struct Item
    {
        quint64 digit; // what the current round sorts by
        std::array<quint64, kPackedAhead> ahead;
        std::u16string_view key;
        int index;
    };
    const int bits = highest < 0xFF ? 8 : 21;
    const size_t perDigit = size_t(64 / bits);
    const quint64 lastUnitMask = (quint64(1) << bits) - 1;
    BulkVector<Item> items(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const Candidate &c = candidates[size_t(order[i])];
        items[i] = {c.prefix, c.ahead, c.key, order[i]};
        if (bits != 8)
            for (size_t d = 0; d < kPackedAhead; ++d)
                items[i].ahead[d] = packUnits(c.key, d * perDigit, bits);
    }
    const auto byDigit = [](const Item &a, const Item &b) { return a.digit < b.digit; };
    struct Range
    {
        size_t begin;
        size_t end;
        size_t round;
    };
    std::vector<Range> pending;
    // Queues every run of equal digits in [begin, end) that still has units to compare.
    const auto queueRuns = [&](size_t begin, size_t end, size_t round, bool ofKey) {
        for (size_t from = begin; from < end;) {
            size_t to = from + 1;
            while (to < end && items[to].digit == items[from].digit)
                ++to;
            const bool ended = ofKey && (items[from].digit & lastUnitMask) == 0;
            if (to - from > 1 && !ended)
                pending.push_back({from, to, round});
            from = to;
        }
    };
    // The prefix letter decides first; it is not part of the key.
    std::sort(items.begin(), items.end(), byDigit);
    queueRuns(0, items.size(), 0, false);
    while (!pending.empty()) {
        const Range r = pending.back();
        pending.pop_back();
        for (size_t i = r.begin; i < r.end; ++i)
            items[i].digit =
                r.round < kPackedAhead ? items[i].ahead[r.round] : packUnits(items[i].key, r.round * perDigit, bits);
        std::sort(items.begin() + qsizetype(r.begin), items.begin() + qsizetype(r.end), byDigit);
        queueRuns(r.begin, r.end, r.round + 1, true);
    }
    for (size_t i = 0; i < items.size(); ++i)
        order[i] = items[i].index;
}

// The distinct entries met so far, found by hash (open addressing, kept at most half full).
class CandidateSet
{
public:
    CandidateSet() : m_slots(1024, Slot{0, -1}) {}

    // The index of the entry equal to (prefix, key), added as new when there is none.
    int findOrAdd(char16_t prefix, std::u16string_view key, QStringView text)
    {
        quint32 hash = 2166136261u ^ prefix;
        for (const char16_t c : key)
            hash = (hash ^ asciiLower(c)) * 16777619u;
        size_t i = hash & (m_slots.size() - 1);
        for (; m_slots[i].index >= 0; i = (i + 1) & (m_slots.size() - 1))
            if (m_slots[i].hash == hash && sameEntry(candidates[size_t(m_slots[i].index)], prefix, key))
                return m_slots[i].index;
        const int index = int(candidates.size());
        Candidate &added = candidates.emplace_back(Candidate{key, text, hash, prefix, 0, {}});
        for (size_t d = 0; d < kPackedAhead; ++d)
            added.ahead[d] = packUnits(key, d * 8, 8);
        for (const char16_t c : key)
            highest = std::max(highest, asciiLower(c));
        m_slots[i] = {hash, index};
        if (candidates.size() * 2 > m_slots.size())
            grow();
        return index;
    }

    BulkVector<Candidate> candidates;
    char16_t highest = 0; // the highest lower-cased unit of any key

private:
    void grow()
    {
        m_slots.assign(m_slots.size() * 2, Slot{0, -1});
        for (size_t k = 0; k < candidates.size(); ++k) {
            size_t i = candidates[k].hash & (m_slots.size() - 1);
            while (m_slots[i].index >= 0)
                i = (i + 1) & (m_slots.size() - 1);
            m_slots[i] = {candidates[k].hash, int(k)};
        }
    }

    // The hash beside the index, so that most mismatches are seen without visiting the entry.
    struct Slot
    {
        quint32 hash;
        int index;
    };
    BulkVector<Slot> m_slots;
};

// Points a new entry at a copy of its text that outlives the scratch string it was read from.
void keepCopy(Candidate &entry, std::deque<std::u16string> &copies)
{
    const bool keyIsText = entry.key.data() == entry.text.utf16();
    if (copies.empty() || copies.back().capacity() - copies.back().size() < size_t(entry.text.size()))
        copies.emplace_back().reserve(std::max<size_t>(size_t(1) << 16, size_t(entry.text.size())));
    std::u16string &block = copies.back(); // filled only within its capacity, so it never moves
    const size_t at = block.size();
    block.append(sv(entry.text));
    entry.text = QStringView(block.data() + at, entry.text.size());
    if (keyIsText)
        entry.key = sv(entry.text);
}

bool isAscii(QStringView text)
{
    char16_t any = 0;
    for (const QChar c : text)
        any |= c.unicode();
    return any < 0x80;
}

} // namespace

StringPlan planStrings(const NodeTextTable &texts)
{
    // Each distinct entry (case ignored) is kept once, as first met in slot order: the entry a stable
    // sort followed by dropping equal neighbours would keep.
    CandidateSet set;
    std::deque<std::u16string> loweredKeys; // keys of entries that are not ASCII; a deque keeps them in place
    StringPlan plan;
    plan.firstLineOfSlot.resize(size_t(texts.highestSlot()) + 2);
    std::u16string scratch;
    for (int slot = 1; slot <= texts.highestSlot(); ++slot) {
        plan.firstLineOfSlot[size_t(slot)] = plan.lines.size();
        const QStringView slotText = NodeTextViews::at(texts, slot, scratch);
        forEachStoredLine(slotText, [&](QStringView line) {
            const QStringView quoted = firstQuoted(line);
            if (quoted.isNull())
                return;
            const char16_t prefix = StringPrefixOf(line).unicode();
            std::u16string_view key = sv(quoted);
            if (!isAscii(quoted))
                key = loweredKeys.emplace_back(lowered(quoted));
            const size_t known = set.candidates.size();
            const int index = set.findOrAdd(prefix, key, quoted);
            if (set.candidates.size() > known && slotText.utf16() == scratch.data())
                keepCopy(set.candidates.back(), plan.copies);
            plan.lines.push_back({qint32(quoted.data() - slotText.data()), qint32(quoted.size()), index, prefix});
        });
    }
    plan.firstLineOfSlot.back() = plan.lines.size();

    BulkVector<Candidate> &candidates = set.candidates;
    std::vector<int> order(candidates.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    sortEntries(order, candidates, set.highest);
    plan.table.reserve(order.size());
    for (const int index : order) {
        Candidate &c = candidates[size_t(index)];
        if (c.text.size() == 2) // "": an empty text stays in the line
            continue;
        plan.table.push_back({c.prefix, c.text});
        c.position = int(plan.table.size());
    }
    for (QuotedLine &line : plan.lines)
        line.position = candidates[size_t(line.position)].position;
    return plan;
}

} // namespace kova
