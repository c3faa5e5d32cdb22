#include "loader.h"

#include "concat.h"
#include "encoding.h"
#include "keywordtable.h"
#include "nodetext.h"
#include "prompter.h"
#include "splitter.h"
#include "stringtable.h"
#include "templatedocument.h"

#include <QFile>

namespace kova {

namespace {

const QString kFileNotLoaded = QStringLiteral("File not loaded");

bool isConditional(QStringView t)
{
    return t == u"#IF" || t == u"#IFDEF" || t == u"#IFNDEF" || t == u"#ELSE" || t == u"#ENDIF" || t == u"SOFT"
           || t == u"VERSION";
}

bool isFlag(QStringView t)
{
    static const QStringView flags[] = {u"ACTIONLIST", u"ACTIONLISTOFF", u"ACTIONLISTON", u"ADDITIVE",
                                        u"DEFCHECKED", u"EXPANDABLETEXT", u"EXPLICITVALUE", u"ITEMLIST",
                                        u"NOSORT", u"OEMCONVERT", u"REQUIRED", u"TXTCONVERT"};
    return std::find(std::begin(flags), std::end(flags), t) != std::end(flags);
}

bool isEndable(QStringView t)
{
    static const QStringView words[] = {u"ACTIONLISTOFF", u"ACTIONLISTON", u"ACTIONLIST", u"CLASS",   u"CATEGORY",
                                        u"ITEMLIST",      u"PART",         u"POLICY",     u"SUGGESTIONS"};
    return std::find(std::begin(words), std::end(words), t) != std::end(words);
}

bool isPartType(QStringView t)
{
    static const QStringView types[] = {u"CHECKBOX", u"COMBOBOX", u"DROPDOWNLIST", u"EDITTEXT",
                                        u"LISTBOX",  u"NUMERIC",  u"TEXT"};
    return std::find(std::begin(types), std::end(types), t) != std::end(types);
}

bool takesOneArgument(QStringView t, bool newerStatements)
{
    static const QStringView words[] = {u"MAX",  u"MAXLEN",    u"MIN",      u"SPIN",       u"DEFAULT",
                                        u"KEYNAME", u"NAME", u"VALUENAME", u"VALUEPREFIX"};
    if (std::find(std::begin(words), std::end(words), t) != std::end(words))
        return true;
    return newerStatements && (t == u"EXPLAIN" || t == u"SUPPORTED" || t == u"CLIENTEXT");
}

QString conditionalQuestion()
{
    return QStringLiteral("The file you tried to open contains conditional statements like:\r\n"
                          "#IF, #IFDEF, #IFNDEF, #ELSE, #ENDIF, SOFT, VERSION\r\n"
                          "This program doen't support conditional statements.\r\n\r\n"
                          "Remove this type of statements?\r\n"
                          "(Don't forget to make a backup of your originial template)");
}

// One load's working state and steps.
class Load
{
public:
    Load(Prompter &prompter, const LoadOptions &options) : m_prompter(prompter), m_options(options) {}

    LoadResult run(TemplateDocument &document, QByteArray bytes);

private:
    enum class Step { Ok, Failed, Fatal };

    Step readSections(QStringView text);
    Step rebuildStatements(const TokenStream &stream);
    void orderByClass();
    bool buildTree();

    Step syntaxError(const QString &text, int line);
    Step fileNotLoaded();

    Prompter &m_prompter;
    const LoadOptions &m_options;

    std::vector<BodyLine> m_bodyLines;
    StringTable m_strings;
    QStringList m_keptStrings;
    QStringList m_keptSections;
    QStringList m_statements;
    bool m_agreedToRemove = false;
    bool m_seenMachine = false;
    bool m_seenUser = false;
    int m_errorLine = 0;

    std::unique_ptr<TemplateNode> m_root;
    NodeTextTable m_texts;
};

Load::Step Load::readSections(QStringView text)
{
    QString section;
    const std::vector<QStringView> lines = splitTextLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i];
        const QStringView trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            section = trimmed.toString().toLower();
        }
        if (section.isEmpty()) {
            m_bodyLines.push_back({line, int(i + 1)});
        } else if (section != u"[strings]") {
            m_keptSections.append(line.toString());
        } else if (!trimmed.isEmpty() && !trimmed.startsWith(u';') && !trimmed.startsWith(u'[')) {
            QString entry = trimmed.toString();
            if (!NormaliseStringEntry(entry, m_prompter))
                return Step::Fatal;
            m_strings.append(entry);
            if (entry.startsWith(u"ieak_", Qt::CaseInsensitive))
                m_keptStrings.append(entry);
        }
    }
    m_strings.SortStringTable();
    return Step::Ok;
}

