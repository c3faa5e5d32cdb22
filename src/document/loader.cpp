#include "loader.h"

#include "bulkmemory.h"
#include "encoding.h"
#include "keywordtable.h"
#include "nodetext.h"
#include "prompter.h"
#include "splitter.h"
#include "stringtable.h"
#include "stringviews.h"
#include "templatedocument.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace kova {

namespace {

const QString kFileNotLoaded = QStringLiteral("File not loaded");

// What a token does where a statement begins.
enum class Opens {
    Nothing, // an error
    Conditional,
    Suggestions,
    Flag,
    Named, // CATEGORY, POLICY
    Class,
    End,
    Value,
    OneArgument,
    NewerOneArgument, // EXPLAIN, SUPPORTED, CLIENTEXT: only with the newer statements
    Part,
};

// Inline tests against a literal word, its length known at compile time: QStringView's own
// comparisons are out-of-line calls, and these run several times per statement.
template<size_t N>
bool startsWith(QStringView text, const char16_t (&prefix)[N])
{
    return sv(text).starts_with(std::u16string_view(prefix, N - 1));
}

template<size_t N>
bool is(QStringView text, const char16_t (&word)[N])
{
    return sv(text) == std::u16string_view(word, N - 1);
}

Opens opensOf(QStringView token)
{
    struct Entry
    {
        std::u16string_view word;
        Opens opens;
    };
    // Sorted by character code, for the binary search.
    static constexpr Entry table[] = {
        {u"#ELSE", Opens::Conditional},
        {u"#ENDIF", Opens::Conditional},
        {u"#IF", Opens::Conditional},
        {u"#IFDEF", Opens::Conditional},
        {u"#IFNDEF", Opens::Conditional},
        {u"ACTIONLIST", Opens::Flag},
        {u"ACTIONLISTOFF", Opens::Flag},
        {u"ACTIONLISTON", Opens::Flag},
        {u"ADDITIVE", Opens::Flag},
        {u"CATEGORY", Opens::Named},
        {u"CLASS", Opens::Class},
        {u"CLIENTEXT", Opens::NewerOneArgument},
        {u"DEFAULT", Opens::OneArgument},
        {u"DEFCHECKED", Opens::Flag},
        {u"END", Opens::End},
        {u"EXPANDABLETEXT", Opens::Flag},
        {u"EXPLAIN", Opens::NewerOneArgument},
        {u"EXPLICITVALUE", Opens::Flag},
        {u"ITEMLIST", Opens::Flag},
        {u"KEYNAME", Opens::OneArgument},
        {u"MAX", Opens::OneArgument},
        {u"MAXLEN", Opens::OneArgument},
        {u"MIN", Opens::OneArgument},
        {u"NAME", Opens::OneArgument},
        {u"NOSORT", Opens::Flag},
        {u"OEMCONVERT", Opens::Flag},
        {u"PART", Opens::Part},
        {u"POLICY", Opens::Named},
        {u"REQUIRED", Opens::Flag},
        {u"SOFT", Opens::Conditional},
        {u"SPIN", Opens::OneArgument},
        {u"SUGGESTIONS", Opens::Suggestions},
        {u"SUPPORTED", Opens::NewerOneArgument},
        {u"TXTCONVERT", Opens::Flag},
        {u"VALUE", Opens::Value},
        {u"VALUENAME", Opens::OneArgument},
        {u"VALUEOFF", Opens::Value},
        {u"VALUEON", Opens::Value},
        {u"VALUEPREFIX", Opens::OneArgument},
        {u"VERSION", Opens::Conditional},
    };
    // Every token is looked up: find the words with the token's first character by that character
    // alone, then compare whole words only among those few.
    const std::u16string_view word = sv(token);
    if (word.empty())
        return Opens::Nothing;
    auto it = std::lower_bound(std::begin(table), std::end(table), word.front(),
                               [](const Entry &e, char16_t c) { return e.word.front() < c; });
    for (; it != std::end(table) && it->word.front() == word.front(); ++it)
        if (it->word == word)
            return it->opens;
    return Opens::Nothing;
}

bool isEndable(QStringView t)
{
    static constexpr std::u16string_view words[] = {u"ACTIONLISTOFF", u"ACTIONLISTON", u"ACTIONLIST",
                                                    u"CLASS",         u"CATEGORY",     u"ITEMLIST",
                                                    u"PART",          u"POLICY",       u"SUGGESTIONS"};
    return std::find(std::begin(words), std::end(words), sv(t)) != std::end(words);
}

bool isPartType(QStringView t)
{
    static constexpr std::u16string_view types[] = {u"CHECKBOX", u"COMBOBOX", u"DROPDOWNLIST", u"EDITTEXT",
                                                    u"LISTBOX",  u"NUMERIC",  u"TEXT"};
    return std::find(std::begin(types), std::end(types), sv(t)) != std::end(types);
}

QString conditionalQuestion()
{
    return QStringLiteral("The file you tried to open contains conditional statements like:\r\n"
                          "#IF, #IFDEF, #IFNDEF, #ELSE, #ENDIF, SOFT, VERSION\r\n"
                          "This program doen't support conditional statements.\r\n\r\n"
                          "Remove this type of statements?\r\n"
                          "(Don't forget to make a backup of your originial template)");
}

// The question under the newer statements, where the branches Group Policy reads can be kept.
QString conditionalChoice()
{
    return QStringLiteral("The file you tried to open contains conditional statements like:\r\n"
                          "#IF, #IFDEF, #IFNDEF, #ELSE, #ENDIF, SOFT, VERSION\r\n\r\n"
                          "Yes: read them as a Group Policy editor does (version %1) and keep what it reads.\r\n"
                          "No: remove them with everything up to their #ENDIF.\r\n"
                          "Cancel: do not open the file.")
        .arg(kGroupPolicyVersion);
}

// Policy and part names repeat across a template: a part is mostly named as its policy, and a
// converted registry export names the same values under every key. Equal names share one string
// rather than take an allocation each, which on a large template is a good part of the tree's memory.
//
// A small table with one name a place, kept by the first name to come there: the names that repeat
// come early and come often. A name that differs from the one kept costs a hash and a comparison of
// hashes, never a look at another string's memory, so a template of different names loads at the
// speed it would without sharing.
class NamePool
{
public:
    NamePool() : m_slots(kSlots) {}

