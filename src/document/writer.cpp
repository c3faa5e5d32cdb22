#include "writer.h"

#include "encoding.h"
#include "filesave.h"
#include "nodetext.h"
#include "prompter.h"
#include "stringviews.h"
#include "templatedocument.h"

#include <algorithm>
#include <deque>
#include <string_view>
#include <unordered_map>

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

// A generated name on the stack: the writer makes two for every table entry, and a QString each
// would cost an allocation.
class GeneratedName
{
public:
    GeneratedName(QChar prefix, int position)
    {
        char16_t digits[16];
        int n = 0;
        for (unsigned v = unsigned(position); v > 0 || n < 4; v /= 10)
            digits[n++] = char16_t(u'0' + v % 10);
        m_text[m_size++] = prefix.unicode();
        while (n > 0)
            m_text[m_size++] = digits[--n];
    }
    QStringView view() const { return QStringView(m_text, m_size); }

private:
    char16_t m_text[17];
    qsizetype m_size = 0;
};

} // namespace

QString generatedStringName(const QString &entry, int position)
{
    return GeneratedName(entry.front(), position).view().toString();
}

namespace {

// What writing with strings on does to the node lines: the generated table, and for every stored
// line that holds a quoted text the reference that takes the text's place. Lines are counted slot by
// slot, in line order, so a writer that walks one slot's lines in order can find its own.
// A line's first quoted text, quotes included, as a place in its slot's text.
struct QuotedText
{
    qint32 at;
    qint32 size;
};

struct StringPlan
{
    GeneratedStringTable table;
    std::vector<std::u16string> references; // "!!" and the name, by table position - 1
    std::vector<int> linePosition;          // table position for each quoted line; 0: the text stays
    std::vector<QuotedText> quotedTexts;    // where each quoted line's text is in its slot
    std::vector<size_t> firstLineOfSlot;    // index of each slot's first quoted line; one more at the end

    // The reference for a quoted line, or an empty view when its text stays.
    std::u16string_view referenceFor(size_t quotedLine) const
    {
        const int position = linePosition[quotedLine];
        return position > 0 ? std::u16string_view(references[size_t(position - 1)]) : std::u16string_view();
    }
};

// The sort key of an entry: the prefix letter and the lower-cased quoted text, both as big-endian
// UTF-16, so that memcmp order is code-unit order. ASCII text, nearly all of it, is lowered on the
// way; other text goes through lowerInto (lower is its scratch space).
void entryKey(QChar prefix, QStringView quoted, std::u16string &lower, std::string &key)
{
    const auto put = [&key](size_t at, char16_t c) {
        key[at] = char(c >> 8);
        key[at + 1] = char(c & 0xFF);
    };
    key.resize(2 * (size_t(quoted.size()) + 1));
    put(0, prefix.toLower().unicode());
    const char16_t *text = quoted.utf16();
    for (qsizetype i = 0; i < quoted.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0x80) {
            lowerInto(quoted, lower);
            key.resize(2 * (lower.size() + 1));
            for (size_t k = 0; k < lower.size(); ++k)
                put(2 * k + 2, lower[k]);
            return;
        }
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + 32);
        put(2 * size_t(i) + 2, c);
    }
}

StringPlan planStrings(const NodeTextTable &texts)
{
    // Each distinct entry (case ignored) is kept once, as first met in slot order: the entry a stable
    // sort followed by dropping equal neighbours would keep.
    struct Candidate
    {
        std::string_view key;  // the lower-cased entry as big-endian UTF-16: memcmp gives code-unit order
        QStringView entryText; // the quoted text, in the slot it was first met in
        QChar prefix;
        int position = 0;
    };
    std::vector<Candidate> candidates;
    std::deque<std::string> keys; // a deque never moves its elements, so the views into it stay valid
    std::unordered_map<std::string_view, int> candidateOf; // key -> index in candidates
    std::u16string lower;
    std::string key;
    std::vector<int> lineCandidate; // for every line with a quoted text, in walking order
    StringPlan plan;
    plan.firstLineOfSlot.resize(size_t(texts.highestSlot()) + 2);
    for (int slot = 1; slot <= texts.highestSlot(); ++slot) {
        plan.firstLineOfSlot[size_t(slot)] = lineCandidate.size();
        const QStringView slotText = texts.at(slot);
        forEachStoredLine(slotText, [&](QStringView line) {
            const QStringView quoted = firstQuoted(line);
            if (quoted.isNull())
                return;
            plan.quotedTexts.push_back({qint32(quoted.data() - slotText.data()), qint32(quoted.size())});
            const QChar prefix = StringPrefixOf(line);
            entryKey(prefix, quoted, lower, key);
            auto it = candidateOf.find(std::string_view(key));
            if (it == candidateOf.end()) {
                const std::string_view kept = keys.emplace_back(key);
                it = candidateOf.emplace(kept, int(candidates.size())).first;
                candidates.push_back({kept, quoted, prefix});
            }
            lineCandidate.push_back(it->second);
        });
    }
    candidateOf.clear();

    // Sorting the keys beside their indices keeps each comparison in one place in memory.
    std::vector<std::pair<std::string_view, int>> order;
    order.reserve(candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i)
        order.emplace_back(candidates[i].key, int(i));
    std::sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    plan.table.reserve(order.size());
    plan.references.reserve(order.size());
    for (const auto &[key, index] : order) {
        Candidate &c = candidates[size_t(index)];
        if (c.entryText.size() == 2) // "": an empty text stays in the line
            continue;
        c.position = int(plan.table.size()) + 1;
        plan.table.push_back(concat({QStringView(&c.prefix, 1), c.entryText}));
        std::u16string &reference = plan.references.emplace_back(u"!!");
        reference.append(sv(GeneratedName(c.prefix, c.position).view()));
    }
    plan.firstLineOfSlot.back() = lineCandidate.size();
    plan.linePosition.reserve(lineCandidate.size());
    for (int candidate : lineCandidate)
        plan.linePosition.push_back(candidates[size_t(candidate)].position);
    return plan;
}