Load::Step Load::syntaxError(const QString &text, int line)
{
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
    m_prompter.tell(kFileNotLoaded, Message::Icon::Exclamation);
    return Step::Failed;
}

Load::Step Load::rebuildStatements(const TokenStream &stream)
{
    const std::vector<Token> &tokens = stream.tokens;
    const size_t n = tokens.size();
    const QString errorInLine = QStringLiteral("Error in line ");
    const QString errorInLineBadName = QStringLiteral("Error in line");
    size_t i = 0;
    // The token after i, or a null view at the end of the stream.
    const auto next = [&](size_t k) { return k < n ? tokens[k].text : QStringView(); };

    while (i < n) {
        const QStringView t = tokens[i].text;
        const int line = tokens[i].line;
        if (t.startsWith(u';')) {
            ++i;
            continue;
        }
        if (isConditional(t)) {
            if (!m_agreedToRemove) {
                const Answer a = m_prompter.ask(
                    {conditionalQuestion(), Message::Icon::Exclamation, Message::Buttons::YesNo});
                if (a != Answer::Yes)
                    return Step::Failed;
                m_agreedToRemove = true;
            }
            size_t j = i;
            while (j < n && tokens[j].text != u"#ENDIF")
                ++j;
            i = j + 1;
            continue;
        }
        if (t == u"SUGGESTIONS") {
            m_statements.append(t.toString());
            for (++i; i < n && tokens[i].text != u"END"; ++i)
                m_statements.append(tokens[i].text.toString());
            continue;
        }
        if (isFlag(t)) {
            m_statements.append(t.toString());
            ++i;
            continue;
        }
        if (t == u"CATEGORY" || t == u"POLICY") {
            const QStringView name = next(i + 1);
            if (name.isNull())
                return fileNotLoaded();
            if (!name.startsWith(u'"'))
                return syntaxError(errorInLineBadName, line);
            m_statements.append(concat({t, u" ", name}));
            i += 2;
            continue;
        }
        if (t == u"CLASS") {
            const QStringView word = next(i + 1);
            if (word.isNull())
                return fileNotLoaded();
            if (word == u"MACHINE")
                m_seenMachine = true;
            else if (word == u"USER")
                m_seenUser = true;
            else {
                m_prompter.tell(QStringLiteral("Error in procedure Vullen in module modFill in line ") + QString::number(line),
                                Message::Icon::Critical);
                return Step::Fatal;
            }
            m_statements.append(concat({u"CLASS ", word}));
            i += 2;
            continue;
        }
        if (t == u"END") {
            const QStringView word = next(i + 1);
            if (word.isNull())
                return fileNotLoaded();
            if (!isEndable(word))
                return syntaxError(errorInLine, line);
            m_statements.append(concat({u"END ", word}));
            i += 2;
            continue;
        }
        if (t == u"VALUE" || t == u"VALUEOFF" || t == u"VALUEON") {
            const QStringView value = next(i + 1);
            if (value.isNull())
                return fileNotLoaded();
            QString statement = concat({t, u" ", value});
            i += 2;
            if (value == u"NUMERIC") {
                const QStringView number = next(i);
                if (number.isNull())
                    return fileNotLoaded();
                statement += concat({u" ", number});
                ++i;
            }
            if (next(i) == u"DEFAULT") {
                statement += u" DEFAULT";
                ++i;
            }
            m_statements.append(statement);
            continue;
        }
        if (takesOneArgument(t, m_options.newerStatements)) {
            const QStringView argument = next(i + 1);
            if (argument.isNull())
                return fileNotLoaded();
            m_statements.append(concat({t, u" ", argument}));
            i += 2;
            continue;
        }
        if (t == u"PART") {
            const QStringView name = next(i + 1);
            const QStringView type = next(i + 2);
            if (name.isNull() || type.isNull())
                return fileNotLoaded();
            if (!name.startsWith(u'"'))
                return syntaxError(errorInLine, line);
            if (!isPartType(type))
                return syntaxError(errorInLine, tokens[i + 2].line);
            m_statements.append(concat({u"PART ", name, u" ", type}));
            i += 3;
            continue;
        }
        return syntaxError(errorInLine, line);
    }
    if (!m_seenMachine)
        m_statements.append(QStringLiteral("CLASS MACHINE"));
    if (!m_seenUser)
        m_statements.append(QStringLiteral("CLASS USER"));
    return Step::Ok;
}

void Load::orderByClass()
{
    QStringList machine;
    QStringList user;
    bool inMachine = false;
    for (QString &line : m_statements) {
        if (line == u"CLASS MACHINE")
            inMachine = true;
        else if (line == u"CLASS USER")
            inMachine = false;
        (inMachine ? machine : user).append(std::move(line));
    }
    machine.append(std::move(user));
    m_statements = std::move(machine);
}

