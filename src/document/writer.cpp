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
#include "textscan.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace kova {

namespace {

// Takes the rendered text a run of whole lines at a time.
class LineSink
{
public:
    virtual ~LineSink() = default;
    virtual void take(QStringView lines) = 0;
};

// Text appended piece by piece into one buffer without QString::append's per-call cost: a write
// appends millions of short pieces. With a sink, the lines are handed on whenever a chunk of them has
// gathered, and the buffer is reused: the whole text is never held at once.
class TextBuffer
{
public:
    static constexpr size_t ChunkUnits = size_t(1) << 18;

    explicit TextBuffer(size_t capacity) { m_text.resize(std::max<size_t>(capacity, 16)); }
    explicit TextBuffer(LineSink &sink) : m_sink(&sink) { m_text.resize(ChunkUnits + 1024); }

    // Ends a line with CR LF.
    void endLine()
    {
        append(u"\r\n");
        if (m_sink && m_used >= ChunkUnits)
            flush();
    }
    void flush()
    {
        if (m_sink)
            m_sink->take(view());
        m_used = 0;
    }

    void append(QStringView piece)
    {
        char16_t *out = room(size_t(piece.size()));
        std::copy(piece.utf16(), piece.utf16() + piece.size(), out);
        m_used += size_t(piece.size());
    }
    void appendLatin1(std::string_view piece)
    {
        latin1ToUtf16(piece.data(), qsizetype(piece.size()), room(piece.size()));
        m_used += piece.size();
    }
    void fill(char16_t c, size_t count)
    {
        std::fill_n(room(count), count, c);
        m_used += count;
    }
    QStringView view() const { return QStringView(m_text.data(), qsizetype(m_used)); }

private:
    char16_t *room(size_t more)
    {
        if (m_used + more > m_text.size())
            m_text.resize(std::max(m_text.size() * 2, m_used + more));
        return m_text.data() + m_used;
    }

    BulkVector<char16_t> m_text;
    size_t m_used = 0;
    LineSink *m_sink = nullptr;
};

// The same for a file written in Windows-1252: the bytes are made as the pieces are appended, so a
// text kept a byte a character is copied once and never widened. A character the code page cannot
// hold makes the buffer unfit: nothing more goes to the file, and the text is then written whole as
// UTF-16LE instead.
class Windows1252Buffer
{
public:
    static constexpr size_t ChunkBytes = size_t(1) << 18;

    explicit Windows1252Buffer(AtomicFileWriter &file) : m_file(file) { m_bytes.resize(ChunkBytes + 1024); }

    void endLine()
    {
        appendLatin1(std::string_view("\r\n", 2));
        if (m_used >= ChunkBytes)
            flush();
    }
    void flush()
    {
        if (!m_unfit && m_used > 0)
            m_file.write(QByteArrayView(m_bytes.data(), qsizetype(m_used)));
        m_used = 0;
    }

    void append(QStringView piece)
    {
        char *out = room(size_t(piece.size()));
        for (qsizetype i = narrowAscii(piece.utf16(), piece.size(), out); i < piece.size(); ++i)
            put(out[i], piece.utf16()[i]);
        m_used += size_t(piece.size());
    }
    // Latin-1 is Windows-1252 but for 0x80..0x9F, which is rare: a piece with any byte beyond ASCII is
    // gone through again after the copy.
    void appendLatin1(std::string_view piece)
    {
        char *out = room(piece.size());
        std::memcpy(out, piece.data(), piece.size());
        if (anyBeyondAscii(piece.data(), qsizetype(piece.size()))) {
            for (size_t i = 0; i < piece.size(); ++i)
                put(out[i], char16_t(static_cast<unsigned char>(piece[i])));
        }
        m_used += piece.size();
    }
    void fill(char16_t c, size_t count)
    {
        std::fill_n(room(count), count, char(c)); // a TAB
        m_used += count;
    }
    bool unfit() const { return m_unfit; }

private:
    char *room(size_t more)
    {
        if (m_used + more > m_bytes.size())
            m_bytes.resize(std::max(m_bytes.size() * 2, m_used + more));
        return m_bytes.data() + m_used;
    }
    void put(char &out, char16_t c)
    {
        const int b = windows1252Byte(c);
        m_unfit |= b < 0;
        out = char(b);
    }

