#include "admhighlighter.h"

#include "document/keywordtable.h"

namespace kova {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// A word ends at a blank, a quote or a comment.
bool endsWord(QChar c)
{
    return isBlank(c) || c == u'"' || c == u';';
}

} // namespace

AdmHighlighter::AdmHighlighter(QTextDocument *document) : QSyntaxHighlighter(document)
{
    QTextCharFormat &keyword = m_formats[size_t(Kind::Keyword)];
    keyword.setForeground(QColor(0x00, 0x33, 0x99));
    keyword.setFontWeight(QFont::Bold);
    m_formats[size_t(Kind::Quoted)].setForeground(QColor(0xa3, 0x15, 0x15));
    m_formats[size_t(Kind::Reference)].setForeground(QColor(0x80, 0x00, 0x80));
    QTextCharFormat &comment = m_formats[size_t(Kind::Comment)];
    comment.setForeground(QColor(0x00, 0x80, 0x00));
    comment.setFontItalic(true);
}

QList<AdmHighlighter::Span> AdmHighlighter::spansOf(QStringView line)
{
    QList<Span> spans;
    const int n = int(line.size());
    int i = 0;
    while (i < n) {
        const QChar c = line[i];
        if (isBlank(c)) {
            ++i;
        } else if (c == u';') {
            spans.append({i, n - i, Kind::Comment});
            break;
        } else if (c == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            const int end = close < 0 ? n : int(close) + 1;
            spans.append({i, end - i, Kind::Quoted});
            i = end;
        } else {
            int end = i + 1;
            while (end < n && !endsWord(line[end]))
                ++end;
            const QStringView word = line.mid(i, end - i);
            if (word.startsWith(u"!!"))
                spans.append({i, end - i, Kind::Reference});
            else if (KeywordTable::standard().contains(word.toString().toUpper()))
                spans.append({i, end - i, Kind::Keyword});
            i = end;
        }
    }
    return spans;
}

void AdmHighlighter::highlightBlock(const QString &text)
{
    for (const Span &span : spansOf(text))
        setFormat(span.start, span.length, format(span.kind));
}

} // namespace kova
