#pragma once

#include <QString>

#include <string>

namespace kova {

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

} // namespace kova