// Appends line to out with its first quoted text replaced by reference.
template<typename Out>
void appendReplaced(Out &out, QStringView line, QStringView quoted, std::u16string_view reference)
{
    const qsizetype at = quoted.data() - line.data();
    out.append(sv(line.left(at)));
    out.append(reference);
    out.append(sv(line.mid(at + quoted.size())));
}

} // namespace

GeneratedStringTable BuildStringTable(NodeTextTable &texts)
{
    const NodeTextTable original = texts; // keeps the viewed slot texts alive
    StringPlan plan = planStrings(original);
    std::u16string rewritten;
    for (int slot = 1; slot <= original.highestSlot(); ++slot) {
        const QString &text = original.at(slot);
        if (!text.contains(u'"'))
            continue;
        size_t quotedLine = plan.firstLineOfSlot[size_t(slot)];
        rewritten.clear();
        forEachStoredLine(text, [&](QStringView line) {
            const QStringView quoted = firstQuoted(line);
            const std::u16string_view reference =
                quoted.isNull() ? std::u16string_view() : plan.referenceFor(quotedLine++);
            if (reference.empty())
                rewritten.append(sv(line));
            else
                appendReplaced(rewritten, line, quoted, reference);
            rewritten.append(u"\r\n");
        });
        texts.set(slot, QString(reinterpret_cast<const QChar *>(rewritten.data()), qsizetype(rewritten.size())));
    }
    return std::move(plan.table);
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
    const auto quotedIn = [&](QStringView line) {
        if (quotedLine >= quotedEnd)
            return QStringView();
        const QuotedText &next = plan->quotedTexts[quotedLine];
        return next.at < line.data() - text.data() + line.size() ? text.mid(next.at, next.size) : QStringView();
    };
    const auto writeLine = [&](QStringView line) {
        const QStringView quoted = quotedIn(line);
        const std::u16string_view reference =
            quoted.isNull() ? std::u16string_view() : plan->referenceFor(quotedLine++);
        if (reference.empty() && isBlankLine(line))
            return;
        out.fill(u'\t', tabs);
        if (reference.empty())
            out.append(line);
        else
            appendReplaced(out, line, quoted, reference);
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

QString renderTemplate(const TemplateDocument &document, bool strings)
{
    const NodeTextTable &texts = document.texts();
    StringPlan plan;
    if (strings)
        plan = planStrings(texts);
    const GeneratedStringTable &table = plan.table;

    size_t size = 4096;
    for (int slot = 1; slot <= texts.highestSlot(); ++slot)
        size += size_t(texts.at(slot).size());
    TextBuffer out(qsizetype(size + size / 4));
    if (document.root())
        writeNode(out, texts, document.root(), 0, strings ? &plan : nullptr);

    bool wroteStringsHeader = false;
    if (!table.empty()) {
        writeLine(out, u"");
        writeLine(out, u"[STRINGS]");
        wroteStringsHeader = true;
        QChar previous;
        for (size_t i = 0; i < table.size(); ++i) {
            const QString &entry = table[i];
            if (i == 0 || entry.front() != previous) {
                writeLine(out, u"");
                writeLine(out, groupHeader(entry.front()));
                if (entry.front() != u'C')
                    writeLine(out, u"; Caution! Only change these values if you know what your doing!");
                writeLine(out, u"");
            }
            previous = entry.front();
            out.append(GeneratedName(entry.front(), int(i + 1)).view());
            out.append(u"=");
            writeLine(out, QStringView(entry).mid(1));
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
    return out.take();
}

bool WriteTemplate(TemplateDocument &document, Prompter &prompter)
{
    TextEncoding encoding = document.encoding();
    const QByteArray bytes = encodeText(renderTemplate(document, document.stringsOption()), encoding);
    QString error;
    if (!saveFileAtomically(document.path(), bytes, &error)) {
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
