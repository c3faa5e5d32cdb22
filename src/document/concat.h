#pragma once

#include <QString>

#include <initializer_list>

namespace kova {

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

} // namespace kova
