#include "writer.h"

#include "concat.h"
#include "encoding.h"
#include "filesave.h"
#include "nodetext.h"
#include "prompter.h"
#include "templatedocument.h"

#include <QHash>

#include <algorithm>

namespace kova {

namespace {

void writeLine(QString &out, QStringView line)
{
    out.append(line);
    out.append(kCrLf);
}

// The first quoted text of a line, quotes included; a null view when the line holds no pair.
QStringView firstQuoted(QStringView line)
{
    const qsizetype q1 = line.indexOf(u'"');
    const qsizetype q2 = q1 < 0 ? -1 : line.indexOf(u'"', q1 + 1);
    return q2 < 0 ? QStringView() : line.mid(q1, q2 - q1 + 1);
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

} // namespace

QChar StringPrefixOf(QStringView line)
{
    const QString upper = line.left(9).toString().toUpper();
    if (upper.startsWith(u"CATEGORY") || upper.startsWith(u"POLICY") || upper.startsWith(u"PART"))
        return u'C';
    if (upper.startsWith(u"KEYNAME"))
        return u'K';
    if (upper.startsWith(u"VALUENAME"))
        return u'V';
    return u'W';
}

QString generatedStringName(const QString &entry, int position)
{
    return entry.front() + QStringLiteral("%1").arg(position, 4, 10, QLatin1Char('0'));
}

GeneratedStringTable BuildStringTable(NodeTextTable &texts)
{
    struct Candidate
    {
        QString lower;
        QString entry;
    };
    std::vector<Candidate> candidates;
    QStringList lines;
    for (int slot = 1; slot <= texts.highestSlot(); ++slot) {
        lines.clear();
        SplitLines(texts.at(slot), lines);
        for (const QString &line : lines) {
            const QStringView quoted = firstQuoted(line);
            if (quoted.isNull())
                continue;
            const QChar prefix = StringPrefixOf(line);
            QString entry = concat({QStringView(&prefix, 1), quoted});
            candidates.push_back({entry.toLower(), std::move(entry)});
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &a, const Candidate &b) { return a.lower < b.lower; });

    GeneratedStringTable table;
    QHash<QString, int> positionOf; // lower-cased entry -> 1-based position
    for (Candidate &c : candidates) {
        if (c.entry.size() == 3 || positionOf.contains(c.lower)) // prefix and "" : an empty text
            continue;
        table.push_back(std::move(c.entry));
        positionOf.insert(std::move(c.lower), int(table.size()));
    }
    candidates = {};

    for (int slot = 1; slot <= texts.highestSlot(); ++slot) {
        const QString &text = texts.at(slot);
        if (!text.contains(u'"'))
            continue;
        lines.clear();
        SplitLines(text, lines);
        QString rewritten;
        rewritten.reserve(text.size());
        for (QString &line : lines) {
            const QStringView quoted = firstQuoted(line);
            if (!quoted.isNull()) {
                const QChar prefix = StringPrefixOf(line);
                const int position = positionOf.value(concat({QStringView(&prefix, 1), quoted}).toLower());
                if (position > 0) {
                    const qsizetype at = quoted.data() - line.constData();
                    line.replace(at, quoted.size(), QStringLiteral("!!") + generatedStringName(table[size_t(position - 1)], position));
                }
            }
            writeLine(rewritten, line);
        }
        texts.set(slot, rewritten);
    }
    return table;
}

void WriteNode(QString &out, const NodeTextTable &texts, const TemplateNode *node, int depth)
{
    const QString indent(depth >= 2 ? depth - 1 : 0, u'\t');
    QStringList lines;
    SplitLines(texts.at(node->slot()), lines);
    const QString end = QStringLiteral("END ") + node->kind;
    qsizetype heldFrom = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(end, Qt::CaseInsensitive) == 0) {
            heldFrom = i;
            break;
        }
    }
    const auto writeLines = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            if (lines[i].trimmed().isEmpty())
                continue;
            out.append(indent);
            writeLine(out, lines[i]);
        }
    };
    writeLines(0, heldFrom);
    for (int row = 0; row < node->childCount(); ++row)
        WriteNode(out, texts, node->child(row), depth + 1);
    writeLines(heldFrom, lines.size());
}

QString renderTemplate(const TemplateDocument &document, bool strings)
{
    NodeTextTable texts = document.texts();
    GeneratedStringTable table;
    if (strings)
        table = BuildStringTable(texts);

    QString out;
    out.reserve(qsizetype(document.texts().highestSlot()) * 64);
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
            writeLine(out, concat({generatedStringName(entry, int(i + 1)), u"=", QStringView(entry).mid(1)}));
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
    return out;
}

bool WriteTemplate(TemplateDocument &document, Prompter &prompter)
{
    TextEncoding encoding = document.encoding();
    const QByteArray bytes = encodeText(renderTemplate(document, document.stringsOption()), encoding);
    QString error;
    if (!saveFileAtomically(document.path(), bytes, &error)) {
        prompter.tell(error + QStringLiteral("\r\nTry to save your file with a different name"), Message::Icon::Exclamation);
        return false;
    }
    document.setEncoding(encoding);
    document.setModified(false);
    document.reportWritten(document.path());
    return true;
}

} // namespace kova
