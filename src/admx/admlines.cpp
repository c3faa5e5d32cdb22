#include "admlines.h"

#include "document/nodetext.h"

namespace kova::admx {

namespace {

AdmStatement readLine(QStringView line)
{
    AdmStatement st;
    st.line = line.toString();
    qsizetype i = 0;
    const qsizetype n = line.size();
    bool first = true;
    while (i < n) {
        while (i < n && (line[i] == u' ' || line[i] == u'\t'))
            ++i;
        if (i >= n)
            break;
        QString word;
        bool quoted = false;
        if (line[i] == u'"') {
            // No escapes exist: the text runs to the next double quote (or the line's end).
            const qsizetype close = line.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            word = line.sliced(i + 1, end - i - 1).toString();
            quoted = true;
            i = close < 0 ? n : close + 1;
        } else {
            const qsizetype start = i;
            while (i < n && line[i] != u' ' && line[i] != u'\t')
                ++i;
            word = line.sliced(start, i - start).toString();
        }
        if (first && !quoted) {
            st.keyword = word;
        } else {
            st.arguments.append(word);
            st.quoted.append(quoted);
        }
        first = false;
    }
    return st;
}

} // namespace

QList<AdmStatement> readStatements(QStringView slotText)
{
    QList<AdmStatement> statements;
    forEachStoredLine(slotText, [&](QStringView line) {
        if (!line.trimmed().isEmpty())
            statements.append(readLine(line.trimmed()));
    });
    return statements;
}

AdmValue readValue(const AdmStatement &statement)
{
    AdmValue value;
    int next = 0;
    const QString first = statement.argument(0);
    if (statement.arguments.isEmpty())
        return value;
    if (!statement.isQuoted(0) && first == u"DELETE") {
        value.kind = AdmValue::Kind::Delete;
        next = 1;
    } else if (!statement.isQuoted(0) && first == u"NUMERIC") {
        value.kind = AdmValue::Kind::Number;
        value.text = statement.argument(1);
        next = 2;
    } else {
        value.kind = AdmValue::Kind::Text;
        value.text = first;
        next = 1;
    }
    value.isDefault =
        statement.arguments.size() > next && !statement.isQuoted(next) && statement.argument(next) == u"DEFAULT";
    return value;
}

} // namespace kova::admx