    QString get(QStringView name)
    {
        if (name.isEmpty())
            return name.toString(); // null and empty stay apart
        // The standard library's hash: Qt's is seeded against crafted collisions, which a table of
        // names that only ever falls back to a copy need not fear, and costs several times more.
        const size_t hash = std::hash<std::u16string_view>{}(sv(name));
        Slot &slot = m_slots[hash % kSlots];
        if (slot.name.isNull()) {
            slot.hash = hash;
            slot.name = name.toString();
        } else if (slot.hash != hash || slot.name != name) {
            return name.toString();
        }
        return slot.name;
    }

private:
    static constexpr size_t kSlots = 2048; // small enough to come from the heap, not a mapping of its own
    struct Slot
    {
        size_t hash = 0;
        QString name;
    };
    std::vector<Slot> m_slots;
};

// Rebuilt statements, each its tokens with single blanks between them, in the order they were added.
// They are kept in blocks of about a megabyte, each statement behind a header of its size and line,
// and each block goes as soon as it has been read: the statements and what is made of them are not
// all held at once.
class StatementChain
{
public:
    // Adds the statement of tokens [first, first + count) on file line line (0 for an added line).
    // roomHint is about how much text is still to come: a small template gets a small block.
    void add(const Token *first, size_t count, int line, size_t roomHint)
    {
        size_t size = count - 1;
        for (const Token *t = first; t != first + count; ++t)
            size += size_t(t->size);
        if (m_blocks.empty() || m_blocks.back().units.size() - m_blocks.back().used < kHeader + size) {
            Block &block = m_blocks.emplace_back();
            block.units.resize(std::max(kHeader + size, std::min(kBlockUnits, roomHint + kHeader)));
        }
        Block &block = m_blocks.back();
        char16_t *out = block.units.data() + block.used;
        const Header header{quint32(size), qint32(line)};
        std::memcpy(out, &header, sizeof header);
        out += kHeader;
        for (const Token *t = first; t != first + count; ++t) {
            if (t != first)
                *out++ = u' ';
            out = std::copy(t->data, t->data + t->size, out);
        }
        block.used += kHeader + size;
    }

