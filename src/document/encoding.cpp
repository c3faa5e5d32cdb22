#include "encoding.h"

#include "textscan.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <QHash>

#include <algorithm>
#include <array>
#include <map>

namespace kova {

namespace {

// Code points of the bytes 0x80..0x9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Latin-1 is right for every byte but 0x80..0x9F; those are rare, so they are mended after a fast
// Latin-1 conversion: text holds the Latin-1 reading of bytes. Stretches of plain ASCII, nearly
// all of a template, are passed over a block at a time.
void mendHighControls(QByteArrayView bytes, char16_t *text)
{
    constexpr qsizetype kBlock = 64;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype from = 0; from < n; from += kBlock) {
        const qsizetype to = std::min(n, from + kBlock);
        if (!anyBeyondAscii(bytes.data() + from, to - from))
            continue;
        for (qsizetype i = from; i < to; ++i)
            if ((in[i] & 0xE0) == 0x80)
                text[i] = kHighControls[in[i] - 0x80];
    }
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
    default: break;
    }
    return QStringConverter::Latin1; // the same as Windows-1252 for plain ASCII
}

struct CodePage
{
    TextEncoding encoding;
    const char *name;      // ours, for command lines and settings
    const char *converter; // the system converter's
    const char *label;
    bool singleByte;
    std::initializer_list<const char *> aliases;
};

const std::array<CodePage, 13> kCodePages = {{
    {TextEncoding::Windows1251, "cp1251", "windows-1251", "Cyrillic (cp1251)", true, {"windows-1251"}},
    {TextEncoding::Windows932,
     "cp932",
     "windows-31j",
     "Japanese (Shift-JIS, cp932)",
     false,
     {"shift-jis", "shift_jis", "sjis", "windows-31j"}},
    {TextEncoding::Windows936, "cp936", "windows-936", "Chinese Simplified (GBK, cp936)", false, {"gbk", "gb2312"}},
    {TextEncoding::Windows950, "cp950", "windows-950", "Chinese Traditional (Big5, cp950)", false, {"big5"}},
    {TextEncoding::Windows949, "cp949", "windows-949", "Korean (cp949)", false, {"euc-kr", "uhc"}},
    {TextEncoding::Windows1250, "cp1250", "windows-1250", "Central European (cp1250)", true, {"windows-1250"}},
    {TextEncoding::Windows1253, "cp1253", "windows-1253", "Greek (cp1253)", true, {"windows-1253"}},
    {TextEncoding::Windows1254, "cp1254", "windows-1254", "Turkish (cp1254)", true, {"windows-1254"}},
    {TextEncoding::Windows1255, "cp1255", "windows-1255", "Hebrew (cp1255)", true, {"windows-1255"}},
    {TextEncoding::Windows1256, "cp1256", "windows-1256", "Arabic (cp1256)", true, {"windows-1256"}},
    {TextEncoding::Windows1257, "cp1257", "windows-1257", "Baltic (cp1257)", true, {"windows-1257"}},
    {TextEncoding::Windows1258, "cp1258", "windows-1258", "Vietnamese (cp1258)", true, {"windows-1258"}},
    {TextEncoding::Windows874, "cp874", "windows-874", "Thai (cp874)", true, {"windows-874", "tis-620"}},
}};

const CodePage *codePageOf(TextEncoding encoding)
{
    for (const CodePage &page : kCodePages)
        if (page.encoding == encoding)
            return &page;
    return nullptr;
}

// A single-byte code page as a table, both ways. Bytes the code page leaves undefined map to the
// character of the same value (or, when that one is taken, to a private-use character), so that
// every byte value survives a read and a write, as in Windows-1252.
struct ByteTable
{
    std::array<char16_t, 256> toChar{};
    QHash<char16_t, uchar> toByte;
};

const ByteTable &byteTableOf(const CodePage &page)
{
    static std::map<TextEncoding, ByteTable> tables;
    auto [it, made] = tables.try_emplace(page.encoding);
    ByteTable &table = it->second;
    if (!made)
        return table;
    std::array<bool, 256> undefined{};
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        QStringDecoder decoder(page.converter, QStringConverter::Flag::Stateless);
        const QString c = decoder.decode(QByteArrayView(&byte, 1));
        undefined[size_t(b)] = decoder.hasError() || c.size() != 1 || c.at(0) == QChar::ReplacementCharacter;
        if (!undefined[size_t(b)]) {
            table.toChar[size_t(b)] = c.at(0).unicode();
            table.toByte.insert(c.at(0).unicode(), uchar(b));
        }
    }
    for (int b = 0; b < 256; ++b) {
        if (!undefined[size_t(b)])
            continue;
        char16_t c = char16_t(b);
        if (table.toByte.contains(c))
            c = char16_t(0xF700 + b);
        table.toChar[size_t(b)] = c;
        table.toByte.insert(c, uchar(b));
    }
    return table;
}

} // namespace