    AtomicFileWriter &m_file;
    BulkVector<char> m_bytes;
    size_t m_used = 0;
    bool m_unfit = false;
};

// A piece of a kept text onto either buffer.
template<typename Out>
void appendKept(Out &out, std::u16string_view piece)
{
    out.append(QStringView(piece.data(), qsizetype(piece.size())));
}
template<typename Out>
void appendKept(Out &out, std::string_view piece)
{
    out.appendLatin1(piece);
}

template<typename Out>
void writeLine(Out &out, QStringView line)
{
    out.append(line);
    out.endLine();
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

char16_t unit(char c)
{
    return char16_t(static_cast<unsigned char>(c));
}
char16_t unit(char16_t c)
{
    return c;
}

// Whether a line is empty once trimmed. Stored lines are trimmed already, so the first character
// almost always settles it.
template<typename Char>
bool isBlankLine(std::basic_string_view<Char> line)
{
    return std::all_of(line.begin(), line.end(), [](Char c) { return QChar(unit(c)).isSpace(); });
}

template<typename Char>
bool startsWithNoCase(std::basic_string_view<Char> line, QStringView upperWord)
{
    if (qsizetype(line.size()) < upperWord.size())
        return false;
    for (qsizetype i = 0; i < upperWord.size(); ++i) {
        char16_t c = unit(line[size_t(i)]);
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 32);
        if (c != upperWord[i].unicode())
            return false;
    }
    return true;
}

} // namespace

QChar StringPrefixOf(QStringView text)
{
    const std::u16string_view line(text.utf16(), size_t(text.size()));
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

template<typename Out>
void writeNode(Out &out, const NodeTextTable &texts, const TemplateNode *node, int depth, const StringPlan *plan);

// Appends one node's lines and its branch to out, CR LF after every line: its own lines indented by
// depth, its END line and whatever follows it held back until after the children. With a plan, each
// quoted text is replaced by its reference as its line is written. text is the node's text as it is
// kept, a byte or two a character.
template<typename Out, typename Char>
void writeNodeLines(Out &out, const NodeTextTable &texts, const TemplateNode *node, int depth, const StringPlan *plan,
                    std::basic_string_view<Char> text)
{
    using View = std::basic_string_view<Char>;
    const size_t tabs = depth >= 2 ? size_t(depth - 1) : 0;
    const int slot = node->slot();
    // The plan already knows where the slot's quoted texts are: the next one is either in this line
    // or in a later one.
    const bool planned = plan && slot > 0 && size_t(slot) + 1 < plan->firstLineOfSlot.size();
    size_t quotedLine = planned ? plan->firstLineOfSlot[size_t(slot)] : 0;
    const size_t quotedEnd = planned ? plan->firstLineOfSlot[size_t(slot) + 1] : 0;
    const auto offsetOf = [&](View line) { return qsizetype(line.data() - text.data()); };
    // The planned quoted text of a line, if the line holds the next one.
    const auto plannedIn = [&](View line) -> const QuotedLine * {
        if (quotedLine >= quotedEnd)
            return nullptr;
        const QuotedLine &next = plan->lines[quotedLine];
        if (next.at >= offsetOf(line) + qsizetype(line.size()))
            return nullptr;
        ++quotedLine;
        return next.position > 0 ? &next : nullptr;
    };
    const auto writeLine = [&](View line) {
        const QuotedLine *planned = plannedIn(line);
        if (!planned && isBlankLine(line))
            return;
        out.fill(u'\t', tabs);
        if (planned) {
            // The quoted text, quotes included, gives way to its reference.
            const size_t at = std::min(size_t(planned->at - offsetOf(line)), line.size());
            appendKept(out, line.substr(0, at));
            out.append(GeneratedName(planned->prefix, planned->position, true).view());
            appendKept(out, line.substr(std::min(at + size_t(planned->size), line.size())));
        } else {
            appendKept(out, line);
        }
        out.endLine();
    };
    // The node's first END line ("END " and the kind, any case) and everything after it wait until
    // after the children; the lines before it are written as the search for it passes them. END
    // lines hold no quoted text, so references change nothing here.
    const size_t endSize = 4 + size_t(node->kind().size());
    size_t held = text.size();
    forEachStoredLine(text, [&](View line) {
        if (held != text.size())
            return;
        if (line.size() == endSize && startsWithNoCase(line, u"END ") && startsWithNoCase(line.substr(4), node->kind()))
            held = size_t(offsetOf(line));
        else
            writeLine(line);
    });
    for (int row = 0; row < node->childCount(); ++row)
        writeNode(out, texts, node->child(row), depth + 1, plan);
    forEachStoredLine(text.substr(held), writeLine);
}

template<typename Out>
void writeNode(Out &out, const NodeTextTable &texts, const TemplateNode *node, int depth, const StringPlan *plan)
{
    const NodeTextViews::Kept kept = NodeTextViews::kept(texts, node->slot());
    if (kept.wide)
        writeNodeLines(out, texts, node, depth, plan, kept.utf16());
    else
        writeNodeLines(out, texts, node, depth, plan, kept.latin1());
}

} // namespace