    // Calls f(text, line) for every statement in order, dropping each block once it is read; stops
    // at the first call that returns false and returns false then.
    template<typename F>
    bool readOnce(F &&f)
    {
        for (Block &block : m_blocks) {
            const char16_t *at = block.units.data();
            const char16_t *const end = at + block.used;
            while (at < end) {
                Header header;
                std::memcpy(&header, at, sizeof header);
                at += kHeader;
                if (!f(QStringView(at, qsizetype(header.size)), int(header.line)))
                    return false;
                at += header.size;
            }
            block = Block(); // not "units = {}", which would keep the memory
        }
        m_blocks.clear();
        return true;
    }

private:
    struct Header
    {
        quint32 size;
        qint32 line;
    };
    static constexpr size_t kHeader = sizeof(Header) / sizeof(char16_t);
    static constexpr size_t kBlockUnits = size_t(1) << 20;
    struct Block
    {
        BulkVector<char16_t> units;
        size_t used = 0;
    };
    std::vector<Block> m_blocks;
};

// One load's working state and steps.
class Load
{
public:
    Load(Prompter &prompter, const LoadOptions &options) : m_prompter(prompter), m_options(options) {}

    // Loads the file's decoded text, which is let go of as the statements are written.
    LoadResult run(TemplateDocument &document, BulkVector<char16_t> text, TextEncoding encoding);

private:
    enum class Step { Ok, Failed, Fatal };

    Step readSections(QStringView text);
    // Rebuilds one statement a line from the tokens, and orders them by class.
    Step rebuildStatements(TokenSplitter &splitter, BulkVector<char16_t> &text);
    Step statementAt(Opens opens);
    Step classStatement(int line);
    Step conditional();
    void evaluateConditional();
    QStringView skipBranch(bool toEndif = false);
    void addMissingClasses();
    // The rebuild's walk over the tokens: whether there is a token at k, its text (null past the end),
    // a statement of count tokens from first, and the release of what has been read.
    const TokenList &tokens() const { return m_splitter->stream().tokens; }
    bool has(size_t k);
    QStringView at(size_t k);
    void addStatement(size_t first, size_t count);
    void releaseRead();
    // A fatal fault in the body's lines not cut yet comes before anything the statements have to
    // say: false (its message shown) when there is one.
    bool restSplitsCleanly();
    bool buildTree();

    Step syntaxError(const QString &text, int line);
    Step fileNotLoaded();

    Prompter &m_prompter;
    const LoadOptions &m_options;

    QStringView m_body;
    StringTable m_strings;
    QStringList m_keptStrings;
    QStringList m_keptSections;
    // The machine's statements, then the rest (what stands before any CLASS line goes with the
    // user's), each in file order: the order the tree is built in.
    StatementChain m_machine;
    StatementChain m_user;
    TokenSplitter *m_splitter = nullptr; // while the statements are rebuilt
    BulkVector<char16_t> *m_text = nullptr;
    const char16_t *m_textBegin = nullptr;
    const char16_t *m_textEnd = nullptr;
    size_t m_i = 0;    // the token at hand
    size_t m_left = 0; // units of text from the last body token on
    bool m_inMachine = false;
    Conditionals m_conditionals = Conditionals::Ask;
    int m_openConditionals = 0; // blocks whose read branch is open
    int m_nodeBound = 1;        // at least as many nodes as the statements make, the root included
    bool m_seenMachine = false;
    bool m_seenUser = false;
    int m_errorLine = 0;

