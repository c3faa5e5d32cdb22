#pragma once

// Small string helpers of the loader and writer, which handle every line of large templates.

#include <QString>
#include <QStringView>

#include <initializer_list>
#include <string>
#include <string_view>

namespace kova {

// The same characters as a standard string view, for the standard containers and algorithms.
inline std::u16string_view sv(QStringView v)
{
    return {v.utf16(), size_t(v.size())};
}

// Joins string pieces in one allocation (Qt 6.4 has no operator+ for QStringView).
inline QString concat(std::initializer_list<QStringView> pieces)
{
    qsizetype size = 0;
    for (QStringView p : pieces)
        size += p.size();
    QString out;
    out.reserve(size);
    for (QStringView p : pieces)
        out.append(p);
    return out;
}

// Lower case, with a fast path for the ASCII text that names and values almost always are; other
// text goes through QString::toLower.
inline void lowerInto(QStringView text, std::u16string &out)
{
    out.resize(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            const QString lower = text.toString().toLower();
            out.assign(reinterpret_cast<const char16_t *>(lower.constData()), size_t(lower.size()));
            return;
        }
        out[size_t(i)] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }
}

inline std::u16string lowered(QStringView text)
{
    std::u16string out;
    lowerInto(text, out);
    return out;
}

// The same view QStringView::trimmed gives (white space as QChar::isSpace sees it, unit by unit),
// inline: the loader and writer trim every line, and most lines have nothing to trim.
inline QStringView trimmedView(QStringView text)
{
    const QChar *begin = text.begin();
    const QChar *end = text.end();
    while (begin < end && begin->isSpace())
        ++begin;
    while (end > begin && end[-1].isSpace())
        --end;
    return QStringView(begin, end);
}

} // namespace kova
