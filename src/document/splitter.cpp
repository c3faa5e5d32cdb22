#include "splitter.h"

#include "bulkmemory.h"
#include "encoding.h"
#include "keywordtable.h"
#include "prompter.h"
#include "stringtable.h"
#include "stringviews.h"

#include <algorithm>
#include <string_view>

namespace kova {

Token *TokenMemory::allocate(std::size_t n)
{
    return static_cast<Token *>(allocateBulk(n * sizeof(Token)));
}

void TokenMemory::deallocate(Token *tokens, std::size_t n) noexcept
{
    releaseBulk(tokens, n * sizeof(Token));
}

namespace {

const QString &newerKeyword(QStringView upper)
{
    static const QString explain = QStringLiteral("EXPLAIN");
    static const QString supported = QStringLiteral("SUPPORTED");
    static const QString clientext = QStringLiteral("CLIENTEXT");
    static const QString none;
    if (upper == explain)
        return explain;
    if (upper == supported)
        return supported;
    if (upper == clientext)
        return clientext;
    return none;
}

} // namespace

bool isNumberWord(QStringView word)
{
    qsizetype i = 0;
    const qsizetype n = word.size();
    if (i < n && (word[i] == u'+' || word[i] == u'-'))
        ++i;
    bool digits = false;
    while (i < n && word[i].isDigit() && word[i].unicode() < 0x80) {
        ++i;
        digits = true;
    }
    if (i < n && word[i] == u'.') {
        ++i;
        while (i < n && word[i].isDigit() && word[i].unicode() < 0x80) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < n && (word[i] == u'e' || word[i] == u'E')) {
        ++i;
        if (i < n && (word[i] == u'+' || word[i] == u'-'))
            ++i;
        const qsizetype expStart = i;
        while (i < n && word[i].isDigit() && word[i].unicode() < 0x80)
            ++i;
        if (i == expStart)
            return false;
    }
    return i == n;
}

std::optional<QStringView> ResolveWord(QStringView word, const WordContext &context, TokenStream &stream,
                                       Prompter &prompter)
{
    if (word.size() >= 2 && word[0] == u'!' && word[1] == u'!') {
        const QStringView text = context.strings.lookup(word.mid(2));
        if (text.isNull()) {
            prompter.tell(
                concat({u"String ", word, u" is not defined in string table.\r\nCheck you template manually"}),
                Message::Icon::Critical);
            return std::nullopt;
        }
        return text;
    }
    // Keywords are short ASCII words: upper-case them on the stack, not on the heap.
    char16_t buffer[24];
    bool ascii = word.size() <= qsizetype(std::size(buffer));
    for (qsizetype i = 0; ascii && i < word.size(); ++i) {
        const char16_t c = word[i].unicode();
        ascii = c < 0x80;
        buffer[i] = c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
    }
    if (ascii) {
        const QStringView upper(buffer, word.size());
        if (const QString *keyword = context.keywords.find(upper))
            return QStringView(*keyword);
        if (context.newerStatements) {
            const QString &keyword = newerKeyword(upper);
            if (!keyword.isEmpty())
                return QStringView(keyword);
        }
    }
    if (isNumberWord(word))
        return word;
    stream.owned.push_back(concat({u"\"", word, u"\""}));
    return QStringView(stream.owned.back());
}

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView v)
{
    qsizetype from = 0;
    qsizetype to = v.size();
    while (from < to && isBlank(v[from]))
        ++from;
    while (to > from && isBlank(v[to - 1]))
        --to;
    return v.mid(from, to - from);
}

// The first position at or after from where c stands in text, or -1; cached per line, since a line
// is cut from left to right and each search only moves forward.
class Finder
{
public:
    Finder(QStringView text, char16_t c) : m_text(text.utf16(), size_t(text.size())), m_c(c) {}
    qsizetype at(qsizetype from)
    {
        if (m_pos == -2 || (m_pos >= 0 && m_pos < from)) {
            const size_t found = m_text.find(m_c, size_t(from));
            m_pos = found == std::u16string_view::npos ? -1 : qsizetype(found);
        }
        return m_pos;
    }

private:
    std::u16string_view m_text;
    char16_t m_c;
    qsizetype m_pos = -2;
};

// The stretch of a line from a token's start up to the next blank, with the first double quote and
// the first semicolon in it (-1: none), found in the one pass that looks for the blank.
struct Stretch
{
    qsizetype end;
    qsizetype quote = -1;
    qsizetype semicolon = -1;
};