    std::unique_ptr<TemplateNode> m_root;
    NodeTextTable m_texts;
};

// Under the newer statements a [strings] line whose value ends in a backslash goes on in the next
// line when that one is indented, as template generators write long texts: the backslash and the
// next line's leading blanks go, the pieces are joined as they stand.
bool endsInContinuation(QStringView line)
{
    return trimmedView(line).endsWith(u'\\');
}

bool isIndented(QStringView line)
{
    return !line.isEmpty() && (line.front() == u' ' || line.front() == u'\t');
}

// Where the first line that begins with '[' (after blanks) starts, or the text's size. The body is
// nearly all of a large template, so the search jumps from one '[' to the next rather than going
// through the body line by line.
qsizetype firstSectionLine(QStringView text)
{
    const auto endsLine = [](QChar c) { return c == u'\r' || c == u'\n'; };
    for (qsizetype from = 0;;) {
        const qsizetype bracket = text.indexOf(u'[', from);
        if (bracket < 0)
            return text.size();
        qsizetype start = bracket;
        while (start > 0 && !endsLine(text[start - 1]) && text[start - 1].isSpace())
            --start;
        if (start == 0 || endsLine(text[start - 1]))
            return start;
        from = bracket + 1;
    }
}

Load::Step Load::readSections(QStringView text)
{
    // The body runs up to the first section line; every line after it belongs to some section.
    QString section;
    m_body = text;
    bool fatal = false;
    QString continued; // a string line ending in a backslash, waiting for its next piece
    const auto addEntry = [&](QString entry) {
        if (!NormaliseStringEntry(entry, m_prompter, m_options.newerStatements)) {
            fatal = true;
            return;
        }
        m_strings.append(entry);
        if (entry.startsWith(u"ieak_", Qt::CaseInsensitive))
            m_keptStrings.append(entry);
    };
    // Nothing before the first section line matters here: the lines from it on are read.
    forEachTextLine(text.sliced(firstSectionLine(text)), [&](QStringView line) {
        if (fatal)
            return;
        const QStringView trimmed = trimmedView(line);
        if (!continued.isNull()) {
            if (isIndented(line) && !trimmed.isEmpty()) {
                continued.chop(1); // the backslash
                continued += trimmed;
                if (!endsInContinuation(continued))
                    addEntry(std::exchange(continued, QString()));
                return;
            }
            addEntry(std::exchange(continued, QString()));
            if (fatal)
                return;
        }
        if (trimmed.startsWith(u'[')) {
            if (section.isEmpty())
                m_body = text.first(line.data() - text.data());
            section = trimmed.toString().toLower();
        }
        if (section.isEmpty())
            return;
        if (section != u"[strings]") {
            m_keptSections.append(line.toString());
        } else if (!trimmed.isEmpty() && !trimmed.startsWith(u';') && !trimmed.startsWith(u'[')) {
            if (m_options.newerStatements && endsInContinuation(trimmed))
                continued = trimmed.toString();
            else
                addEntry(trimmed.toString());
        }
    });
    if (!continued.isNull() && !fatal)
        addEntry(std::exchange(continued, QString()));
    if (fatal)
        return Step::Fatal;
    m_strings.SortStringTable();
    return Step::Ok;
}

bool Load::restSplitsCleanly()
{
    return !m_splitter || m_splitter->checkRest();
}

Load::Step Load::syntaxError(const QString &text, int line)
{
    if (!restSplitsCleanly())
        return Step::Fatal;
    m_prompter.tell(text + u' ' + QString::number(line));
    if (m_options.reportLine) {
        m_errorLine = line;
        return Step::Failed;
    }
    m_prompter.tell(kFileNotLoaded, Message::Icon::Exclamation);
    return Step::Failed;
}

Load::Step Load::fileNotLoaded()
{
    if (!restSplitsCleanly())
        return Step::Fatal;
    m_prompter.tell(kFileNotLoaded, Message::Icon::Exclamation);
    return Step::Failed;
}

bool Load::has(size_t k)
{
    // The body is cut into tokens as the statements need them.
    constexpr size_t kCutAhead = size_t(1) << 16;
    return k < tokens().size() || (m_splitter->splitTo(k + kCutAhead) && k < tokens().size());
}

QStringView Load::at(size_t k)
{
    return has(k) ? tokens()[k].text() : QStringView();
}

void Load::releaseRead()
{
    // Tokens taken from the body point into the text in file order; keywords and resolved strings
    // point elsewhere. A statement's first token is mostly a keyword: the next token from the body
    // tells how far the text has been read.
    const TokenList &list = tokens();
    for (size_t k = m_i; k < std::min(list.size(), m_i + 16); ++k) {
        if (const char16_t *p = list[k].data; p >= m_textBegin && p < m_textEnd) {
            releaseBulkFront(m_text->data(), m_text->capacity() * sizeof(char16_t),
                             size_t(p - m_textBegin) * sizeof(char16_t));
            break;
        }
    }
    // Token positions count from the first token kept.
    m_splitter->dropRead(m_i);
    m_i = 0;
}

void Load::addStatement(size_t first, size_t count)
{
    const Token &head = tokens()[first];
    if (count == 2 && is(head.text(), u"CLASS")) {
        const QStringView word = tokens()[first + 1].text();
        m_inMachine = is(word, u"MACHINE") ? true : is(word, u"USER") ? false : m_inMachine;
    }
    if (head.data >= m_textBegin && head.data < m_textEnd)
        m_left = size_t(m_textEnd - head.data);
    (m_inMachine ? m_machine : m_user).add(&head, count, head.line, m_left);
    // Nodes start with CLASS, CATEGORY, POLICY and PART: room for their slots is made at once.
    m_nodeBound += head.size > 0 && (head.data[0] == u'C' || head.data[0] == u'P') ? 1 : 0;
    m_i = first + count;
    // The tokens read make room for the next ones, and the text passed goes back now and then, so
    // that the tokens and the statements are not all held at once.
    constexpr size_t kReleaseEvery = size_t(1) << 16; // tokens
    if (m_i >= kReleaseEvery && m_i < tokens().size())
        releaseRead();
}

Load::Step Load::rebuildStatements(TokenSplitter &splitter, BulkVector<char16_t> &text)
{
    m_splitter = &splitter;
    m_text = &text;
    m_textBegin = text.data();
    m_textEnd = m_textBegin + text.size();
    m_left = text.size();
    m_i = 0;
    m_conditionals = m_options.conditionals;
    while (has(m_i)) {
        const QStringView t = tokens()[m_i].text();
        if (t.startsWith(u';')) {
            ++m_i;
            continue;
        }
        Opens opens = opensOf(t);
        if (opens == Opens::NewerOneArgument)
            opens = m_options.newerStatements ? Opens::OneArgument : Opens::Nothing;
        const Step step = opens == Opens::Conditional ? conditional() : statementAt(opens);
        if (step != Step::Ok)
            return step;
    }
    if (!restSplitsCleanly())
        return Step::Fatal;
    addMissingClasses();
    return Step::Ok;
}

Load::Step Load::statementAt(Opens opens)
{
    static const QString errorInLine = QStringLiteral("Error in line ");
    static const QString errorInLineBadName = QStringLiteral("Error in line");
    const size_t i = m_i;
    const int line = tokens()[i].line;
    switch (opens) {
    case Opens::Suggestions: {
        const std::u16string_view endWord(u"END", 3);
        addStatement(i, 1);
        while (has(m_i) && sv(tokens()[m_i].text()) != endWord)
            addStatement(m_i, 1);
        return Step::Ok;
    }
    case Opens::Flag: addStatement(i, 1); return Step::Ok;
    case Opens::Named: {
        const QStringView name = at(i + 1);
        if (name.isNull())
            return fileNotLoaded();
        if (!name.startsWith(u'"'))
            return syntaxError(errorInLineBadName, line);
        addStatement(i, 2);
        return Step::Ok;
    }
    case Opens::Class: return classStatement(line);
    case Opens::End: {
        const QStringView word = at(i + 1);
        if (word.isNull())
            return fileNotLoaded();
        if (!isEndable(word))
            return syntaxError(errorInLine, line);
        addStatement(i, 2);
        return Step::Ok;
    }
    case Opens::Value: {
        const QStringView value = at(i + 1);
        if (value.isNull())
            return fileNotLoaded();
        size_t count = 2;
        if (is(value, u"NUMERIC")) {
            if (at(i + 2).isNull())
                return fileNotLoaded();
            count = 3;
        }
        if (is(at(i + count), u"DEFAULT"))
            ++count;
        addStatement(i, count);
        return Step::Ok;
    }
    case Opens::OneArgument:
        if (at(i + 1).isNull())
            return fileNotLoaded();
        addStatement(i, 2);
        return Step::Ok;
    case Opens::Part: {
        const QStringView name = at(i + 1);
        const QStringView type = at(i + 2);
        if (name.isNull() || type.isNull())
            return fileNotLoaded();
        if (!name.startsWith(u'"'))
            return syntaxError(errorInLine, line);
        if (!isPartType(type))
            return syntaxError(errorInLine, tokens()[i + 2].line);
        addStatement(i, 3);
        return Step::Ok;
    }
    case Opens::Conditional:
    case Opens::NewerOneArgument:
    case Opens::Nothing: break;
    }
    return syntaxError(errorInLine, line);
}

Load::Step Load::classStatement(int line)
{
    const QStringView word = at(m_i + 1);
    if (word.isNull())
        return fileNotLoaded();
    if (is(word, u"MACHINE")) {
        m_seenMachine = true;
    } else if (is(word, u"USER")) {
        m_seenUser = true;
    } else {
        if (!restSplitsCleanly())
            return Step::Fatal;
        m_prompter.tell(QStringLiteral("Error in procedure Vullen in module modFill in line ") + QString::number(line),
                        Message::Icon::Critical);
        return Step::Fatal;
    }
    addStatement(m_i, 2);
    return Step::Ok;
}

void Load::addMissingClasses()
{
    // A missing class is added as its bare CLASS line, after everything else.
    static const QString classWord = QStringLiteral("CLASS");
    static const QString machineWord = QStringLiteral("MACHINE");
    static const QString userWord = QStringLiteral("USER");
    for (const auto &[seen, word] : {std::pair{m_seenMachine, &machineWord}, std::pair{m_seenUser, &userWord}}) {
        if (seen)
            continue;
        const Token added[] = {Token(classWord, 0), Token(*word, 0)};
        (word == &machineWord ? m_machine : m_user).add(added, 2, 0, 0);
        ++m_nodeBound;
    }
}

Load::Step Load::conditional()
{
    if (m_conditionals == Conditionals::Ask) {
        if (!restSplitsCleanly())
            return Step::Fatal;
        if (m_options.newerStatements) {
            switch (m_prompter.ask({conditionalChoice(), Message::Icon::Exclamation, Message::Buttons::YesNoCancel})) {
            case Answer::Yes: m_conditionals = Conditionals::Evaluate; break;
            case Answer::No: m_conditionals = Conditionals::Remove; break;
            default: return Step::Failed;
            }
        } else {
            if (m_prompter.ask({conditionalQuestion(), Message::Icon::Exclamation, Message::Buttons::YesNo}) !=
                Answer::Yes)
                return Step::Failed;
            m_conditionals = Conditionals::Remove;
        }
    }
    if (m_conditionals == Conditionals::Evaluate) {
        evaluateConditional();
        return Step::Ok;
    }
    // Removal: the statement and everything up to and including the next #ENDIF go.
    const std::u16string_view endifWord(u"#ENDIF", 6);
    while (has(m_i) && sv(tokens()[m_i].text()) != endifWord)
        ++m_i;
    ++m_i;
    return Step::Ok;
}

namespace {

bool opensConditionalBlock(QStringView t)
{
    return is(t, u"#IF") || is(t, u"#IFDEF") || is(t, u"#IFNDEF");
}

// Whether "#if" with this condition (its words joined without blanks, quotes removed) holds for a
// Group Policy editor: only "version" compared with a whole number means anything to it.
bool versionConditionHolds(const QString &condition)
{
    static const QString version = QStringLiteral("VERSION");
    if (!condition.startsWith(version, Qt::CaseInsensitive))
        return false;
    QStringView rest = QStringView(condition).sliced(version.size());
    QStringView op;
    for (const QStringView candidate : {u"<=", u">=", u"==", u"!=", u"<", u">"}) {
        if (rest.startsWith(candidate)) {
            op = candidate;
            break;
        }
    }
    bool ok = false;
    const int number = rest.sliced(op.size()).toInt(&ok);
    if (op.isEmpty() || !ok)
        return false;
    const int v = kGroupPolicyVersion;
    if (op == u"<=")
        return v <= number;
    if (op == u">=")
        return v >= number;
    if (op == u"==")
        return v == number;
    if (op == u"!=")
        return v != number;
    return op == u"<" ? v < number : v > number;
}

} // namespace

// Reads the conditional statement at m_i as a Group Policy editor does: an #IF on its version, an
// #IFDEF or #IFNDEF on a name (it defines none), #ELSE and #ENDIF closing the branch. The branch it
// reads stays; the other goes with the conditional lines. SOFT and VERSION standing alone go.
void Load::evaluateConditional()
{
    const Token &head = tokens()[m_i];
    const QStringView word = head.text();
    const int line = head.line;
    ++m_i;
    if (opensConditionalBlock(word)) {
        QString condition;
        while (has(m_i) && tokens()[m_i].line == line) {
            QStringView t = tokens()[m_i++].text();
            if (t.size() >= 2 && t.startsWith(u'"') && t.endsWith(u'"'))
                t = t.sliced(1, t.size() - 2);
            condition += t.toString().remove(u' ');
        }
        const bool holds = is(word, u"#IF") ? versionConditionHolds(condition) : is(word, u"#IFNDEF");
        if (holds)
            ++m_openConditionals;
        else if (skipBranch() == u"#ELSE")
            ++m_openConditionals;
    } else if (is(word, u"#ELSE")) {
        // The branch read ends here: the other one goes.
        skipBranch(true);
        m_openConditionals = std::max(0, m_openConditionals - 1);
    } else if (is(word, u"#ENDIF")) {
        m_openConditionals = std::max(0, m_openConditionals - 1);
    }
}

// Skips the tokens up to the #ELSE (unless toEndif) or #ENDIF that belongs to the block at hand,
// nested blocks included; returns that word (read past), or an empty view at the end of the body.
QStringView Load::skipBranch(bool toEndif)
{
    int depth = 0;
    while (has(m_i)) {
        const QStringView t = tokens()[m_i++].text();
        if (opensConditionalBlock(t))
            ++depth;
        else if (is(t, u"#ENDIF") && depth-- == 0)
            return u"#ENDIF";
        else if (is(t, u"#ELSE") && depth == 0 && !toEndif)
            return u"#ELSE";
    }
    return {};
}

bool Load::buildTree()
{
    int nodeCount = 0;
    int line = 0; // of the statement at hand
    const auto newNode = [&](TemplateNode *parent, const QString &kind, QString text) {
        auto node = std::make_unique<TemplateNode>(kind, std::move(text));
        node->setSlot(++nodeCount);
        m_texts.growTo(nodeCount);
        if (m_options.nodeLines) {
            m_options.nodeLines->resize(size_t(nodeCount) + 1);
            m_options.nodeLines->back() = line;
        }
        return parent ? parent->appendChild(std::move(node)) : (m_root = std::move(node)).get();
    };
    TemplateNode *current = newNode(nullptr, NodeKind::Root, kRootCaption);
    current->expanded = true;
    // Open containers with their slots: a node's slot is the number it was made with, so it is known
    // here without reading the key back.
    struct Open
    {
        TemplateNode *node;
        int slot;
    };
    std::vector<Open> stack;
    int currentSlot = nodeCount;

    // A container's END line comes after its children's lines: room for it is kept behind the
    // container's own lines ("END CATEGORY" and CR LF is the longest), so that its text need not move.
    constexpr qsizetype kEndLineRoom = 14;

    // Statements begin with an upper-case keyword and hold no blank at either end, so the keyword
    // tests compare the first token as it stands. A bare token holds no blank, so the keyword is what
    // comes before the first blank (an item of a suggestion list may be a quoted text with blanks, but
    // it begins with its quote and is no keyword) and the argument of CLASS and END is what follows.
    m_texts.reserve(m_nodeBound);
    NamePool names;
    const auto take = [&](QStringView text, int statementLine) {
        line = statementLine;
        const size_t blankAt = sv(text).find(u' '); // inline: QStringView::indexOf is out of line
        const qsizetype blank = blankAt == std::u16string_view::npos ? -1 : qsizetype(blankAt);
        const QStringView keyword = blank < 0 ? text : text.first(blank);
        const QStringView argument = blank < 0 ? QStringView() : text.sliced(blank + 1);
        TemplateNode *top = stack.empty() ? nullptr : stack.back().node;
        qsizetype roomAfter = 0;
        if (startsWith(keyword, u"CLASS")) {
            if (startsWith(argument, u"USER") || startsWith(argument, u"MACHINE")) {
                const bool user = startsWith(argument, u"USER");
                current = newNode(m_root.get(), NodeKind::Class, user ? kUserCaption : kMachineCaption);
                current->expanded = true;
                currentSlot = nodeCount;
                stack.assign(1, {current, currentSlot});
            }
        } else if (startsWith(keyword, u"CATEGORY") || startsWith(keyword, u"POLICY")) {
            if (!top)
                return false;
            const bool category = startsWith(keyword, u"CATEGORY");
            // Category names are key paths, nearly all different: only policy names are pooled.
            current = newNode(top, category ? NodeKind::Category : NodeKind::Policy,
                              category ? ExtractNodeName(text, 9) : names.get(nodeNameView(text, 7)));
            currentSlot = nodeCount;
            stack.push_back({current, currentSlot});
            roomAfter = kEndLineRoom;
        } else if (startsWith(keyword, u"PART")) {
            if (!top)
                return false;
            current = newNode(top, NodeKind::Part, names.get(nodeNameView(text, 5)));
            currentSlot = nodeCount;
        } else if (is(keyword, u"END") && (startsWith(argument, u"CATEGORY") || startsWith(argument, u"POLICY"))) {
            // The class at the bottom of the stack is no container an END can close.
            if (stack.size() < 2)
                return false;
            m_texts.appendLine(stack.back().slot, text);
            stack.pop_back();
            return true;
        }
        m_texts.appendLine(currentSlot, text, roomAfter);
        return true;
    };
    return m_machine.readOnce(take) && m_user.readOnce(take);
}

LoadResult Load::run(TemplateDocument &document, BulkVector<char16_t> text, TextEncoding encoding)
{
    LoadResult result;

    const auto fail = [&](Step step) {
        document.clear();
        result.status = step == Step::Fatal ? LoadResult::Status::Fatal : LoadResult::Status::Failed;
        result.errorLine = m_errorLine;
        return result;
    };

    if (const Step s = readSections(QStringView(text.data(), qsizetype(text.size()))); s != Step::Ok)
        return fail(s);
    const WordContext context{KeywordTable::standard(), m_strings, m_options.newerStatements};
    auto splitter = std::make_unique<TokenSplitter>(m_body, context, m_prompter);
    m_splitter = splitter.get();
    const Step rebuilt = rebuildStatements(*splitter, text);
    m_splitter = nullptr;
    if (rebuilt != Step::Ok)
        return fail(rebuilt);
    // The statements stand on their own now: the tokens, the string table and the text can go
    // before the tree is built.
    splitter.reset();
    m_strings = StringTable();
    m_body = {};
    text = BulkVector<char16_t>();
    if (!buildTree())
        return fail(fileNotLoaded());

    document.replaceContents(std::move(m_root), std::move(m_texts), std::move(m_keptStrings), std::move(m_keptSections),
                             encoding);
    result.status = LoadResult::Status::Loaded;
    return result;
}

} // namespace

