#include "encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>

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

// Latin-1 is right for every byte but 0x80..0x9F; those are rare, so they are mended after a fast
// Latin-1 conversion: text holds the Latin-1 reading of bytes.
void mendHighControls(QByteArrayView bytes, char16_t *text)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i)
        if ((in[i] & 0xE0) == 0x80)
            text[i] = kHighControls[in[i] - 0x80];
}

// How a file's bytes are read: the encoding its byte-order mark selects, and the bytes after the mark.
struct Decoding
{
    TextEncoding encoding = TextEncoding::Windows1252;
    QStringConverter::Encoding converter = QStringConverter::Latin1;
    QByteArrayView body;
};

Decoding decodingOf(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return {TextEncoding::Utf16LE, QStringConverter::Utf16LE, bytes.sliced(2)};
    if (bytes.startsWith("\xFE\xFF"))
        return {TextEncoding::Utf16BE, QStringConverter::Utf16BE, bytes.sliced(2)};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {TextEncoding::Utf8, QStringConverter::Utf8, bytes.sliced(3)};
    if (isMultiByteUtf8(bytes))
        return {TextEncoding::Utf8WithoutMark, QStringConverter::Utf8, bytes};
    return {TextEncoding::Windows1252, QStringConverter::Latin1, bytes};
}

bool isAscii(QStringView text)
{
    char16_t any = 0;
    for (QChar c : text)
        any |= c.unicode();
    return any < 0x80;
}

QStringConverter::Encoding converterOf(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1252: break;
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithoutMark: return QStringConverter::Utf8;
    case TextEncoding::Utf16LE: return QStringConverter::Utf16LE;
    case TextEncoding::Utf16BE: return QStringConverter::Utf16BE;
    }
    return QStringConverter::Latin1; // the same as Windows-1252 for plain ASCII
}

} // namespace

bool isMultiByteUtf8(QByteArrayView bytes)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    bool multiByte = false;
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = in[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        // The lead byte gives the length and the range the first continuation byte must be in.
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0; // no overlong forms
            else if (b == 0xED)
                high = 0x9F; // no surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F; // nothing past U+10FFFF
        } else {
            return false;
        }
        if (n - i < length || in[i + 1] < low || in[i + 1] > high)
            return false;
        for (int k = 2; k < length; ++k)
            if ((in[i + k] & 0xC0) != 0x80)
                return false;
        multiByte = true;
        i += length;
    }
    return multiByte;
}

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
    if (isAscii(text))
        return text.toLatin1(); // plain ASCII, the common case
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (QChar c : text) {
        const int b = windows1252Byte(c.unicode());
        *out++ = char(b < 0 ? '?' : b);
    }
    return bytes;
}

qsizetype decodedSizeLimit(QByteArrayView bytes)
{
    const Decoding decoding = decodingOf(bytes);
    return QStringDecoder(decoding.converter, QStringConverter::Flag::Stateless).requiredSpace(decoding.body.size());
}

qsizetype decodeTextTo(QByteArrayView bytes, char16_t *text, TextEncoding *encoding)
{
    const Decoding decoding = decodingOf(bytes);
    QStringDecoder decoder(decoding.converter, QStringConverter::Flag::Stateless);
    const QChar *end = decoder.appendToBuffer(reinterpret_cast<QChar *>(text), decoding.body);
    if (decoding.encoding == TextEncoding::Windows1252)
        mendHighControls(decoding.body, text);
    if (encoding)
        *encoding = decoding.encoding;
    return end - reinterpret_cast<QChar *>(text);
}

QString decodeText(QByteArrayView bytes, TextEncoding *encoding)
{
    QString text(decodedSizeLimit(bytes), Qt::Uninitialized);
    text.truncate(decodeTextTo(bytes, reinterpret_cast<char16_t *>(text.data()), encoding));
    return text;
}

qsizetype encodedSizeLimit(QStringView text, TextEncoding &encoding)
{
    if (encoding == TextEncoding::Windows1252) {
        if (isAscii(text) || canEncodeWindows1252(text))
            return text.size();
        encoding = TextEncoding::Utf16LE;
    }
    return QStringEncoder(converterOf(encoding), QStringConverter::Flag::WriteBom).requiredSpace(text.size());
}

qsizetype encodeTextTo(QStringView text, TextEncoding encoding, char *bytes)
{
    if (encoding == TextEncoding::Windows1252 && !isAscii(text)) {
        char *out = bytes;
        for (QChar c : text)
            *out++ = char(windows1252Byte(c.unicode()));
        return out - bytes;
    }
    const bool mark = encoding != TextEncoding::Windows1252 && encoding != TextEncoding::Utf8WithoutMark;
    QStringEncoder encoder(converterOf(encoding),
                           mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Stateless);
    return encoder.appendToBuffer(bytes, text) - bytes;
}

QByteArray encodeText(QStringView text, TextEncoding &encoding)
{
    QByteArray bytes(encodedSizeLimit(text, encoding), Qt::Uninitialized);
    bytes.truncate(encodeTextTo(text, encoding, bytes.data()));
    return bytes;
}

std::vector<QStringView> splitTextLines(QStringView text)
{
    std::vector<QStringView> lines;
    forEachTextLine(text, [&](QStringView line) { lines.push_back(line); });
    return lines;
}

} // namespace kova