Stretch stretchFrom(QStringView line, qsizetype at)
{
    Stretch stretch{at};
    const char16_t *data = line.utf16();
    for (; stretch.end < line.size(); ++stretch.end) { // the line ends in a blank as far as cutting goes
        const char16_t c = data[stretch.end];
        if (isBlank(c))
            break;
        if (c == u'"' && stretch.quote < 0)
            stretch.quote = stretch.end;
        else if (c == u';' && stretch.semicolon < 0)
            stretch.semicolon = stretch.end;
    }
    return stretch;
}

} // namespace

TokenSplitter::TokenSplitter(QStringView body, const WordContext &context, Prompter &prompter)
    : m_body(body), m_context(context), m_prompter(prompter)
{}

bool TokenSplitter::splitTo(size_t count)
{
    while (!m_failed && m_at < m_body.size() && m_stream.tokens.size() < count)
        splitLine(nextLine());
    return !m_failed;
}

bool TokenSplitter::checkRest()
{
    // The tokens of the rest are cut as always, then dropped line by line.
    const size_t kept = m_stream.tokens.size();
    while (!m_failed && m_at < m_body.size()) {
        splitLine(nextLine());
        m_stream.tokens.erase(m_stream.tokens.begin() + qsizetype(kept), m_stream.tokens.end());
    }
    return !m_failed;
}

void TokenSplitter::dropRead(size_t count)
{
    TokenList &tokens = m_stream.tokens;
    tokens.erase(tokens.begin(), tokens.begin() + qsizetype(std::min(count, tokens.size())));
}

QStringView TokenSplitter::nextLine()
{
    ++m_line;
    return nextTextLine(m_body, m_at);
}

void TokenSplitter::splitLine(QStringView text)
{
    TokenStream &stream = m_stream;
    // A TAB counts as a blank; a token that holds one gets its own copy with blanks in place of TABs.
    const auto keep = [&](QStringView piece) {
        if (std::find(piece.begin(), piece.end(), u'\t') == piece.end()) // inline, unlike contains()
            return piece;
        QString copy = piece.toString();
        copy.replace(u'\t', u' ');
        stream.owned.push_back(std::move(copy));
        return QStringView(stream.owned.back());
    };

    const QStringView line = trimBlanks(text);
    Finder closingQuotes(line, u'"');
    qsizetype at = 0;
    while (at < line.size()) {
        // A quote or semicolon counts only before the next blank: a quoted text runs on past
        // blanks to its closing quote, a semicolon starts a comment.
        const Stretch stretch = stretchFrom(line, at);
        const qsizetype b = stretch.end;
        const qsizetype q = stretch.quote;
        const qsizetype q2 = q < 0 ? -1 : closingQuotes.at(q + 1);
        const qsizetype c = stretch.semicolon;
        const bool commentBeforeBlank = c >= 0;
        qsizetype next;
        if (q >= 0 && (q2 >= 0 || !commentBeforeBlank)) {
            if (q2 < 0) {
                m_prompter.tell(QStringLiteral("Error in function Splitter in modFill"), Message::Icon::Critical);
                m_failed = true;
                return;
            }
            stream.tokens.emplace_back(keep(line.mid(q, q2 - q + 1)), m_line);
            next = q2 + 1;
        } else if (commentBeforeBlank) {
            if (c > at)
                stream.tokens.emplace_back(keep(trimBlanks(line.mid(at, c - at))), m_line);
            break;
        } else {
            const QStringView word = line.mid(at, b - at);
            const auto resolved = ResolveWord(word, m_context, stream, m_prompter);
            if (!resolved) {
                m_failed = true;
                return;
            }
            stream.tokens.emplace_back(*resolved, m_line);
            next = b + 1;
        }
        at = next;
        while (at < line.size() && isBlank(line[at]))
            ++at;
    }
}

std::optional<TokenStream> Splitter(QStringView body, const WordContext &context, Prompter &prompter)
{
    TokenSplitter splitter(body, context, prompter);
    splitter.stream().tokens.reserve(size_t(body.size() / 7 + 16)); // all of them are kept
    if (!splitter.splitTo(SIZE_MAX))
        return std::nullopt;
    return std::move(splitter.stream());
}

} // namespace kova