namespace {

// The file's text in the encoding the options name, or else the one its bytes suggest.
void decodeInto(QByteArrayView bytes, const LoadOptions &options, BulkVector<char16_t> &text, TextEncoding &encoding)
{
    if (options.encoding) {
        const QString decoded = decodeTextAs(bytes, *options.encoding);
        text.resize(size_t(decoded.size()));
        std::copy_n(reinterpret_cast<const char16_t *>(decoded.utf16()), decoded.size(), text.data());
        encoding = *options.encoding;
        return;
    }
    text.resize(size_t(decodedSizeLimit(bytes)));
    text.resize(size_t(decodeTextTo(bytes, text.data(), &encoding)));
}

// Gives a file's bytes up as the decode passes them, and their memory to the text still to come.
class ReleasePassedBytes : public PassedBytes
{
public:
    ReleasePassedBytes(BulkVector<char> &bytes, BulkVector<char16_t> &text) : m_bytes(bytes), m_text(text) {}
    void passed(qsizetype count) override { releaseBulkFront(m_bytes.data(), m_bytes.capacity(), size_t(count)); }
    void writing(qsizetype from, qsizetype to) override
    {
        reuseBulkPages(m_text.data(), m_text.capacity() * sizeof(char16_t), size_t(from) * sizeof(char16_t),
                       size_t(to) * sizeof(char16_t));
    }

private:
    BulkVector<char> &m_bytes;
    BulkVector<char16_t> &m_text;
};

// The file's text in the encoding the options name, or else the one its bytes suggest; the bytes
// go as they are decoded.
void decodeInto(BulkVector<char> &bytes, const LoadOptions &options, BulkVector<char16_t> &text, TextEncoding &encoding)
{
    const QByteArrayView view(bytes.data(), qsizetype(bytes.size()));
    if (options.encoding) {
        decodeInto(view, options, text, encoding);
        return;
    }
    text.resize(size_t(decodedSizeLimit(view)));
    ReleasePassedBytes release(bytes, text);
    text.resize(size_t(decodeTextTo(view, text.data(), &encoding, release)));
}

} // namespace

