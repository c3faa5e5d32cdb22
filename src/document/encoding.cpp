#include "encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cstring>

namespace kova {

namespace {

// Code points of the bytes 0x80..0x9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return int(0x80 + i);
    return -1;
}

// Whether any of the eight bytes of word lies in 0x80..0x9F (bit 7 set, bits 6 and 5 clear). The
// shifts move each byte's bits 6 and 5 up to its own bit 7, so bytes never mix.
bool hasHighControl(quint64 word)
{
    constexpr quint64 topBits = 0x8080808080808080ull;
    return (word & ~(word << 1) & ~(word << 2) & topBits) != 0;
}

// Latin-1 is right for every byte but 0x80..0x9F; those are rare, so they are mended after a fast
// Latin-1 conversion: text holds the Latin-1 reading of bytes.
void mendHighControls(QByteArrayView bytes, char16_t *text)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    const auto mend = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i)
            if ((in[i] & 0xE0) == 0x80)
                text[i] = kHighControls[in[i] - 0x80];
    };
    // Eight bytes at a time: GCC did not vectorise the byte-by-byte test (8 instructions a byte).
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, in + i, sizeof word);
        if (hasHighControl(word))
            mend(i, i + 8);
    }
    mend(i, n);
}

// Decodes a whole file into the buffer room(n) hands out for at most n units; returns the units
// written.
template<typename Room>
qsizetype decodeTo(QByteArrayView bytes, TextEncoding &found, Room &&room)
{
    QStringConverter::Encoding converter = QStringConverter::Latin1;
    found = TextEncoding::Windows1252;
    if (bytes.startsWith("\xFF\xFE")) {
        found = TextEncoding::Utf16LE;
        converter = QStringConverter::Utf16LE;
        bytes = bytes.sliced(2);
    } else if (bytes.startsWith("\xFE\xFF")) {
        found = TextEncoding::Utf16BE;
        converter = QStringConverter::Utf16BE;
        bytes = bytes.sliced(2);
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        found = TextEncoding::Utf8;
        converter = QStringConverter::Utf8;
        bytes = bytes.sliced(3);
    }
    QStringDecoder decoder(converter, QStringConverter::Flag::Stateless);
    char16_t *out = room(decoder.requiredSpace(bytes.size()));
    const QChar *end = decoder.appendToBuffer(reinterpret_cast<QChar *>(out), bytes);
    if (found == TextEncoding::Windows1252)
        mendHighControls(bytes, out);
    return end - reinterpret_cast<QChar *>(out);
}

// Encodes text into the buffer room(n) hands out for at most n bytes; returns the bytes written.
template<typename Room>
qsizetype encodeTo(QStringView text, TextEncoding &encoding, Room &&room)
{
    char16_t any = 0;
    for (QChar c : text)
        any |= c.unicode();
    if (encoding == TextEncoding::Windows1252 && any >= 0x80 && !canEncodeWindows1252(text))
        encoding = TextEncoding::Utf16LE;
    QStringConverter::Encoding converter = QStringConverter::Latin1;
    switch (encoding) {
    case TextEncoding::Windows1252:
        if (any >= 0x80) {
            char *out = room(text.size());
            for (QChar c : text)
                *out++ = char(windows1252Byte(c.unicode()));
            return text.size();
        }
        break; // plain ASCII, the common case: Latin-1 is the same and fast
    case TextEncoding::Utf8: converter = QStringConverter::Utf8; break;
    case TextEncoding::Utf16LE: converter = QStringConverter::Utf16LE; break;
    case TextEncoding::Utf16BE: converter = QStringConverter::Utf16BE; break;
    }
    QStringEncoder encoder(converter, encoding == TextEncoding::Windows1252 ? QStringConverter::Flag::Stateless
                                                                            : QStringConverter::Flag::WriteBom);
    char *out = room(encoder.requiredSpace(text.size()));
    return encoder.appendToBuffer(out, text) - out;
}

} // namespace

QString fromWindows1252(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    // Only text with a byte to mend is detached.
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    if (std::any_of(in, in + bytes.size(), [](unsigned char b) { return (b & 0xE0) == 0x80; }))
        mendHighControls(bytes, reinterpret_cast<char16_t *>(text.data()));
    return text;
}

bool canEncodeWindows1252(QStringView text)
{
    for (QChar c : text)
        if (windows1252Byte(c.unicode()) < 0)
            return false;
    return true;
}

QByteArray toWindows1252(QStringView text)
{
    char16_t any = 0;
    for (QChar c : text)
        any |= c.unicode();
    if (any < 0x80)
        return text.toLatin1(); // plain ASCII, the common case
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (QChar c : text) {
        const int b = windows1252Byte(c.unicode());
        *out++ = char(b < 0 ? '?' : b);
    }
    return bytes;
}

QString decodeText(QByteArrayView bytes, TextEncoding *encoding)
{
    QString text;
    TextEncoding found;
    const qsizetype n = decodeTo(bytes, found, [&](qsizetype room) {
        text.resize(room);
        return reinterpret_cast<char16_t *>(text.data());
    });
    text.truncate(n);
    if (encoding)
        *encoding = found;
    return text;
}

void decodeTextInto(QByteArrayView bytes, BulkVector<char16_t> &text, TextEncoding *encoding)
{
    TextEncoding found;
    const qsizetype n = decodeTo(bytes, found, [&](qsizetype room) {
        text.resize(size_t(room));
        return text.data();
    });
    text.resize(size_t(n));
    if (encoding)
        *encoding = found;
}

QByteArray encodeText(QStringView text, TextEncoding &encoding)
{
    QByteArray bytes;
    const qsizetype n = encodeTo(text, encoding, [&](qsizetype room) {
        bytes.resize(room);
        return bytes.data();
    });
    bytes.truncate(n);
    return bytes;
}

void encodeTextInto(QStringView text, TextEncoding &encoding, BulkVector<char> &bytes)
{
    const qsizetype n = encodeTo(text, encoding, [&](qsizetype room) {
        bytes.resize(size_t(room));
        return bytes.data();
    });
    bytes.resize(size_t(n));
}

std::vector<QStringView> splitTextLines(QStringView text)
{
    std::vector<QStringView> lines;
    forEachTextLine(text, [&](QStringView line) { lines.push_back(line); });
    return lines;
}

} // namespace kova