bool isMultiByteUtf8(QByteArrayView bytes)
{
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    bool multiByte = false;
    for (qsizetype i = 0; i < n;) {
        if (n - i >= 8 && !anyBeyondAscii(bytes.data() + i, 8)) { // plain ASCII, eight bytes at a time
            i += 8;
            continue;
        }
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
    QString text(bytes.size(), Qt::Uninitialized);
    windows1252ToUtf16(bytes, reinterpret_cast<char16_t *>(text.data()));
    return text;
}

bool canEncodeWindows1252(QStringView text)
{
    for (QChar c : text)
        if (windows1252Byte(c.unicode()) < 0)
            return false;
    return true;
}

void latin1ToUtf16(const char *in, qsizetype n, char16_t *out)
{
    QStringDecoder decoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
    decoder.appendToBuffer(reinterpret_cast<QChar *>(out), QByteArrayView(in, n));
}

void windows1252ToUtf16(QByteArrayView bytes, char16_t *text)
{
    latin1ToUtf16(bytes.data(), bytes.size(), text);
    mendHighControls(bytes, text);
}

int windows1252ByteBeyondLatin1(char16_t c)
{
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return int(0x80 + i);
    return -1;
}

qsizetype encodeWindows1252To(QStringView text, char *bytes)
{
    char *out = bytes;
    for (const QChar c : text) {
        const int b = windows1252Byte(c.unicode());
        if (b < 0)
            return -1;
        *out++ = char(b);
    }
    return out - bytes;
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

namespace {

// Where a piece of body that should end at about end can end so that it decodes on its own: not
// inside a UTF-8 sequence or a UTF-16 unit. (The UTF-16 decoder takes units as they are, so the two
// halves of a surrogate pair may fall in two pieces.)
qsizetype pieceEnd(QByteArrayView body, qsizetype end, TextEncoding encoding)
{
    if (end >= body.size())
        return body.size();
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(body[i]); };
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithoutMark:
        for (int back = 0; back < 3 && (byte(end) & 0xC0) == 0x80; ++back)
            --end;
        return end;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: return end & ~qsizetype(1);
    default: return end;
    }
}

} // namespace

qsizetype decodeTextTo(QByteArrayView bytes, char16_t *text, TextEncoding *encoding, PassedBytes &passed)
{
    constexpr qsizetype kPiece = qsizetype(4) << 20;
    const Decoding decoding = decodingOf(bytes);
    const QByteArrayView body = decoding.body;
    QChar *out = reinterpret_cast<QChar *>(text);
    for (qsizetype from = 0; from < body.size();) {
        const qsizetype to = pieceEnd(body, from + kPiece, decoding.encoding);
        const QByteArrayView piece = body.sliced(from, to - from);
        QStringDecoder decoder(decoding.converter, QStringConverter::Flag::Stateless);
        const qsizetype written = out - reinterpret_cast<QChar *>(text);
        passed.writing(written, written + decoder.requiredSpace(piece.size()));
        QChar *end = decoder.appendToBuffer(out, piece);
        if (decoding.encoding == TextEncoding::Windows1252)
            mendHighControls(piece, reinterpret_cast<char16_t *>(out)); // a byte a character
        out = end;
        from = to;
        passed.passed(piece.data() + piece.size() - bytes.data());
    }
    if (encoding)
        *encoding = decoding.encoding;
    return out - reinterpret_cast<QChar *>(text);
}

qsizetype decodeTextTo(QByteArrayView bytes, char16_t *text, TextEncoding *encoding)
{
    struct Unheeded : PassedBytes
    {
        void passed(qsizetype) override {}
    } unheeded;
    return decodeTextTo(bytes, text, encoding, unheeded);
}

QString decodeText(QByteArrayView bytes, TextEncoding *encoding)
{
    QString text(decodedSizeLimit(bytes), Qt::Uninitialized);
    text.truncate(decodeTextTo(bytes, reinterpret_cast<char16_t *>(text.data()), encoding));
    return text;
}

qsizetype encodedSizeLimit(QStringView text, TextEncoding &encoding)
{
    if (const CodePage *page = codePageOf(encoding))
        return page->singleByte ? text.size() : QStringEncoder(page->converter).requiredSpace(text.size());
    if (encoding == TextEncoding::Windows1252) {
        if (isAscii(text) || canEncodeWindows1252(text))
            return text.size();
        encoding = TextEncoding::Utf16LE;
    }
    return QStringEncoder(converterOf(encoding), QStringConverter::Flag::WriteBom).requiredSpace(text.size());
}