namespace {

size_t renderedSizeGuess(const NodeTextTable &texts)
{
    size_t size = 4096;
    for (int slot = 1; slot <= texts.highestSlot(); ++slot)
        size += size_t(texts.size(slot));
    return size + size / 4;
}

template<typename Out>
void render(Out &out, const TemplateDocument &document, bool strings)
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

namespace {

// Tells the user that a character does not fit the code page chosen; nothing is saved.
void tellUnencodable(Prompter &prompter, QStringView text, qsizetype at, TextEncoding encoding)
{
    const qsizetype n = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
    prompter.tell(QStringLiteral("The character \"") + text.sliced(at, n).toString() +
                      QStringLiteral("\" cannot be written in ") + encodingLabel(encoding) +
                      QStringLiteral(".\r\nNothing was saved."),
                  Message::Icon::Exclamation);
}

// Encodes the rendered lines as they come and hands the bytes on to the file, so that neither the
// text nor its bytes are held whole; for the Unicode forms and the code pages the user chooses
// (Windows-1252 goes through its own buffer). Encoding chunk by chunk gives the bytes encoding the
// whole text would, byte-order mark first. A code page stops at the first chunk with a character it
// cannot hold.
class EncodingSink : public LineSink
{
public:
    EncodingSink(TextEncoding encoding, AtomicFileWriter &file) : m_encoding(encoding), m_file(file) {}

    void take(QStringView lines) override
    {
        if (!m_unencodable.isNull())
            return;
        if (isCodePage(m_encoding)) {
            if (const qsizetype at = firstUnencodable(lines, m_encoding); at >= 0) {
                m_unencodable = lines.toString();
                m_unencodableAt = at;
                return;
            }
        }
        TextEncoding encoding = m_encoding; // settled: only Windows-1252 falls back
        const size_t room = size_t(encodedSizeLimit(lines, encoding));
        m_bytes.resize(std::max(m_bytes.size(), room)); // the chunks are about the same size: one buffer
        const qsizetype size = encodeTextTo(lines, m_encoding, m_bytes.data(), m_first);
        m_file.write(QByteArrayView(m_bytes.data(), size));
        m_first = false;
    }
    // Called once all lines are taken: an empty text still gets its byte-order mark.
    void finish()
    {
        if (m_first)
            take(QStringView(u""));
    }

    // The chunk holding the first character the chosen code page cannot write, and its position in
    // it; a null text when every character fits.
    const QString &unencodable() const { return m_unencodable; }
    qsizetype unencodableAt() const { return m_unencodableAt; }

private:
    TextEncoding m_encoding;
    AtomicFileWriter &m_file;
    BulkVector<char> m_bytes;
    bool m_first = true;
    QString m_unencodable;
    qsizetype m_unencodableAt = -1;
};

// The bytes of the whole text rendered at once, in encoding or (when Windows-1252 cannot hold a
// character) in the UTF-16LE encoding is then set to.
void encodeWhole(const TemplateDocument &document, TextEncoding &encoding, BulkVector<char> &bytes)
{
    TextBuffer out(renderedSizeGuess(document.texts()));
    render(out, document, document.stringsOption());
    bytes.resize(size_t(encodedSizeLimit(out.view(), encoding)));
    bytes.resize(size_t(encodeTextTo(out.view(), encoding, bytes.data())));
}

} // namespace

bool WriteTemplate(TemplateDocument &document, Prompter &prompter)
{
    TextEncoding encoding = document.encoding();
    QString error;
    bool saved = false;
    bool wholeText = false;
    {
        // A failure to write is told only once every character is known to fit the encoding.
        AtomicFileWriter file(document.path());
        if (encoding == TextEncoding::Windows1252) {
            Windows1252Buffer out(file);
            render(out, document, document.stringsOption());
            out.flush();
            wholeText = out.unfit();
        } else {
            EncodingSink sink(encoding, file);
            {
                TextBuffer out(sink);
                render(out, document, document.stringsOption());
                out.flush();
            }
            sink.finish();
            // A code page the user chose gets no fallback: a character it cannot hold stops the save.
            if (!sink.unencodable().isNull()) {
                tellUnencodable(prompter, sink.unencodable(), sink.unencodableAt(), encoding);
                return false;
            }
        }
        if (!wholeText)
            saved = file.commit(&error);
    }
    if (wholeText) {
        BulkVector<char> bytes;
        encodeWhole(document, encoding, bytes);
        saved = saveFileAtomically(document.path(), QByteArrayView(bytes.data(), qsizetype(bytes.size())), &error);
    }
    if (!saved) {
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
