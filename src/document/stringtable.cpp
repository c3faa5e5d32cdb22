#include "stringtable.h"

#include "prompter.h"
#include "stringviews.h"

#include <algorithm>

namespace kova {

namespace {

// The inner double quotes of a text as typographic ones: opening after a blank, an opening bracket or
// at the start, closing elsewhere.
QString typographicQuotes(QStringView text)
{
    QString out = text.toString();
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] != u'"')
            continue;
        const QChar before = i > 0 ? out[i - 1] : QChar(u' ');
        const bool opening = before.isSpace() || before == u'(' || before == u'[' || before == u'{';
        out[i] = opening ? QChar(0x201C) : QChar(0x201D);
    }
    return out;
}

} // namespace

bool NormaliseStringEntry(QString &line, Prompter &prompter, bool wholeQuotedText)
{
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0) {
        prompter.tell(QStringLiteral("The [strings] section contains invalid entries\r\n"
                                     "The program could not evaluate the following line:\r\n") +
                          line,
                      Message::Icon::Critical);
        return false;
    }
    const QStringView name = QStringView(line).left(eq).trimmed();
    QStringView value = QStringView(line).mid(eq + 1).trimmed();
    const qsizetype q1 = value.indexOf(u'"');
    if (wholeQuotedText && q1 >= 0 && value.lastIndexOf(u'"') > value.indexOf(u'"', q1 + 1)) {
        const QString inner = typographicQuotes(value.sliced(q1 + 1, value.lastIndexOf(u'"') - q1 - 1).trimmed());
        QString entry = concat({name, u"=\"", inner, u"\""});
        entry.replace(u'\t', u' ');
        line = entry.trimmed();
        return true;
    }
    if (q1 >= 0) {
        const qsizetype q2 = value.indexOf(u'"', q1 + 1);
        value = q2 >= 0 ? value.mid(q1 + 1, q2 - q1 - 1) : value.left(q1);
    }
    QString entry = concat({name, u"=\"", value.trimmed(), u"\""});
    entry.replace(u'\t', u' ');
    line = entry.trimmed();
    return true;
}

void StringTable::append(const QString &entry)
{
    const qsizetype eq = entry.indexOf(u'=');
    m_entries.push_back({lowered(QStringView(entry).left(eq < 0 ? entry.size() : eq + 1)), entry});
}

void StringTable::SortStringTable()
{
    // Stable, so that of two entries with the same name the one written first is found.
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const Entry &a, const Entry &b) { return a.lowerName < b.lowerName; });
}

QStringView StringTable::lookup(QStringView name) const
{
    const std::u16string prefix = lowered(name) + u'=';
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), prefix,
                                     [](const Entry &e, const std::u16string &p) { return e.lowerName < p; });
    if (it == m_entries.end() || it->lowerName != prefix)
        return {};
    return QStringView(it->entry).mid(it->entry.indexOf(u'=') + 1);
}

} // namespace kova
