#include "nodetext.h"

#include "stringviews.h"

namespace kova {

QString MakeNodeKey(int n)
{
    // One key per node of a large template: write the digits straight into the one allocation.
    char16_t digits[12];
    int count = 0;
    unsigned v = n < 0 ? 0u - unsigned(n) : unsigned(n);
    do {
        digits[count++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v > 0);
    if (n < 0)
        digits[count++] = u'-';
    QString key(count + 1, Qt::Uninitialized);
    QChar *out = key.data();
    *out++ = u'K';
    while (count > 0)
        *out++ = QChar(digits[--count]);
    return key;
}

int NodeSlotOf(const QString &key)
{
    // Called for every line the writer and loader handle: parse the decimal digits directly.
    const qsizetype n = key.size();
    if (n < 2 || n > 10)
        return 0;
    int slot = 0;
    for (qsizetype i = 1; i < n; ++i) {
        const char16_t c = key[i].unicode();
        if (c < u'0' || c > u'9')
            return 0;
        slot = slot * 10 + (c - u'0');
    }
    return slot;
}

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
        return rest.toString();
    return rest.mid(q1 + 1, q2 - q1 - 1).toString();
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
