#include "writer.h"

#include "encoding.h"
#include "filesave.h"
#include "nodetext.h"
#include "prompter.h"
#include "stringviews.h"
#include "templatedocument.h"

#include <algorithm>
#include <array>
#include <deque>
#include <string_view>

namespace kova {

namespace {

void writeLine(TextBuffer &out, QStringView line)
{
    out.append(line);
    out.append(u"\r\n");
}

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

QString groupHeader(QChar prefix)
{
    switch (prefix.unicode()) {
    case u'C': return QStringLiteral("; * * * C O N S T A N T S * * *");
    case u'K': return QStringLiteral("; * * * K E Y N A M E S * * *");
    case u'V': return QStringLiteral("; * * * V A L U E N A M E S * * *");
    default: return QStringLiteral("; * * * V A L U E S * * *");
    }
}

// Whether a line is empty once trimmed. Stored lines are trimmed already, so the first character
// almost always settles it.
bool isBlankLine(QStringView line)
{
    return line.isEmpty() || (line.front().isSpace() && trimmedView(line).isEmpty());
}

bool startsWithNoCase(QStringView line, QStringView upperWord)
{
    if (line.size() < upperWord.size())
        return false;
    for (qsizetype i = 0; i < upperWord.size(); ++i) {
        char16_t c = line[i].unicode();
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 32);
        if (c != upperWord[i].unicode())
            return false;
    }
    return true;
}

} // namespace

QChar StringPrefixOf(QStringView line)
{
    if (startsWithNoCase(line, u"CATEGORY") || startsWithNoCase(line, u"POLICY") || startsWithNoCase(line, u"PART"))
        return u'C';
    if (startsWithNoCase(line, u"KEYNAME"))
        return u'K';
    if (startsWithNoCase(line, u"VALUENAME"))
        return u'V';
    return u'W';
}

namespace {

// A generated name on the stack, or with reference set the "!!" reference to it: the writer makes one
// for every quoted line and every table entry, and a QString each would cost an allocation.
class GeneratedName
{
public:
    GeneratedName(QChar prefix, int position, bool reference = false)
    {
        char16_t digits[16];
        int n = 0;
        for (unsigned v = unsigned(position); v > 0 || n < 4; v /= 10)
            digits[n++] = char16_t(u'0' + v % 10);
        if (reference) {
            m_text[m_size++] = u'!';
            m_text[m_size++] = u'!';
        }
        m_text[m_size++] = prefix.unicode();
        while (n > 0)
            m_text[m_size++] = digits[--n];
    }
    QStringView view() const { return QStringView(m_text, m_size); }

private:
    char16_t m_text[19];
    qsizetype m_size = 0;
};

} // namespace

QString generatedStringName(const QString &entry, int position)
{
    return GeneratedName(entry.front(), position).view().toString();
}

