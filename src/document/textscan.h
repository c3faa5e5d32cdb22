#pragma once

// Scans over text that the loader, the writer and the conversion share. Plain loops on purpose: an
// eight-bytes-at-a-time version measured no faster on any of bench/speedmeasures.sh's three jobs
// (its differences stayed within the run-to-run noise), so it is not worth its tricks.

#include <QStringView>

#include <algorithm>

namespace kova {

// Whether a byte is 0x80 or above.
inline bool anyBeyondAscii(const char *bytes, qsizetype n)
{
    return std::any_of(bytes, bytes + n, [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Whether every character of text is Latin-1 (up to U+00FF).
inline bool fitsLatin1(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// Narrows the plain ASCII at the start of text to bytes, up to the first character beyond ASCII;
// returns how many were written. out has room for n bytes.
inline qsizetype narrowAscii(const char16_t *in, qsizetype n, char *out)
{
    qsizetype i = 0;
    for (; i < n && in[i] < 0x80; ++i)
        out[i] = char(in[i]);
    return i;
}

// Where the first CR or LF stands at or after from in the n units at text, or n.
inline qsizetype lineEndFrom(const char16_t *text, qsizetype from, qsizetype n)
{
    return std::find_if(text + from, text + n, [](char16_t c) { return c == u'\r' || c == u'\n'; }) - text;
}

} // namespace kova
