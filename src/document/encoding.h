#pragma once

#include <QByteArray>
#include <QString>

#include "textscan.h"

#include <optional>
#include <vector>

namespace kova {

// How a file's bytes became text, and so how the document is written back.
enum class TextEncoding {
    Windows1252,     // no byte-order mark: 8-bit text, every byte value round-trips
    Utf8,            // UTF-8 with a byte-order mark
    Utf8WithoutMark, // valid UTF-8 holding multi-byte sequences, no byte-order mark
    Utf16LE,         // UTF-16 little endian with a byte-order mark
    Utf16BE,         // UTF-16 big endian with a byte-order mark
    // Code pages the user chooses (they carry no mark), most used first.
    Windows1251, // Cyrillic
    Windows932,  // Japanese, Shift-JIS
    Windows936,  // Simplified Chinese, GBK
    Windows950,  // Traditional Chinese, Big5
    Windows949,  // Korean
    Windows1250, // Central European
    Windows1253, // Greek
    Windows1254, // Turkish
    Windows1255, // Hebrew
    Windows1256, // Arabic
    Windows1257, // Baltic
    Windows1258, // Vietnamese
    Windows874,  // Thai
};

// Every encoding a document can be read and written in on this machine (code pages the system's
// converters lack are left out), in menu order: Windows-1252, the Unicode forms, the code pages.
std::vector<TextEncoding> availableEncodings();
// The name for command lines and settings ("windows-1252", "utf-8", "cp1251", ...), and a label for
// people ("Cyrillic (cp1251)").
QString encodingName(TextEncoding encoding);
QString encodingLabel(TextEncoding encoding);
// The encoding a name stands for (its own name or a common alias, case ignored); nullopt for none
// available here.
std::optional<TextEncoding> encodingFromName(QStringView name);
// A code page the user chose: no byte-order mark, no fallback when a character does not fit.
bool isCodePage(TextEncoding encoding);
// Decodes bytes in the encoding given, whatever they look like (a UTF byte-order mark is dropped).
// In a single-byte code page every byte value survives a read and a write.
QString decodeTextAs(QByteArrayView bytes, TextEncoding encoding);
// The position of the first character of text that encoding cannot write, or -1.
qsizetype firstUnencodable(QStringView text, TextEncoding encoding);

// Decodes a whole file: a UTF-16 (LE/BE) or UTF-8 byte-order mark selects that encoding; without a
// mark, valid UTF-8 with at least one multi-byte sequence is UTF-8, anything else (plain ASCII
// included) Windows-1252. The byte-order mark is not part of the text.
QString decodeText(QByteArrayView bytes, TextEncoding *encoding = nullptr);
// The same into the caller's buffer, which has room for decodedSizeLimit(bytes) units; returns the
// units written.
qsizetype decodedSizeLimit(QByteArrayView bytes);
qsizetype decodeTextTo(QByteArrayView bytes, char16_t *text, TextEncoding *encoding = nullptr);

// Told as a decode passes through a large file's bytes, so that the bytes behind it can go and
// their memory can be put under the text still to come.
class PassedBytes
{
public:
    virtual ~PassedBytes() = default;
    // The first count bytes have been decoded and will not be read again.
    virtual void passed(qsizetype count) = 0;
    // Units [from, to) of the text are about to be written (nothing from from on has been yet).
    virtual void writing(qsizetype from, qsizetype to)
    {
        Q_UNUSED(from);
        Q_UNUSED(to);
    }
};
// The same as decodeTextTo, a few megabytes at a time, telling passed after each piece.
qsizetype decodeTextTo(QByteArrayView bytes, char16_t *text, TextEncoding *encoding, PassedBytes &passed);

// Encodes text for writing, byte-order mark included. When a character cannot be written in
// Windows-1252 the text is written as UTF-16LE instead; encoding then tells which was used.
QByteArray encodeText(QStringView text, TextEncoding &encoding);
// The same in two steps, into the caller's buffer: encodedSizeLimit settles the encoding as
// encodeText does and tells the room the bytes need; encodeTextTo fills it and returns the bytes
// written. withMark false leaves out the byte-order mark, for text that continues what was written
// before it.
qsizetype encodedSizeLimit(QStringView text, TextEncoding &encoding);
qsizetype encodeTextTo(QStringView text, TextEncoding encoding, char *bytes, bool withMark = true);

// Whether bytes are well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF)
// with at least one multi-byte sequence.
bool isMultiByteUtf8(QByteArrayView bytes);

// Windows-1252 one way and back. The five bytes the code page leaves undefined map to the control
// characters of the same value, so every byte value survives a read and a write.
QString fromWindows1252(QByteArrayView bytes);
bool canEncodeWindows1252(QStringView text);
// Writes text as Windows-1252 bytes at bytes, which has room for text.size(); returns the bytes
// written, or -1 (after writing some) when a character does not fit.
qsizetype encodeWindows1252To(QStringView text, char *bytes);
QByteArray toWindows1252(QStringView text);
// Latin-1 text, a byte a character, to UTF-16, many characters at a time (through Qt's converter,
// which uses the processor's vector instructions). out has room for n characters.
void latin1ToUtf16(const char *in, qsizetype n, char16_t *out);
// Windows-1252 bytes to UTF-16 the same way, as fromWindows1252 reads them; text has room for
// bytes.size() characters.
void windows1252ToUtf16(QByteArrayView bytes, char16_t *text);
// The Windows-1252 byte of one character, or -1 when the code page has none. Latin-1 outside
// 0x80..0x9F, nearly every character of a template, is the same byte and is settled inline.
int windows1252ByteBeyondLatin1(char16_t c);
inline int windows1252Byte(char16_t c)
{
    return c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? int(c) : windows1252ByteBeyondLatin1(c);
}

// The line of text that starts at at, without its line end; at moves past the line end. CR LF, LF and
// a lone CR all end a line.
inline QStringView nextTextLine(QStringView text, qsizetype &at)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    const qsizetype i = lineEndFrom(data, at, n);
    const QStringView line = text.sliced(at, i - at);
    at = i == n ? n : i + (data[i] == u'\r' && i + 1 < n && data[i + 1] == u'\n' ? 2 : 1);
    return line;
}

// Calls visit(line) for every line of a text; a final line end adds no empty line.
template<typename F>
void forEachTextLine(QStringView text, F &&visit)
{
    for (qsizetype at = 0; at < text.size();)
        visit(nextTextLine(text, at));
}

// The same lines as a list.
std::vector<QStringView> splitTextLines(QStringView text);

} // namespace kova
