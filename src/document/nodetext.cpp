#include "nodetext.h"

#include "stringviews.h"

namespace kova {

void AppendNodeLine(QString &slotText, QStringView line)
{
    const QStringView trimmed = trimmedView(line);
    if (trimmed.isEmpty())
        return;
    slotText.append(trimmed);
    slotText.append(kCrLf);
}

void SplitLines(QStringView text, QStringList &lines)
{
    forEachStoredLine(text, [&](QStringView line) { lines.append(line.toString()); });
}

QString ExtractNodeName(QStringView line, int start)
{
    return nodeNameView(line, start).toString();
}

QStringView nodeNameView(QStringView line, int start)
{
    const QStringView rest = line.mid(qMax(0, start - 1));
    // Called for every node a template loads: a plain loop, as QStringView::indexOf is out of line.
    const auto quoteFrom = [&](qsizetype from) {
        while (from < rest.size() && rest[from] != u'"')
            ++from;
        return from < rest.size() ? from : -1;
    };
    const qsizetype q1 = quoteFrom(0);
    const qsizetype q2 = q1 < 0 ? -1 : quoteFrom(q1 + 1);
    if (q2 < 0)
        return rest;
    return rest.mid(q1 + 1, q2 - q1 - 1);
}

QString GetEditorKind(QStringView firstLine, QString *partName)
{
    const qsizetype blank = firstLine.indexOf(u' ');
    const QStringView word = blank < 0 ? firstLine : firstLine.left(blank);
    if (word != u"PART")
        return word.toString();
    const qsizetype q1 = firstLine.indexOf(u'"');
    const qsizetype q2 = q1 < 0 ? -1 : firstLine.indexOf(u'"', q1 + 1);
    if (q2 < 0)
        return QString();
    if (partName)
        *partName = firstLine.mid(q1, q2 - q1 + 1).toString();
    return firstLine.mid(q2 + 1).trimmed().toString();
}

} // namespace kova
