#pragma once

#include <QString>

#include <cstddef>
#include <deque>
#include <optional>
#include <type_traits>
#include <vector>

namespace kova {

class KeywordTable;
class Prompter;
class StringTable;

// A token is a view of its text plus its file line; kept to 16 bytes, as a large template has
// millions of them.
struct Token
{
    Token(QStringView t, int l) : data(t.utf16()), size(qint32(t.size())), line(l) {}
    QStringView text() const { return QStringView(data, size); }

    const char16_t *data;
    qint32 size;
    qint32 line;
};

// Memory for the token list, which runs to tens of megabytes on a large template and is dropped
// soon after: it comes from the bulk memory (bulkmemory.h), as the loader's other buffers do.
struct TokenMemory
{
    using value_type = Token;
    template<typename U>
    struct rebind // for the token list alone
    {
        static_assert(std::is_same_v<U, Token>);
        using other = TokenMemory;
    };
    Token *allocate(std::size_t n);
    void deallocate(Token *tokens, std::size_t n) noexcept;
    friend bool operator==(const TokenMemory &, const TokenMemory &) { return true; }
};
using TokenList = std::vector<Token, TokenMemory>;

// The body of a template cut into tokens: keywords upper case, numbers as written, every name and
// value a quoted text. Token texts point into the body text, the string and keyword tables, or the
// stream's own store, so all of those must outlive the stream.
struct TokenStream
{
    TokenList tokens;
    std::deque<QString> owned;
};

// What the splitter knows besides the keywords: with newer statements on, EXPLAIN, SUPPORTED and
// CLIENTEXT are keywords too.
struct WordContext
{
    const KeywordTable &keywords;
    const StringTable &strings;
    bool newerStatements = false;
};

// The token for one bare word: a !! reference becomes its string's quoted text, a keyword its upper
// case, a number stays as it is, anything else is quoted. An undefined reference is fatal: the
// critical message is shown and nullopt returned.
std::optional<QStringView> ResolveWord(QStringView word, const WordContext &context, TokenStream &stream,
                                       Prompter &prompter);

// Cuts the lines of a template's body (the text before its first section, line 1 first) into tokens,
// a stretch of lines at a time, so that a reader can take the tokens as they come and a large body
// is never held as tokens all at once. A quoted text left open on its line is fatal (message shown),
// as is an undefined string reference; nothing more is cut after one.
class TokenSplitter
{
public:
    TokenSplitter(QStringView body, const WordContext &context, Prompter &prompter);

    // Cuts lines until the stream holds at least count tokens or the body ends; false after a fatal
    // fault.
    bool splitTo(size_t count);
    // Cuts the lines not cut yet without keeping their tokens, to find a fatal fault in them before
    // anything else is said about the template; false after one.
    bool checkRest();
    // The tokens cut so far, less those dropped.
    TokenStream &stream() { return m_stream; }
    // Drops the first count tokens, which the reader has read: the rest move to the front, and the
    // next ones are cut into the same memory.
    void dropRead(size_t count);

private:
    QStringView nextLine();
    void splitLine(QStringView line);

    QStringView m_body;
    const WordContext &m_context;
    Prompter &m_prompter;
    TokenStream m_stream;
    qsizetype m_at = 0; // where the next line starts
    int m_line = 0;     // the number of the line cut last
    bool m_failed = false;
};

// The whole body at once.
std::optional<TokenStream> Splitter(QStringView body, const WordContext &context, Prompter &prompter);

// Whether a word reads as a number: an optional sign, decimal digits with an optional decimal point,
// and an optional exponent.
bool isNumberWord(QStringView word);

} // namespace kova
