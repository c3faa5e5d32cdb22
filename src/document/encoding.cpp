#include "encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

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

QString decodeWith(QStringConverter::Encoding enc, QByteArrayView bytes)
{
    QStringDecoder decoder(enc, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArray encodeWith(QStringConverter::Encoding enc, QStringView text)
{
    QStringEncoder encoder(enc, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

} // namespace

QString fromWindows1252(QByteArrayView bytes)
{
    // Latin-1 is right for every byte but 0x80..0x9F; those are rare, so mend them afterwards.
    QString text = QString::fromLatin1(bytes);
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    char16_t *out = nullptr; // taken on the first byte to mend, so that plain text is not detached
    const auto mend = [&](qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            if ((in[i] & 0xE0) != 0x80)
                continue;
            if (!out)
                out = reinterpret_cast<char16_t *>(text.data());
            out[i] = kHighControls[in[i] - 0x80];
        }
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

QString decodeText(const QByteArray &bytes, TextEncoding *encoding)
{
    TextEncoding found = TextEncoding::Windows1252;
    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        found = TextEncoding::Utf16LE;
        text = decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        found = TextEncoding::Utf16BE;
        text = decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        found = TextEncoding::Utf8;
        text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    } else {
        text = fromWindows1252(bytes);
    }
    if (encoding)
        *encoding = found;
    return text;
}

QByteArray encodeText(QStringView text, TextEncoding &encoding)
{
    if (encoding == TextEncoding::Windows1252) {
        char16_t any = 0;
        for (QChar c : text)
            any |= c.unicode();
        if (any >= 0x80 && !canEncodeWindows1252(text))
            encoding = TextEncoding::Utf16LE;
    }
    switch (encoding) {
    case TextEncoding::Windows1252: return toWindows1252(text);
    case TextEncoding::Utf8: return encodeWith(QStringConverter::Utf8, text);
    case TextEncoding::Utf16LE: return encodeWith(QStringConverter::Utf16LE, text);
    case TextEncoding::Utf16BE: return encodeWith(QStringConverter::Utf16BE, text);
    }
    return {};
}

std::vector<QStringView> splitTextLines(QStringView text)
{
    std::vector<QStringView> lines;
    forEachTextLine(text, [&](QStringView line) { lines.push_back(line); });
    return lines;
}

} // namespace kova