namespace {

// What writing with strings on does to the node lines: the generated table, and for every stored
// line that holds a quoted text where that text is and the table position that takes its place.
// Lines are counted slot by slot, in line order, so a writer that walks one slot's lines in order can
// find its own.
struct QuotedLine
{
    qint32 at; // the line's first quoted text, quotes included, as a place in its slot's text
    qint32 size;
    qint32 position; // while planning the entry's index, then its table position; 0: the text stays
    char16_t prefix;
};

struct TableEntry
{
    char16_t prefix;
    QStringView text; // quoted, in the slot it was first met in
};

struct StringPlan
{
    std::vector<TableEntry> table;
    BulkVector<QuotedLine> lines;
    std::vector<size_t> firstLineOfSlot; // index of each slot's first quoted line; one more at the end
};

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// One distinct entry, case ignored. Its key is the quoted text as met when that is ASCII, else the
// text lower-cased in full; either way comparing keys unit by unit with ASCII letters lowered
// compares the lower-cased entries.
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
template<typename Entries>
void sortEntries(std::vector<int> &order, const Entries &candidates, char16_t highest)
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

bool isAscii(QStringView text)
{
    char16_t any = 0;
    for (const QChar c : text)
        any |= c.unicode();
    return any < 0x80;
}

StringPlan planStrings(const NodeTextTable &texts)
{
    // Each distinct entry (case ignored) is kept once, as first met in slot order: the entry a stable
    // sort followed by dropping equal neighbours would keep.
    CandidateSet set;
    std::deque<std::u16string> loweredKeys; // keys of entries that are not ASCII; a deque keeps them in place
    StringPlan plan;
    plan.firstLineOfSlot.resize(size_t(texts.highestSlot()) + 2);
    for (int slot = 1; slot <= texts.highestSlot(); ++slot) {
        plan.firstLineOfSlot[size_t(slot)] = plan.lines.size();
        const QStringView slotText = texts.at(slot);
        forEachStoredLine(slotText, [&](QStringView line) {
            const QStringView quoted = firstQuoted(line);
            if (quoted.isNull())
                return;
            const char16_t prefix = StringPrefixOf(line).unicode();
            std::u16string_view key = sv(quoted);
            if (!isAscii(quoted))
                key = loweredKeys.emplace_back(lowered(quoted));
            const int index = set.findOrAdd(prefix, key, quoted);
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

// Appends line to out with its first quoted text replaced by reference.
template<typename Out>
void appendReplaced(Out &out, QStringView line, QStringView quoted, QStringView reference)
{
    const qsizetype at = quoted.data() - line.data();
    out.append(sv(line.left(at)));
    out.append(sv(reference));
    out.append(sv(line.mid(at + quoted.size())));
}

} // namespace

GeneratedStringTable BuildStringTable(NodeTextTable &texts)
{
    const NodeTextTable original = texts; // keeps the viewed slot texts alive
    StringPlan plan = planStrings(original);
    std::u16string rewritten;
    for (int slot = 1; slot <= original.highestSlot(); ++slot) {
        const QStringView text = original.at(slot);
        if (!text.contains(u'"'))
            continue;
        size_t quotedLine = plan.firstLineOfSlot[size_t(slot)];
        rewritten.clear();
        forEachStoredLine(text, [&](QStringView line) {
            const QStringView quoted = firstQuoted(line);
            const QuotedLine *planned = quoted.isNull() ? nullptr : &plan.lines[quotedLine++];
            if (planned && planned->position > 0)
                appendReplaced(rewritten, line, quoted, GeneratedName(planned->prefix, planned->position, true).view());
            else
                rewritten.append(sv(line));
            rewritten.append(u"\r\n");
        });
        texts.set(slot, QStringView(rewritten.data(), qsizetype(rewritten.size())));
    }
    GeneratedStringTable table;
    table.reserve(plan.table.size());
    for (const TableEntry &entry : plan.table)
        table.push_back(concat({QStringView(&entry.prefix, 1), entry.text}));
    return table;
}

namespace {

// WriteNode, and with a plan, each quoted text replaced by its reference as the line is written: the
// same lines BuildStringTable followed by WriteNode give, without rewriting every slot first.
void writeNode(TextBuffer &out, const NodeTextTable &texts, const TemplateNode *node, int depth, const StringPlan *plan)
{
    const size_t tabs = depth >= 2 ? size_t(depth - 1) : 0;
    const int slot = node->slot();
    const QStringView text = texts.at(slot);
    // The plan already knows where the slot's quoted texts are: the next one is either in this line
    // or in a later one.
    const bool planned = plan && slot > 0 && size_t(slot) + 1 < plan->firstLineOfSlot.size();
    size_t quotedLine = planned ? plan->firstLineOfSlot[size_t(slot)] : 0;
    const size_t quotedEnd = planned ? plan->firstLineOfSlot[size_t(slot) + 1] : 0;
    // The planned quoted text of a line, if the line holds the next one.
    const auto plannedIn = [&](QStringView line) -> const QuotedLine * {
        if (quotedLine >= quotedEnd)
            return nullptr;
        const QuotedLine &next = plan->lines[quotedLine];
        if (next.at >= line.data() - text.data() + line.size())
            return nullptr;
        ++quotedLine;
        return next.position > 0 ? &next : nullptr;
    };
    const auto writeLine = [&](QStringView line) {
        const QuotedLine *planned = plannedIn(line);
        if (!planned && isBlankLine(line))
            return;
        out.fill(u'\t', tabs);
        if (planned)
            appendReplaced(out, line, text.mid(planned->at, planned->size),
                           GeneratedName(planned->prefix, planned->position, true).view());
        else
            out.append(line);
        out.append(u"\r\n");
    };
    // The node's first END line ("END " and the kind, any case) and everything after it wait until
    // after the children; the lines before it are written as the search for it passes them. END
    // lines hold no quoted text, so references change nothing here.
    const qsizetype endSize = 4 + node->kind.size();
    qsizetype held = text.size();
    forEachStoredLine(text, [&](QStringView line) {
        if (held != text.size())
            return;
        if (line.size() == endSize && startsWithNoCase(line, u"END ") && startsWithNoCase(line.mid(4), node->kind))
            held = line.data() - text.data();
        else
            writeLine(line);
    });
    for (int row = 0; row < node->childCount(); ++row)
        writeNode(out, texts, node->child(row), depth + 1, plan);
    forEachStoredLine(text.mid(held), writeLine);
}

} // namespace

void WriteNode(TextBuffer &out, const NodeTextTable &texts, const TemplateNode *node, int depth)
{
    writeNode(out, texts, node, depth, nullptr);
}

namespace {

size_t renderedSizeGuess(const NodeTextTable &texts)
{
    size_t size = 4096;
    for (int slot = 1; slot <= texts.highestSlot(); ++slot)
        size += size_t(texts.at(slot).size());
    return size + size / 4;
}

void render(TextBuffer &out, const TemplateDocument &document, bool strings)
{
    const NodeTextTable &texts = document.texts();
    StringPlan plan;
    if (strings)
        plan = planStrings(texts);
    const std::vector<TableEntry> &table = plan.table;

    if (document.root())
        writeNode(out, texts, document.root(), 0, strings ? &plan : nullptr);

    bool wroteStringsHeader = false;
    if (!table.empty()) {
        writeLine(out, u"");
        writeLine(out, u"[STRINGS]");
        wroteStringsHeader = true;
        char16_t previous = 0;
        for (size_t i = 0; i < table.size(); ++i) {
            const TableEntry &entry = table[i];
            if (i == 0 || entry.prefix != previous) {
                writeLine(out, u"");
                writeLine(out, groupHeader(entry.prefix));
                if (entry.prefix != u'C')
                    writeLine(out, u"; Caution! Only change these values if you know what your doing!");
                writeLine(out, u"");
            }
            previous = entry.prefix;
            out.append(GeneratedName(entry.prefix, int(i + 1)).view());
            out.append(u"=");
            writeLine(out, entry.text);
        }
    }
    if (!document.keptStringEntries().isEmpty()) {
        if (!wroteStringsHeader) {
            writeLine(out, u"");
            writeLine(out, u"[STRINGS]");
        }
        writeLine(out, u"");
        writeLine(out, u"; * * * O T H E R S * * *");
        for (const QString &entry : document.keptStringEntries())
            writeLine(out, entry);
    }
    if (!document.keptSectionLines().isEmpty()) {
        writeLine(out, u"");
        for (const QString &line : document.keptSectionLines())
            writeLine(out, line);
    }
}

} // namespace

QString renderTemplate(const TemplateDocument &document, bool strings)
{
    TextBuffer out(renderedSizeGuess(document.texts()));
    render(out, document, strings);
    return out.take();
}

bool WriteTemplate(TemplateDocument &document, Prompter &prompter)
{
    TextEncoding encoding = document.encoding();
    BulkVector<char> bytes;
    {
        TextBuffer out(renderedSizeGuess(document.texts()));
        render(out, document, document.stringsOption());
        encodeTextInto(out.view(), encoding, bytes);
    }
    QString error;
    if (!saveFileAtomically(document.path(), QByteArrayView(bytes.data(), qsizetype(bytes.size())), &error)) {
        prompter.tell(error + QStringLiteral("\r\nTry to save your file with a different name"),
                      Message::Icon::Exclamation);
        return false;
    }
    document.setEncoding(encoding);
    document.setModified(false);
    document.reportWritten(document.path());
    return true;
}

} // namespace kova
