#pragma once

#include <QSet>
#include <QString>

namespace kova::admx {

// A readable identifier made of a caption: its ASCII letters and digits, each word begun with a
// capital ("Allow pop-ups" gives "AllowPopUps"), at most 64 characters, never beginning with a digit.
// Empty when the caption holds no ASCII letter or digit.
QString readableId(const QString &caption);

// Hands out identifiers unique among those it gave before: the base itself, then base_2, base_3, ...
class UniqueNames
{
public:
    QString take(const QString &base);

private:
    QSet<QString> m_used;
};

} // namespace kova::admx