qsizetype encodeTextTo(QStringView text, TextEncoding encoding, char *bytes, bool withMark)
{
    if (const CodePage *page = codePageOf(encoding)) {
        if (!page->singleByte) {
            QStringEncoder encoder(page->converter, QStringConverter::Flag::Stateless);
            return encoder.appendToBuffer(bytes, text) - bytes;
        }
        const ByteTable &table = byteTableOf(*page);
        char *out = bytes;
        for (QChar c : text)
            *out++ = char(table.toByte.value(c.unicode(), uchar('?')));
        return out - bytes;
    }
    if (encoding == TextEncoding::Windows1252 && !isAscii(text)) {
        char *out = bytes;
        for (QChar c : text)
            *out++ = char(windows1252Byte(c.unicode()));
        return out - bytes;
    }
    const bool mark = withMark && encoding != TextEncoding::Windows1252 && encoding != TextEncoding::Utf8WithoutMark;
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

std::vector<TextEncoding> availableEncodings()
{
    std::vector<TextEncoding> encodings = {TextEncoding::Windows1252, TextEncoding::Utf8WithoutMark, TextEncoding::Utf8,
                                           TextEncoding::Utf16LE, TextEncoding::Utf16BE};
    for (const CodePage &page : kCodePages)
        if (QStringDecoder(page.converter).isValid() && QStringEncoder(page.converter).isValid())
            encodings.push_back(page.encoding);
    return encodings;
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1252: return QStringLiteral("windows-1252");
    case TextEncoding::Utf8WithoutMark: return QStringLiteral("utf-8");
    case TextEncoding::Utf8: return QStringLiteral("utf-8-bom");
    case TextEncoding::Utf16LE: return QStringLiteral("utf-16le");
    case TextEncoding::Utf16BE: return QStringLiteral("utf-16be");
    default: break;
    }
    const CodePage *page = codePageOf(encoding);
    return page ? QString::fromLatin1(page->name) : QString();
}

QString encodingLabel(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1252: return QStringLiteral("Western (Windows-1252)");
    case TextEncoding::Utf8WithoutMark: return QStringLiteral("UTF-8");
    case TextEncoding::Utf8: return QStringLiteral("UTF-8 with byte-order mark");
    case TextEncoding::Utf16LE: return QStringLiteral("UTF-16LE");
    case TextEncoding::Utf16BE: return QStringLiteral("UTF-16BE");
    default: break;
    }
    const CodePage *page = codePageOf(encoding);
    return page ? QString::fromLatin1(page->label) : QString();
}

std::optional<TextEncoding> encodingFromName(QStringView name)
{
    static const std::pair<const char *, TextEncoding> extra[] = {
        {"cp1252", TextEncoding::Windows1252},
        {"utf8", TextEncoding::Utf8WithoutMark},
        {"utf-16", TextEncoding::Utf16LE},
        {"ucs-2", TextEncoding::Utf16LE},
    };
    const QString wanted = name.trimmed().toString().toLower();
    for (TextEncoding encoding : availableEncodings()) {
        if (encodingName(encoding) == wanted)
            return encoding;
        if (const CodePage *page = codePageOf(encoding))
            for (const char *alias : page->aliases)
                if (wanted == QLatin1StringView(alias))
                    return encoding;
    }
    for (const auto &[alias, encoding] : extra)
        if (wanted == QLatin1StringView(alias))
            return encoding;
    return std::nullopt;
}

bool isCodePage(TextEncoding encoding)
{
    return codePageOf(encoding) != nullptr;
}

QString decodeTextAs(QByteArrayView bytes, TextEncoding encoding)
{
    const CodePage *page = codePageOf(encoding);
    if (!page) {
        if (encoding == TextEncoding::Windows1252)
            return fromWindows1252(bytes);
        QStringDecoder decoder(converterOf(encoding)); // drops a byte-order mark by default
        return decoder.decode(bytes);
    }
    if (!page->singleByte)
        return QStringDecoder(page->converter, QStringConverter::Flag::Stateless).decode(bytes);
    const ByteTable &table = byteTableOf(*page);
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (char b : bytes)
        *out++ = table.toChar[uchar(b)];
    return text;
}

qsizetype firstUnencodable(QStringView text, TextEncoding encoding)
{
    const CodePage *page = codePageOf(encoding);
    if (!page) {
        if (encoding != TextEncoding::Windows1252)
            return -1; // the Unicode forms write everything
        for (qsizetype i = 0; i < text.size(); ++i)
            if (windows1252Byte(text[i].unicode()) < 0)
                return i;
        return -1;
    }
    if (page->singleByte) {
        const ByteTable &table = byteTableOf(*page);
        for (qsizetype i = 0; i < text.size(); ++i)
            if (!table.toByte.contains(text[i].unicode()))
                return i;
        return -1;
    }
    // A multi-byte code page: each character that is not plain ASCII is tried on its own (with its
    // surrogate partner), a character that does not come back unchanged does not fit.
    QStringEncoder encoder(page->converter, QStringConverter::Flag::Stateless);
    QStringDecoder decoder(page->converter, QStringConverter::Flag::Stateless);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80)
            continue;
        const qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView c = text.sliced(i, n);
        const QByteArray bytes = QByteArray(encoder.encode(c));
        if (encoder.hasError() || QString(decoder.decode(bytes)) != c || decoder.hasError())
            return i;
        i += n - 1;
    }
    return -1;
}

std::vector<QStringView> splitTextLines(QStringView text)
{
    std::vector<QStringView> lines;
    forEachTextLine(text, [&](QStringView line) { lines.push_back(line); });
    return lines;
}

} // namespace kova
