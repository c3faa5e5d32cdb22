#include "writer.h"

#include "concat.h"
#include "encoding.h"
#include "filesave.h"
#include "lowercase.h"
#include "nodetext.h"
#include "prompter.h"
#include "templatedocument.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace kova {

namespace {

std::u16string_view sv(QStringView v)
{
    return {v.utf16(), size_t(v.size())};
}

void writeLine(std::u16string &out, QStringView line)
{
    out.append(sv(line));
    out.append(u"\r\n");
}

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

// Hashes std::string and std::string_view alike, so a lookup needs no key of its own.
struct KeyHash
{
    using is_transparent = void;
    size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
};

QString groupHeader(QChar prefix)
{
    switch (prefix.unicode()) {
    case u'C': return QStringLiteral("; * * * C O N S T A N T S * * *");
    case u'K': return QStringLiteral("; * * * K E Y N A M E S * * *");
    case u'V': return QStringLiteral("; * * * V A L U E N A M E S * * *");
    default: return QStringLiteral("; * * * V A L U E S * * *");
    }
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

QString generatedStringName(const QString &entry, int position)
{
    char16_t digits[16];
    int n = 0;
    for (unsigned v = unsigned(position); v > 0 || n < 4; v /= 10)
        digits[n++] = char16_t(u'0' + v % 10);
    QString name(n + 1, Qt::Uninitialized);
    QChar *out = name.data();
    *out++ = entry.front();
    while (n > 0)
        *out++ = QChar(digits[--n]);
    return name;
}

GeneratedStringTable BuildStringTable(NodeTextTable &texts)
{
    // Each distinct entry (case ignored) is kept once, as first met in slot order: the entry a stable
    // sort followed by dropping equal neighbours would keep.
    struct Candidate
    {
        std::string key;       // the lower-cased entry as big-endian UTF-16: memcmp gives code-unit order
        QStringView entryText; // the quoted text, in the slot it was first met in
        QChar prefix;
        int position = 0;
    };
    std::vector<Candidate> candidates;
    std::unordered_map<std::string, int, KeyHash, std::equal_to<>> candidateOf; // key -> index in candidates
    std::u16string lower;
    std::string key;
    std::vector<int> lineCandidate;       // for every line with a quoted text, in walking order
    const NodeTextTable original = texts; // keeps the viewed slot texts alive
    for (int slot = 1; slot <= original.highestSlot(); ++slot) {
        forEachStoredLine(original.at(slot), [&](QStringView line) {
            const QStringView quoted = firstQuoted(line);
            if (quoted.isNull())
                return;
            const QChar prefix = StringPrefixOf(line);
            lowerInto(quoted, lower);
            key.assign(2 * (lower.size() + 1), '\0');
            key[1] = char(prefix.toLower().unicode());
            for (size_t i = 0; i < lower.size(); ++i) {
                key[2 * i + 2] = char(lower[i] >> 8);
                key[2 * i + 3] = char(lower[i] & 0xFF);
            }
            auto it = candidateOf.find(std::string_view(key));
            if (it == candidateOf.end()) {
                it = candidateOf.emplace(key, int(candidates.size())).first;
                candidates.push_back({key, quoted, prefix});
            }
            lineCandidate.push_back(it->second);
        });
    }
    candidateOf.clear();

    std::vector<int> order(candidates.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return candidates[size_t(a)].key < candidates[size_t(b)].key; });
    GeneratedStringTable table;
    std::vector<std::u16string> references;
    table.reserve(order.size());
    references.reserve(order.size());
    for (int index : order) {
        Candidate &c = candidates[size_t(index)];
        if (c.entryText.size() == 2) // "": an empty text stays in the line
            continue;
        c.position = int(table.size()) + 1;
        table.push_back(concat({QStringView(&c.prefix, 1), c.entryText}));
        const QString name = QStringLiteral("!!") + generatedStringName(table.back(), c.position);
        references.emplace_back(sv(name));
    }

    size_t walked = 0;
    std::u16string rewritten;
    for (int slot = 1; slot <= original.highestSlot(); ++slot) {
        const QString &text = original.at(slot);
        if (!text.contains(u'"'))
            continue;
        rewritten.clear();
        forEachStoredLine(text, [&](QStringView line) {
            const QStringView quoted = firstQuoted(line);
            const int position = quoted.isNull() ? 0 : candidates[size_t(lineCandidate[walked++])].position;
            if (position > 0) {
                const qsizetype at = quoted.data() - line.data();
                rewritten.append(sv(line.left(at)));
                rewritten.append(references[size_t(position - 1)]);
                rewritten.append(sv(line.mid(at + quoted.size())));
                rewritten.append(u"\r\n");
            } else {
                writeLine(rewritten, line);
            }
        });
        texts.set(slot, QString(reinterpret_cast<const QChar *>(rewritten.data()), qsizetype(rewritten.size())));
    }
    return table;
}

void WriteNode(TextBuffer &out, const NodeTextTable &texts, const TemplateNode *node, int depth)
{
    const size_t tabs = depth >= 2 ? size_t(depth - 1) : 0;
    const QStringView text = texts.at(node->slot());
    // Where the node's END line ("END " and the kind, any case) starts; it and everything after it
    // wait until after the children.
    const qsizetype endSize = 4 + node->kind.size();
    qsizetype held = text.size();
    forEachStoredLine(text, [&](QStringView line) {
        if (held == text.size() && line.size() == endSize && startsWithNoCase(line, u"END ") &&
            startsWithNoCase(line.mid(4), node->kind))
            held = line.data() - text.data();
    });
    const auto writeLines = [&](QStringView part) {
        forEachStoredLine(part, [&](QStringView line) {
            if (line.trimmed().isEmpty())
                return;
            out.fill(u'\t', tabs);
            writeLine(out, line);
        });
    };
    writeLines(text.left(held));
    for (int row = 0; row < node->childCount(); ++row)
        WriteNode(out, texts, node->child(row), depth + 1);
    writeLines(text.mid(held));
}

QString renderTemplate(const TemplateDocument &document, bool strings)
{
    NodeTextTable texts = document.texts();
    GeneratedStringTable table;
    if (strings)
        table = BuildStringTable(texts);

    size_t size = 4096;
    for (int slot = 1; slot <= texts.highestSlot(); ++slot)
        size += size_t(texts.at(slot).size());
    TextBuffer out(qsizetype(size + size / 4));
    if (document.root())
        WriteNode(out, texts, document.root(), 0);

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
            out.append(generatedStringName(entry, int(i + 1)));
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