LoadResult loadTemplateBytes(TemplateDocument &document, QByteArray bytes, Prompter &prompter,
                             const LoadOptions &options)
{
    TextEncoding encoding = TextEncoding::Windows1252;
    BulkVector<char16_t> text;
    decodeInto(bytes, options, text, encoding);
    bytes = QByteArray();
    Load load(prompter, options);
    return load.run(document, std::move(text), encoding);
}

namespace {

// The whole file; false when it cannot be read (its error string then tells why).
bool readWholeFile(QFile &file, BulkVector<char> &bytes)
{
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A file's size is only a hint (special files report none, and files change): read until the end.
    bytes.resize(size_t(std::max<qint64>(file.size(), 0)) + 1);
    size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);
        const qint64 got = file.read(bytes.data() + used, qint64(bytes.size() - used));
        if (got < 0)
            return false;
        if (got == 0)
            break;
        used += size_t(got);
    }
    bytes.resize(used);
    return file.error() == QFileDevice::NoError;
}

} // namespace

LoadResult Vullen(TemplateDocument &document, const QString &path, Prompter &prompter, const LoadOptions &options)
{
    QFile file(path);
    BulkVector<char16_t> text;
    TextEncoding encoding = TextEncoding::Windows1252;
    {
        BulkVector<char> bytes;
        if (!readWholeFile(file, bytes)) {
            prompter.tell(file.errorString(), Message::Icon::Exclamation);
            document.clear();
            document.reportUnreadable(path);
            return {};
        }
        file.close();
        decodeInto(bytes, options, text, encoding);
    }
    Load load(prompter, options);
    return load.run(document, std::move(text), encoding);
}

} // namespace kova
