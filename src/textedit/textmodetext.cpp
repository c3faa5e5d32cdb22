#include "textmodetext.h"

#include "document/stringviews.h"

#include <QLocale>

namespace kova {

QString trimSpaces(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == u' ')
        ++start;
    while (end > start && text[end - 1] == u' ')
        --end;
    return text.mid(start, end - start).toString();
}

std::optional<double> numericValue(QStringView text)
{
    const QString trimmed = text.trimmed().toString();
    if (trimmed.isEmpty())
        return std::nullopt;
    // Only the characters of a plain decimal number: no "inf", "nan" or hexadecimal forms.
    for (QChar c : trimmed) {
        if (!(c.isDigit() && c.unicode() < 128) && c != u'.' && c != u'+' && c != u'-' && c != u'e' && c != u'E')
            return std::nullopt;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

int positionAfterLineEnds(QStringView editorText, int lineEnds)
{
    if (lineEnds < 0)
        return -1;
    qsizetype position = 0;
    for (int passed = 0; passed < lineEnds; ++passed) {
        const qsizetype end = editorText.indexOf(u'\n', position);
        if (end < 0)
            return -1;
        position = end + 1;
    }
    return int(position);
}

QString editorTextFromFile(QString fileText)
{
    fileText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    fileText.replace(u'\r', u'\n');
    return fileText;
}

QString fileTextFromEditor(QStringView editorText)
{
    QString out = editorText.toString();
    out.replace(u'\n', QStringLiteral("\r\n"));
    return out;
}

QString lineDisplayText(int line, int count)
{
    return concat({u"Current line: ", QString::number(line), u" of ", QString::number(count)});
}

} // namespace kova
