#include "splitter.h"

#include "concat.h"
#include "keywordtable.h"
#include "prompter.h"
#include "stringtable.h"

namespace kova {

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
    if (word.startsWith(u"!!")) {
        const QStringView text = context.strings.lookup(word.mid(2));
        if (text.isNull()) {
            prompter.tell(concat({u"String ", word, u" is not defined in string table.\r\nCheck you template manually"}),
                          Message::Icon::Critical);
            return std::nullopt;
        }
        return text;
    }
    const QString upper = word.toString().toUpper();
    if (const QString *keyword = context.keywords.find(upper))
        return QStringView(*keyword);
    if (context.newerStatements) {
        const QString &keyword = newerKeyword(upper);
        if (!keyword.isEmpty())
            return QStringView(keyword);
    }
    if (isNumberWord(word))
        return word;
    stream.owned.push_back(concat({u"\"", word, u"\""}));
    return QStringView(stream.owned.back());
}

std::optional<TokenStream> Splitter(const std::vector<BodyLine> &lines, const WordContext &context,
                                    Prompter &prompter)
{
    TokenStream stream;
    QString rest;
    for (const BodyLine &line : lines) {
        rest = line.text.toString();
        rest.replace(u'\t', u' ');
        // Tokens point into the file's own text where they can; rest only steers the cutting. Offset
        // turns a position in rest into one in the line (TABs became blanks of the same length).
        qsizetype offset = 0;
        while (offset < rest.size() && rest.at(offset).isSpace())
            ++offset;
        rest = rest.trimmed();
        if (rest.isEmpty())
            continue;
        rest.append(u' ');
        const auto keep = [&](QStringView piece) {
            const qsizetype at = offset + (piece.data() - rest.constData());
            const QStringView original = line.text.mid(at, piece.size());
            if (original.contains(u'\t')) {
                stream.owned.push_back(piece.toString());
                return QStringView(stream.owned.back());
            }
            return original;
        };
        QStringView view(rest);
        while (!view.trimmed().isEmpty()) {
            const qsizetype b = view.indexOf(u' ');
            const qsizetype q = view.indexOf(u'"');
            const qsizetype q2 = q < 0 ? -1 : view.indexOf(u'"', q + 1);
            const qsizetype c = view.indexOf(u';');
            const bool commentBeforeBlank = c >= 0 && c < b;
            if (q >= 0 && q < b && (q2 >= 0 || !commentBeforeBlank)) {
                if (q2 < 0) {
                    prompter.tell(QStringLiteral("Error in function Splitter in modFill"), Message::Icon::Critical);
                    return std::nullopt;
                }
                stream.tokens.push_back({keep(view.mid(q, q2 - q + 1)), line.number});
                view = view.mid(q2 + 1);
            } else if (commentBeforeBlank) {
                if (c > 0)
                    stream.tokens.push_back({keep(view.left(c).trimmed()), line.number});
                break;
            } else {
                const QStringView word = view.left(b).trimmed();
                const auto resolved = ResolveWord(word, context, stream, prompter);
                if (!resolved)
                    return std::nullopt;
                // A word that resolves to itself (a number) still points into rest.
                stream.tokens.push_back({resolved->data() == word.data() ? keep(word) : *resolved, line.number});
                view = view.mid(b + 1);
            }
            while (!view.isEmpty() && view.front() == u' ')
                view = view.mid(1);
        }
    }
    return stream;
}

} // namespace kova
