#include "writer.h"

#include "bulkmemory.h"
#include "encoding.h"
#include "filesave.h"
#include "nodetext.h"
#include "nodetextviews.h"
#include "prompter.h"
#include "stringplan.h"
#include "stringviews.h"
#include "templatedocument.h"

#include <algorithm>

namespace kova {

namespace {

// Text appended piece by piece into one buffer without QString::append's per-call cost: a write
// appends millions of short pieces.
class TextBuffer
{
public:
    explicit TextBuffer(size_t capacity) { m_text.resize(std::max<size_t>(capacity, 16)); }

    void append(QStringView piece)
    {
        reserveFor(size_t(piece.size()));
        std::copy(piece.utf16(), piece.utf16() + piece.size(), m_text.data() + m_used);
        m_used += size_t(piece.size());
    }
    void fill(QChar c, size_t count)
    {
        reserveFor(count);
        std::fill_n(m_text.data() + m_used, count, c.unicode());
        m_used += count;
    }
    QStringView view() const { return QStringView(m_text.data(), qsizetype(m_used)); }

private:
    void reserveFor(size_t more)
    {
        if (m_used + more > m_text.size())
            m_text.resize(std::max(m_text.size() * 2, m_used + more));
    }

    BulkVector<char16_t> m_text;
    size_t m_used = 0;
};

void writeLine(TextBuffer &out, QStringView line)
{
    out.append(line);
    out.append(u"\r\n");
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

namespace {

// Appends line to out with its first quoted text replaced by reference.
void appendReplaced(TextBuffer &out, QStringView line, QStringView quoted, QStringView reference)
{
    const qsizetype at = quoted.data() - line.data();
    out.append(line.left(at));
    out.append(reference);
    out.append(line.mid(at + quoted.size()));
}

} // namespace

namespace {

// Appends one node and its branch to out, CR LF after every line: its own lines indented by depth,
// its END line and whatever follows it held back until after the children. With a plan, each quoted
// text is replaced by its reference as its line is written.
void writeNode(TextBuffer &out, const NodeTextTable &texts, const TemplateNode *node, int depth, const StringPlan *plan)
{
    const size_t tabs = depth >= 2 ? size_t(depth - 1) : 0;
    const int slot = node->slot();
    const QStringView text = NodeTextViews::at(texts, slot);
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

namespace {

size_t renderedSizeGuess(const NodeTextTable &texts)
{
    size_t size = 4096;
    for (int slot = 1; slot <= texts.highestSlot(); ++slot)
        size += size_t(NodeTextViews::at(texts, slot).size());
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
    return out.view().toString();
}

bool WriteTemplate(TemplateDocument &document, Prompter &prompter)
{
    TextEncoding encoding = document.encoding();
    BulkVector<char> bytes;
    {
        TextBuffer out(renderedSizeGuess(document.texts()));
        render(out, document, document.stringsOption());
        // A code page the user chose gets no fallback: a character it cannot hold stops the save.
        if (isCodePage(encoding)) {
            if (const qsizetype at = firstUnencodable(out.view(), encoding); at >= 0) {
                const qsizetype n = out.view()[at].isHighSurrogate() && at + 1 < out.view().size() ? 2 : 1;
                prompter.tell(QStringLiteral("The character \"") + out.view().sliced(at, n).toString() +
                                  QStringLiteral("\" cannot be written in ") + encodingLabel(encoding) +
                                  QStringLiteral(".\r\nNothing was saved."),
                              Message::Icon::Exclamation);
                return false;
            }
        }
        bytes.resize(size_t(encodedSizeLimit(out.view(), encoding)));
        bytes.resize(size_t(encodeTextTo(out.view(), encoding, bytes.data())));
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
