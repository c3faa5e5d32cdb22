#pragma once

#include <QStringView>

namespace kova {

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
