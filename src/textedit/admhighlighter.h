#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>

namespace kova {

// Colours ADM text: the 47 keywords (any case), quoted texts, !! string references and ; comments.
// A line is scanned the way the splitter reads it: a quote runs to the next quote, a ; outside quotes
// starts a comment, blanks (and TABs) separate words. Only character formats are set.
class AdmHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    enum class Kind { Keyword, Quoted, Reference, Comment };

    explicit AdmHighlighter(QTextDocument *document);

    const QTextCharFormat &format(Kind kind) const { return m_formats[size_t(kind)]; }

    struct Span
    {
        int start;
        int length;
        Kind kind;
        bool operator==(const Span &) const = default;
    };
    // The coloured spans of one line, in order.
    static QList<Span> spansOf(QStringView line);

protected:
    void highlightBlock(const QString &text) override;

private:
    std::array<QTextCharFormat, 4> m_formats;
};

} // namespace kova
