#pragma once

// Text looked at eight bytes at a time: the loader, the writer and the conversion go through tens of
// megabytes of short lines, nearly all plain ASCII, where a call to a vector search would cost more
// than the search.

#include <QStringView>

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace kova {

// The bitwise OR of every eight bytes of the n units at in, with the units after the last whole
// eight bytes in the low bits: enough to tell whether any unit has a bit set.
template<typename Unit>
std::uint64_t orOfWords(const Unit *in, qsizetype n)
{
    constexpr qsizetype kPerWord = qsizetype(8 / sizeof(Unit));
    std::uint64_t any = 0;
    qsizetype i = 0;
    for (; i + kPerWord <= n; i += kPerWord) {
        std::uint64_t word;
        std::memcpy(&word, in + i, 8);
        any |= word;
    }
    for (; i < n; ++i)
        any |= std::uint64_t(std::make_unsigned_t<Unit>(in[i]));
    return any;
}

// Whether a byte is 0x80 or above.
inline bool anyBeyondAscii(const char *bytes, qsizetype n)
{
    return (orOfWords(bytes, n) & 0x8080808080808080u) != 0;
}

// Whether every character of text is Latin-1 (up to U+00FF).
inline bool fitsLatin1(QStringView text)
{
    return (orOfWords(text.utf16(), text.size()) & 0xFF00FF00FF00FF00u) == 0;
}

// Narrows the plain ASCII at the start of text to bytes, four characters at a time, up to the first
// character beyond ASCII; returns how many were written. out has room for n bytes.
inline qsizetype narrowAscii(const char16_t *in, qsizetype n, char *out)
{
    qsizetype i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 4 <= n; i += 4) {
            std::uint64_t units;
            std::memcpy(&units, in + i, 8);
            if (units & 0xFF80FF80FF80FF80u)
                break;
            const auto bytes = std::uint32_t((units & 0xFF) | ((units >> 8) & 0xFF00) | ((units >> 16) & 0xFF0000) |
                                             ((units >> 24) & 0xFF000000));
            std::memcpy(out + i, &bytes, 4);
        }
    }
    for (; i < n && in[i] < 0x80; ++i)
        out[i] = char(in[i]);
    return i;
}

// Where the first CR or LF stands at or after from in the n units at text, or n; four characters
// at a time while none of them is one. A lane of x ^ c is zero where c stands, and (v - 1) & ~v has
// the top bit of a lane set only when some lane of v is zero.
inline qsizetype lineEndFrom(const char16_t *text, qsizetype from, qsizetype n)
{
    constexpr std::uint64_t kOnes = 0x0001000100010001u;
    constexpr std::uint64_t kTops = 0x8000800080008000u;
    const auto holds = [](std::uint64_t units, char16_t c) {
        const std::uint64_t v = units ^ (kOnes * c);
        return ((v - kOnes) & ~v & kTops) != 0;
    };
    qsizetype i = from;
    for (; i + 4 <= n; i += 4) {
        std::uint64_t units;
        std::memcpy(&units, text + i, 8);
        if (holds(units, u'\r') || holds(units, u'\n'))
            break;
    }
    while (i < n && text[i] != u'\r' && text[i] != u'\n')
        ++i;
    return i;
}

} // namespace kova
