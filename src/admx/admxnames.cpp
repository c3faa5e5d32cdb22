#include "admxnames.h"

namespace kova::admx {

namespace {
constexpr qsizetype kMaxIdLength = 64;

bool isAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}
} // namespace

QString readableId(const QString &caption)
{
    QString id;
    bool wordStart = true;
    for (const QChar c : caption) {
        if (!isAsciiAlnum(c)) {
            wordStart = true;
            continue;
        }
        if (id.size() >= kMaxIdLength)
            break;
        id += wordStart ? c.toUpper() : c;
        wordStart = false;
    }
    if (!id.isEmpty() && id.front().isDigit())
        id.prepend(u'_');
    return id;
}

QString UniqueNames::take(const QString &base)
{
    QString name = base;
    for (int n = 2; m_used.contains(name); ++n)
        name = base + u'_' + QString::number(n);
    m_used.insert(name);
    return name;
}

} // namespace kova::admx
