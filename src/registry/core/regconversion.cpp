#include "regconversion.h"

#include "document/encoding.h"
#include "document/prompter.h"
#include "document/tempfiles.h"
#include "document/textscan.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace kova {

namespace {

// The one way out of a failed conversion: its description is shown to the user.
struct ConversionFailure
{
    QString description;
};

// Trims spaces (only spaces) at both ends, as the export's lines are looked at.
QStringView trimSpaces(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == u' ')
        ++begin;
    while (end > begin && s.at(end - 1) == u' ')
        --end;
    return s.mid(begin, end - begin);
}

// The first characters of s, upper-cased, equal the ASCII word.
bool startsWithUpper(QStringView s, QLatin1StringView word)
{
    if (s.size() < word.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        const char16_t upper = (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
        if (upper != char16_t(word.at(i).unicode()))
            return false;
    }
    return true;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The export's text, one line at a time (CR LF, LF and a lone CR end a line). A Unicode export is
// decoded as a whole beforehand; an 8-bit export is decoded a block of whole lines at a time into one
// reused buffer, so a large export costs neither a second full copy nor fresh memory per block.
class LineReader
{
public:
    explicit LineReader(QStringView text) : m_text(text) {}
    explicit LineReader(QByteArrayView windows1252) : m_bytes(windows1252), m_eightBit(true) {}

    bool atEnd() const { return m_pos >= m_text.size() && m_bytePos >= m_bytes.size(); }
    int lineNumber() const { return m_line; }
    // How much has been read, of how much, in the export's units (bytes of an 8-bit export, characters
    // of a decoded one).
    qint64 done() const { return m_eightBit ? m_bytePos - (m_text.size() - m_pos) : m_pos; }
    qint64 total() const { return m_eightBit ? m_bytes.size() : m_text.size(); }
    // The next line; valid until the following call.
    QStringView next()
    {
        if (m_pos >= m_text.size())
            refill();
        const qsizetype start = m_pos;
        const qsizetype size = m_text.size();
        // Line feeds end almost every line: find the next one, then look for a carriage return before it.
        // The line feed found is kept while lines that end in a lone CR are taken before it, so a file
        // of such lines is not searched to its end once per line.
        if (m_lf < start) {
            m_lf = m_text.indexOf(u'\n', start);
            if (m_lf < 0)
                m_lf = size;
        }
        const qsizetype lf = m_lf;
        // A line is short: an inline search for its CR beats QStringView::indexOf, which is out of line.
        const size_t crAt = std::u16string_view(m_text.utf16() + start, size_t(lf - start)).find(u'\r');
        const qsizetype cr = crAt == std::u16string_view::npos ? -1 : qsizetype(crAt);
        qsizetype end = lf;
        if (cr < 0) {
            m_pos = lf < size ? lf + 1 : size;
        } else if (start + cr == lf - 1 && lf < size) {
            end = lf - 1; // CR LF
            m_pos = lf + 1;
        } else {
            end = start + cr; // a lone CR
            m_pos = end + 1;
        }
        ++m_line;
        return m_text.mid(start, end - start);
    }

private:
    static constexpr qsizetype BlockSize = 1 << 20;

    // Decodes the next block of bytes, cut after a line feed so no line (nor CR LF) is split.
    void refill()
    {
        if (m_bytePos >= m_bytes.size())
            return;
        qsizetype end = std::min(m_bytes.size(), m_bytePos + BlockSize);
        if (end < m_bytes.size()) {
            const void *lf = std::memchr(m_bytes.data() + end, '\n', size_t(m_bytes.size() - end));
            end = lf ? (static_cast<const char *>(lf) - m_bytes.data()) + 1 : m_bytes.size();
        }
        const qsizetype n = end - m_bytePos;
        m_buffer.resize(n);
        windows1252ToUtf16(m_bytes.sliced(m_bytePos, n), reinterpret_cast<char16_t *>(m_buffer.data()));
        m_bytePos = end;
        m_text = m_buffer;
        m_pos = 0;
        m_lf = -1;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    qsizetype m_lf = -1; // the next line feed at or after m_pos, or the text's size; -1: not looked for
    int m_line = 0;
    QByteArrayView m_bytes;
    bool m_eightBit = false;
    qsizetype m_bytePos = 0;
    QString m_buffer;
};

// One scratch file, written in large pieces. Lines end with CR LF.
class OutputFile
{
public:
    OutputFile(const QString &path, bool utf16) : m_file(path), m_utf16(utf16) {}

    // withBom: a UTF-16 file that becomes the start of the result begins with the byte-order mark.
    void open(bool withBom = false)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
            fail();
        if (withBom && m_utf16 && m_file.write("\xFF\xFE", 2) != 2)
            fail();
        m_bytes.resize(ChunkSize + 4096);
    }
    void line(std::initializer_list<QStringView> pieces)
    {
        for (QStringView p : pieces)
            put(p);
        put(u"\r\n");
        if (m_used >= ChunkSize)
            flush();
    }
    void close()
    {
        if (!m_file.isOpen())
            return;
        flush();
        m_file.close();
    }
    QString path() const { return m_file.fileName(); }

private:
    static constexpr qsizetype ChunkSize = 1 << 18;

    // Encodes a piece straight into the pending bytes: UTF-16LE as it is, or Windows-1252 (an 8-bit
    // export's text always fits; anything else would become '?'). The pieces are short, so a plain
    // loop beats a call per piece.
    void put(QStringView piece)
    {
        const qsizetype units = piece.size();
        const qsizetype room = m_utf16 ? 2 * units : units;
        if (m_used + room > m_bytes.size())
            m_bytes.resize(std::max(2 * m_bytes.size(), m_used + room));
        const char16_t *in = piece.utf16();
        char *out = m_bytes.data() + m_used;
        if (m_utf16) {
            std::memcpy(out, in, size_t(room));
        } else {
            for (qsizetype i = narrowAscii(in, units, out); i < units; ++i) {
                const int b = windows1252Byte(in[i]);
                out[i] = char(b < 0 ? '?' : b);
            }
        }
        m_used += room;
    }
    void flush()
    {
        if (m_used == 0)
            return;
        if (m_file.write(m_bytes.constData(), m_used) != m_used)
            fail();
        m_used = 0;
    }
    [[noreturn]] void fail()
    {
        throw ConversionFailure{
            QStringLiteral("Cannot write the temporary file %1: %2").arg(m_file.fileName(), m_file.errorString())};
    }
    QFile m_file;
    bool m_utf16;
    QByteArray m_bytes; // the lines not yet written, m_used bytes of it
    qsizetype m_used = 0;
};

struct PoliciesRule
{
    QString search;
    QString replacement;
};

const PoliciesRule kRules[] = {
    {QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion"),
     QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies")},
    {QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion"),
     QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies")},
    {QStringLiteral("HKEY_LOCAL_MACHINE\\Software"), QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Policies")},
    {QStringLiteral("HKEY_CURRENT_USER\\Software"), QStringLiteral("HKEY_CURRENT_USER\\Software\\Policies")},
};

class Converter
{
public:
    Converter(LineReader reader, bool utf16, Prompter &prompter, TempFiles &tempFiles, ConversionHost &host)
        : m_reader(std::move(reader)), m_utf16(utf16), m_prompter(prompter), m_tempFiles(tempFiles), m_host(host)
    {}

    // Returns the result file's name; throws ConversionFailure.
    QString run()
    {
        m_machine = scratchFile();
        m_user = scratchFile();
        m_discard = scratchFile();
        m_machine->open(true);
        m_user->open();
        m_discard->open();

        while (!m_reader.atEnd()) {
            // Most lines are read in place; a continued line or a "@" value is put together in
            // m_line, which is reused, so no line costs an allocation once it has grown.
            QStringView line = trimSpaces(nextLine());
            m_lineNumber = m_reader.lineNumber();
            if (line.endsWith(u'\\') || line.startsWith(u'@')) {
                QString &joined = own(line);
                while (joined.endsWith(u'\\')) {
                    if (m_reader.atEnd())
                        throw ConversionFailure{
                            QStringLiteral("Line %1: the file ends where a continued line is expected.")
                                .arg(m_lineNumber)};
                    joined.chop(1);
                    joined.append(trimSpaces(nextLine()));
                }
                if (joined.startsWith(u'@'))
                    joined.replace(0, 1, QStringLiteral("\"(Default)\""));
                line = joined;
            }
            if (line.startsWith(u'"'))
                valueLine(line);
            else if (line.startsWith(u'['))
                keyLine(own(line));
        }
        if (!m_current)
            throw ConversionFailure{QStringLiteral("The file holds no registry key.")};
        m_current->line({u"end category"});
        m_machine->close();
        m_user->close();
        m_discard->close();
        return writeResult();
    }

private:
    // The next input line, after which the host hears how far the reading has come.
    QStringView nextLine()
    {
        const QStringView line = m_reader.next();
        m_host.progress(m_reader.done(), m_reader.total());
        return line;
    }

    std::unique_ptr<OutputFile> scratchFile()
    {
        QString error;
        const QString path = NewTempFile(m_tempFiles, &error);
        if (path.isEmpty())
            throw ConversionFailure{QStringLiteral("Cannot create a temporary file: %1").arg(error)};
        return std::make_unique<OutputFile>(path, m_utf16);
    }

    void keyLine(QString &line)
    {
        // A NUL would end the line for most tools that read the template: it is left out of the
        // category, and every value of the key is refused.
        m_keyHasNul = line.contains(QChar(0));
        if (m_keyHasNul)
            line.remove(QChar(0));
        if (m_categoryOpen)
            m_current->line({u"end category"});

        if (!m_asked && !line.contains(QLatin1StringView("\\POLICIES"), Qt::CaseInsensitive) &&
            (line.contains(QLatin1StringView("HKEY_CURRENT_USER\\SOFTWARE"), Qt::CaseInsensitive) ||
             line.contains(QLatin1StringView("HKEY_LOCAL_MACHINE\\SOFTWARE"), Qt::CaseInsensitive))) {
            m_asked = true;
            const Answer answer =
                m_prompter.ask(Message{QStringLiteral("KOVA can convert (some) entries into managable entries for use "
                                                      "with GPO.\r\n\r\nDo you want to convert those entries?"),
                                       Message::Icon::Exclamation, Message::Buttons::YesNo});
            m_moveToPolicies = answer == Answer::Yes;
        }
        if (m_moveToPolicies) {
            for (const PoliciesRule &rule : kRules) {
                if (line.contains(rule.search)) {
                    line.replace(rule.search, rule.replacement);
                    break;
                }
            }
        }

        if (line.startsWith(QLatin1StringView("[HKEY_LOCAL_MACHINE\\")) ||
            line.startsWith(QLatin1StringView("[-HKEY_LOCAL_MACHINE\\"))) {
            m_current = m_machine.get();
            if (!m_machineClass) {
                m_current->line({u"class machine"});
                m_machineClass = true;
            }
        } else if (line.startsWith(QLatin1StringView("[HKEY_CURRENT_USER\\")) ||
                   line.startsWith(QLatin1StringView("[-HKEY_CURRENT_USER\\"))) {
            m_current = m_user.get();
            if (!m_userClass) {
                m_current->line({u"class user"});
                m_userClass = true;
            }
        } else {
            m_current = m_discard.get();
        }
        m_current->line({u"category \"", line, u"\""});

        // The key path: what follows the first backslash, trimmed, without the closing bracket.
        const qsizetype slash = line.indexOf(u'\\');
        QStringView path = trimSpaces(QStringView(line).mid(slash + 1));
        path.chop(path.isEmpty() ? 0 : 1);
        m_current->line({u"keyname \"", path, u"\""});
        m_categoryOpen = true;
    }

    // m_line holding line: a copy unless line is m_line already.
    QString &own(QStringView line)
    {
        if (line.data() != m_line.constData() || line.size() != m_line.size()) {
            m_line.resize(0);
            m_line.append(line);
        }
        return m_line;
    }

    void valueLine(QStringView line)
    {
        // One pass finds what the value's line holds: its double quotes, a NUL, and where the name
        // ends ("=).
        qsizetype quotes = 0;
        bool nul = false;
        qsizetype split = -1;
        const auto scan = [&](QStringView text, qsizetype offset) {
            const char16_t *c = text.utf16();
            for (qsizetype i = 0, n = text.size(); i < n; ++i) {
                if (c[i] == u'"') {
                    ++quotes;
                    if (split < 0 && i + 1 < n && c[i + 1] == u'=')
                        split = offset + i;
                } else if (c[i] == 0) {
                    nul = true;
                }
            }
        };
        scan(line, 0);
        // The parity is kept as lines are appended: one unbalanced quote may join the rest of the file,
        // and counting the joined line again after every append would take time in its square.
        if (quotes % 2 != 0) {
            QString &joined = own(line);
            while (quotes % 2 != 0) {
                if (m_reader.atEnd())
                    throw ConversionFailure{
                        QStringLiteral("Line %1: the file ends inside a quoted value.").arg(m_lineNumber)};
                const QStringView more = trimSpaces(nextLine());
                // A quote closing the joined text before may now be followed by '='.
                if (split < 0 && joined.endsWith(u'"') && more.startsWith(u'='))
                    split = joined.size() - 1;
                scan(more, joined.size());
                joined.append(more);
            }
            line = joined;
        }
        if (!m_current)
            throw ConversionFailure{QStringLiteral("Line %1: a value comes before the first key.").arg(m_lineNumber)};
        if (m_keyHasNul || nul) {
            refuseNul(own(line));
            return;
        }

        QStringView name;
        QStringView data;
        if (split >= 0) {
            name = line.left(split + 1);
            data = line.mid(split + 2);
        } else {
            data = line.mid(1);
        }
        const QStringView bare = name.size() >= 2 ? name.mid(1, name.size() - 2) : QStringView();

        OutputFile &out = *m_current;
        out.line({u"policy ", name});
        if (startsWithUpper(data, QLatin1StringView("HEX"))) {
            out.line({u"part \"Entry ", bare,
                      u" not converted because value is in HEX which cannot be used in templates\" text"});
            out.line({u"end part"});
        } else if (startsWithUpper(data, QLatin1StringView("DWORD:"))) {
            const QStringView digits = data.mid(6);
            quint64 number = 0;
            for (QChar c : digits) {
                const int d = hexDigit(c);
                if (d < 0)
                    number = ~quint64(0);
                else if (number <= 0xFFFFFFFFu)
                    number = number * 16 + quint64(d);
                if (d < 0)
                    break;
            }
            if (digits.isEmpty() || number == ~quint64(0))
                throw ConversionFailure{QStringLiteral("Line %1: \"%2\" is not a hexadecimal DWORD value.")
                                            .arg(m_lineNumber)
                                            .arg(digits.toString())};
            if (number > 9999) {
                out.line({u"part \"Entry ", bare, u" not converted because the value for numeric is too large\" text"});
            } else {
                out.line({u"part ", name, u" numeric"});
                out.line({u"valuename ", name});
                out.line({u"default ", QString::number(number)});
            }
            out.line({u"end part"});
        } else if (data.startsWith(u'"')) {
            const QStringView inner = data.size() >= 2 ? data.mid(1, data.size() - 2) : QStringView();
            if (inner.contains(u'"')) {
                out.line({u"part \"Entry ", bare,
                          u" not converted because value contains quotes which cannot be used in templates\" text"});
            } else {
                out.line({u"part ", name, u" edittext"});
                out.line({u"valuename ", name});
                if (data.contains(QLatin1StringView("\\\\"))) {
                    QString unescaped = data.toString();
                    unescaped.replace(QLatin1StringView("\\\\"), QLatin1StringView("\\"));
                    out.line({u"default ", unescaped});
                } else {
                    out.line({u"default ", data});
                }
            }
            out.line({u"end part"});
        }
        out.line({u"end policy"});
    }

    // A value with a NUL anywhere in its line, or any value of a key with one in its name: its policy
    // says why it was not converted, and names the value without the NULs.
    void refuseNul(QString &line)
    {
        line.remove(QChar(0));
        const qsizetype split = line.indexOf(QLatin1StringView("\"="));
        const QStringView name = split >= 0 ? QStringView(line).left(split + 1) : QStringView();
        const QStringView bare = name.size() >= 2 ? name.mid(1, name.size() - 2) : QStringView();
        m_current->line({u"policy ", name});
        m_current->line(
            {u"part \"Entry ", bare,
             u" not converted because value contains a NUL character which cannot be used in templates\" text"});
        m_current->line({u"end part"});
        m_current->line({u"end policy"});
    }

    // The result is the machine file followed by the user file. The machine file's bytes are moved
    // into the result file by renaming rather than copied, which halves the writing for large exports.
    QString writeResult()
    {
        QString error;
        const QString path = NewTempFile(m_tempFiles, &error);
        if (path.isEmpty())
            throw ConversionFailure{QStringLiteral("Cannot create a temporary file: %1").arg(error)};
        const auto writeFailed = [&](const QFile &f) {
            return ConversionFailure{
                QStringLiteral("Cannot write the temporary file %1: %2").arg(path, f.errorString())};
        };
        QFile result(path);
        if (std::rename(QFile::encodeName(m_machine->path()).constData(), QFile::encodeName(path).constData()) != 0) {
            if (!result.open(QIODevice::WriteOnly | QIODevice::Truncate))
                throw writeFailed(result);
            appendFile(result, m_machine->path(), writeFailed);
            result.close();
        }
        if (!result.open(QIODevice::WriteOnly | QIODevice::Append))
            throw writeFailed(result);
        appendFile(result, m_user->path(), writeFailed);
        if (!result.flush())
            throw writeFailed(result);
        return path;
    }

    template<typename Failure>
    static void appendFile(QFile &result, const QString &from, const Failure &writeFailed)
    {
        QFile in(from);
        if (!in.open(QIODevice::ReadOnly))
            throw ConversionFailure{
                QStringLiteral("Cannot read the temporary file %1: %2").arg(from, in.errorString())};
        while (!in.atEnd()) {
            const QByteArray chunk = in.read(1 << 20);
            if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
                throw ConversionFailure{
                    QStringLiteral("Cannot read the temporary file %1: %2").arg(from, in.errorString())};
            if (result.write(chunk) != chunk.size())
                throw writeFailed(result);
        }
    }

    LineReader m_reader;
    bool m_utf16;
    Prompter &m_prompter;
    TempFiles &m_tempFiles;
    ConversionHost &m_host;
    std::unique_ptr<OutputFile> m_machine, m_user, m_discard;
    OutputFile *m_current = nullptr;
    bool m_machineClass = false;
    bool m_userClass = false;
    bool m_categoryOpen = false;
    bool m_keyHasNul = false;
    bool m_asked = false;
    bool m_moveToPolicies = false;
    int m_lineNumber = 0;
    QString m_line;
};

} // namespace

namespace {

// The line the last character of text stands on (CR LF, LF and a lone CR end a line).
qsizetype lastLineNumber(QStringView text)
{
    qsizetype line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++line;
    }
    return line;
}

} // namespace

bool ConvertRegFile(QString &path, Prompter &prompter, TempFiles &tempFiles, ConversionHost &host)
{
    host.setBusy(true);
    QString failure;
    try {
        QFile input(path);
        if (!input.open(QIODevice::ReadOnly))
            throw ConversionFailure{QStringLiteral("Cannot open %1: %2").arg(path, input.errorString())};
        // Mapped rather than read: a large export is not copied once more before it is decoded.
        QByteArray bytes;
        if (uchar *mapped = input.size() > 0 ? input.map(0, input.size()) : nullptr) {
            bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), qsizetype(input.size()));
        } else {
            bytes = input.readAll();
            if (input.error() != QFileDevice::NoError)
                throw ConversionFailure{QStringLiteral("Cannot read %1: %2").arg(path, input.errorString())};
        }

        // 8-bit exports stay 8-bit byte for byte. An export with a byte-order mark (regedit writes
        // UTF-16LE) is decoded first, and written 8-bit when every character fits, else as UTF-16LE
        // rather than lose any.
        const bool wide = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
        const bool unicode = wide || bytes.startsWith("\xEF\xBB\xBF");
        QString text;
        bool utf16 = false;
        if (unicode) {
            // A UTF-16 export cut after an odd number of bytes ends in half a character. That byte
            // is left out (the user is told where), so it neither becomes a replacement character
            // nor decides the output's encoding.
            const bool halfCharacter = wide && bytes.size() % 2 != 0;
            text = decodeText(QByteArrayView(bytes).first(bytes.size() - (halfCharacter ? 1 : 0)), nullptr);
            if (halfCharacter) {
                prompter.tell(QStringLiteral("Line %1: the file ends in half a character; its last byte (at offset "
                                             "%2) is left out.")
                                  .arg(lastLineNumber(text))
                                  .arg(bytes.size() - 1),
                              Message::Icon::Exclamation);
            }
            bytes = QByteArray();
            input.close();
            utf16 = !canEncodeWindows1252(text);
        }
        Converter converter(unicode ? LineReader(QStringView(text)) : LineReader(QByteArrayView(bytes)), utf16,
                            prompter, tempFiles, host);
        const QString result = converter.run();
        host.addRecentFile(path);
        path = result;
    } catch (const ConversionFailure &f) {
        failure = f.description;
    }
    host.setBusy(false);
    if (failure.isNull())
        return true;
    prompter.tell(failure, Message::Icon::Exclamation);
    host.removeRecentFile(path);
    return false;
}

bool ConvertRegFile(QString &path, Prompter &prompter, TempFiles &tempFiles)
{
    ConversionHost quiet;
    return ConvertRegFile(path, prompter, tempFiles, quiet);
}

} // namespace kova