bool Load::buildTree()
{
    int nodeCount = 0;
    const auto newNode = [&](TemplateNode *parent, const QString &kind, QString text, const QString &image) {
        auto node = std::make_unique<TemplateNode>(kind, std::move(text), image);
        node->key = MakeNodeKey(++nodeCount);
        m_texts.growTo(nodeCount);
        return parent ? parent->appendChild(std::move(node)) : (m_root = std::move(node)).get();
    };

    TemplateNode *current = newNode(nullptr, NodeKind::Root, QStringLiteral("Computer"), QStringLiteral("root"));
    current->expanded = true;
    std::vector<TemplateNode *> stack;

    for (QString &statement : m_statements) {
        const QString line = statement.trimmed().toUpper();
        const auto containerTop = [&]() { return stack.empty() ? nullptr : stack.back(); };
        if (line.startsWith(u"CLASS")) {
            const QStringView word = QStringView(line).mid(5).trimmed();
            if (word.startsWith(u"USER") || word.startsWith(u"MACHINE")) {
                const bool user = word.startsWith(u"USER");
                current = newNode(m_root.get(), NodeKind::Class,
                                  user ? QStringLiteral("User") : QStringLiteral("Machine"),
                                  user ? QStringLiteral("user") : QStringLiteral("machine"));
                current->expanded = true;
                stack.assign(1, current);
            }
        } else if (line.startsWith(u"CATEGORY") || line.startsWith(u"POLICY")) {
            if (!containerTop())
                return false;
            const bool category = line.startsWith(u"CATEGORY");
            current = newNode(containerTop(), category ? NodeKind::Category : NodeKind::Policy,
                              ExtractNodeName(statement, category ? 9 : 7),
                              category ? QStringLiteral("category") : QStringLiteral("policy"));
            stack.push_back(current);
        } else if (line.startsWith(u"PART")) {
            if (!containerTop())
                return false;
            current = newNode(containerTop(), NodeKind::Part, ExtractNodeName(statement, 5), QStringLiteral("part"));
        } else if (line.startsWith(u"END")) {
            const QStringView word = QStringView(line).mid(3).trimmed();
            if (word.startsWith(u"CATEGORY") || word.startsWith(u"POLICY")) {
                // The class at the bottom of the stack is no container an END can close.
                if (stack.size() < 2)
                    return false;
                m_texts.appendLine(stack.back()->slot(), statement);
                statement = QString();
                stack.pop_back();
                continue;
            }
        }
        m_texts.appendLine(current->slot(), statement);
        statement = QString(); // the slot holds it now
    }
    return true;
}

LoadResult Load::run(TemplateDocument &document, QByteArray bytes)
{
    LoadResult result;
    TextEncoding encoding = TextEncoding::Windows1252;
    const QString text = decodeText(bytes, &encoding);
    bytes = QByteArray();

    const auto fail = [&](Step step) {
        document.clear();
        result.status = step == Step::Fatal ? LoadResult::Status::Fatal : LoadResult::Status::Failed;
        result.errorLine = m_errorLine;
        return result;
    };

    if (const Step s = readSections(text); s != Step::Ok)
        return fail(s);
    {
        const WordContext context{KeywordTable::standard(), m_strings, m_options.newerStatements};
        std::optional<TokenStream> stream = Splitter(m_bodyLines, context, m_prompter);
        if (!stream)
            return fail(Step::Fatal);
        m_bodyLines = {};
        if (const Step s = rebuildStatements(*stream); s != Step::Ok)
            return fail(s);
    }
    m_strings = {};
    orderByClass();
    if (!buildTree())
        return fail(fileNotLoaded());
    m_statements = {};

    document.replaceContents(std::move(m_root), std::move(m_texts), std::move(m_keptStrings),
                             std::move(m_keptSections), encoding);
    result.status = LoadResult::Status::Loaded;
    return result;
}

} // namespace

LoadResult loadTemplateBytes(TemplateDocument &document, QByteArray bytes, Prompter &prompter,
                             const LoadOptions &options)
{
    Load load(prompter, options);
    return load.run(document, std::move(bytes));
}

LoadResult Vullen(TemplateDocument &document, const QString &path, Prompter &prompter, const LoadOptions &options)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        prompter.tell(file.errorString(), Message::Icon::Exclamation);
        document.clear();
        document.reportUnreadable(path);
        return {};
    }
    file.close();
    return loadTemplateBytes(document, std::move(bytes), prompter, options);
}

} // namespace kova
