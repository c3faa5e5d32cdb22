#include "registryfile.h"

#include "document/encoding.h"

#include <QDateTime>

namespace kova {

const QString RegistryFileContents::Signature = QStringLiteral("WINE REGISTRY Version 2");

QString registryNameKey(const QString &name)
{
    return name.toCaseFolded();
}

int StoredKey::valueIndex(const QString &name) const
{
    for (int i = 0; i < values.size(); ++i) {
        if (values.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int RegistryFileContents::indexOf(const QString &path) const
{
    return m_index.value(registryNameKey(path), -1);
}

StoredKey *RegistryFileContents::find(const QString &path)
{
    const int i = indexOf(path);
    return i < 0 ? nullptr : &m_keys[i];
}

const StoredKey *RegistryFileContents::find(const QString &path) const
{
    const int i = indexOf(path);
    return i < 0 ? nullptr : &m_keys.at(i);
}

StoredKey &RegistryFileContents::obtain(const QString &path, const QString &stamp)
{
    const QString folded = registryNameKey(path);
    const auto it = m_index.constFind(folded);
    if (it != m_index.cend())
        return m_keys[*it];
    m_index.insert(folded, int(m_keys.size()));
    m_keys.append(StoredKey{path, stamp, {}, {}});
    if (m_treeBuilt)
        addToTree(path);
    return m_keys.last();
}

void RegistryFileContents::clear()
{
    headerLines.clear();
    m_keys.clear();
    m_index.clear();
    m_tree.clear();
    m_treeBuilt = false;
}

void RegistryFileContents::addToTree(const QString &path) const
{
    // Walks down from the root; the first part not yet known and every part below it are new.
    QString folded;
    qsizetype start = 0;
    const qsizetype size = path.size();
    while (start <= size) {
        qsizetype end = path.indexOf(u'\\', start);
        if (end < 0)
            end = size;
        if (end > start) {
            const QStringView part = QStringView(path).mid(start, end - start);
            QString child = folded;
            if (!child.isEmpty())
                child += u'\\';
            child += registryNameKey(part.toString());
            if (!m_tree.contains(child)) {
                m_tree[folded].append(part.toString());
                m_tree.insert(child, QStringList());
            }
            folded = std::move(child);
        }
        start = end + 1;
    }
}

void RegistryFileContents::buildTree() const
{
    if (m_treeBuilt)
        return;
    m_tree.clear();
    m_tree.reserve(m_keys.size() + 1);
    m_tree.insert(QString(), QStringList());
    for (const StoredKey &key : m_keys)
        addToTree(key.path);
    m_treeBuilt = true;
}

bool RegistryFileContents::holdsKey(const QString &path) const
{
    buildTree();
    return m_tree.contains(registryNameKey(path));
}

std::optional<QStringList> RegistryFileContents::childNames(const QString &path) const
{
    buildTree();
    const auto it = m_tree.constFind(registryNameKey(path));
    if (it == m_tree.cend())
        return std::nullopt;
    return *it;
}

namespace {

// --- reading ---

class LineParser
{
public:
    LineParser(QStringView text, int &pos) : m_text(text), m_pos(pos) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }
    void skipSpaces()
    {
        while (!atEnd() && (peek() == u' ' || peek() == u'\t'))
            ++m_pos;
    }
    bool take(QStringView word)
    {
        if (m_text.mid(m_pos).startsWith(word, Qt::CaseInsensitive)) {
            m_pos += int(word.size());
            return true;
        }
        return false;
    }

    // Text up to the closing character, with the store's escapes resolved; nullopt when unterminated.
    std::optional<QString> escapedUntil(QChar close)
    {
        QString out;
        while (!atEnd()) {
            const QChar c = m_text.at(m_pos++);
            if (c == close)
                return out;
            if (c != u'\\') {
                out.append(c);
                continue;
            }
            if (atEnd())
                return std::nullopt;
            const QChar e = m_text.at(m_pos++);
            switch (e.unicode()) {
            case 'a': out.append(QChar(7)); break;
            case 'b': out.append(QChar(8)); break;
            case 'e': out.append(QChar(27)); break;
            case 'f': out.append(QChar(12)); break;
            case 'n': out.append(QChar(10)); break;
            case 'r': out.append(QChar(13)); break;
            case 't': out.append(QChar(9)); break;
            case 'v': out.append(QChar(11)); break;
            case 'x': {
                uint v = 0;
                int n = 0;
                while (n < 4 && !atEnd() && isHex(peek())) {
                    v = v * 16 + hexValue(m_text.at(m_pos++));
                    ++n;
                }
                out.append(QChar(char16_t(v)));
                break;
            }
            default:
                if (e >= u'0' && e <= u'7') {
                    uint v = e.unicode() - '0';
                    for (int n = 1; n < 3 && !atEnd() && peek() >= u'0' && peek() <= u'7'; ++n)
                        v = v * 8 + (m_text.at(m_pos++).unicode() - '0');
                    out.append(QChar(char16_t(v)));
                } else {
                    out.append(e);
                }
            }
        }
        return std::nullopt;
    }

    QStringView rest() const { return m_text.mid(m_pos); }

    static bool isHex(QChar c)
    {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    }
    static uint hexValue(QChar c)
    {
        if (c <= u'9')
            return c.unicode() - '0';
        return (c.toLower().unicode() - 'a') + 10;
    }

private:
    QStringView m_text;
    int &m_pos;
};

QByteArray utf16WithNul(const QString &text)
{
    QByteArray data(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    data.append(2, '\0');
    return data;
}

std::optional<QByteArray> parseHexList(QStringView text)
{
    QByteArray out;
    out.reserve(text.size() / 3 + 1);
    const auto parts = text.split(u',');
    for (int i = 0; i < parts.size(); ++i) {
        const QStringView part = parts.at(i).trimmed();
        if (part.isEmpty()) {
            if (i == parts.size() - 1)
                break; // a trailing comma, or no data at all
            return std::nullopt;
        }
        if (part.size() > 2)
            return std::nullopt;
        uint v = 0;
        for (QChar c : part) {
            if (!LineParser::isHex(c))
                return std::nullopt;
            v = v * 16 + LineParser::hexValue(c);
        }
        out.append(char(v));
    }
    return out;
}

struct Cursor
{
    const std::vector<QStringView> &lines;
    size_t next = 0; // index of the next unread line
};

// Sets reason and gives no value: the way out of every step below.
std::nullopt_t failWith(QString &reason, const QString &why)
{
    reason = why;
    return std::nullopt;
}

// The value's name ("@" for the default value) and the '=' after it.
std::optional<QString> parseValueName(LineParser &p, QString &reason)
{
    QString name;
    if (p.take(u"\"")) {
        const auto quoted = p.escapedUntil(u'"');
        if (!quoted)
            return failWith(reason, QStringLiteral("unterminated value name"));
        name = *quoted;
    } else if (!p.take(u"@")) {
        return failWith(reason, QStringLiteral("a value line must begin with @ or a quoted name"));
    }
    p.skipSpaces();
    if (!p.take(u"="))
        return failWith(reason, QStringLiteral("'=' expected after the value name"));
    p.skipSpaces();
    return name;
}

// The "(N):" of str(N): and hex(N):, N in hexadecimal.
std::optional<quint32> parseTypeNumber(LineParser &p)
{
    if (!p.take(u"("))
        return std::nullopt;
    quint64 v = 0;
    int digits = 0;
    while (!p.atEnd() && LineParser::isHex(p.peek()) && digits < 8) {
        QChar c = p.peek();
        p.take(QStringView(&c, 1));
        v = v * 16 + LineParser::hexValue(c);
        ++digits;
    }
    if (digits == 0 || !p.take(u"):"))
        return std::nullopt;
    return quint32(v);
}

// A string's text after its opening quote, up to the closing quote that ends the line.
std::optional<RegistryValue> parseStringData(LineParser &p, quint32 type, QString &reason)
{
    const auto text = p.escapedUntil(u'"');
    if (!text)
        return failWith(reason, QStringLiteral("unterminated string"));
    p.skipSpaces();
    if (!p.atEnd())
        return failWith(reason, QStringLiteral("unexpected text after the string"));
    return RegistryValue{type, utf16WithNul(*text)};
}

// Up to eight hexadecimal digits, stored little-endian.
std::optional<RegistryValue> parseDwordData(QStringView digits, QString &reason)
{
    if (digits.isEmpty() || digits.size() > 8)
        return failWith(reason, QStringLiteral("malformed dword value"));
    quint32 v = 0;
    for (QChar c : digits) {
        if (!LineParser::isHex(c))
            return failWith(reason, QStringLiteral("malformed dword value"));
        v = v * 16 + LineParser::hexValue(c);
    }
    QByteArray data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[i] = char((v >> (8 * i)) & 0xFF);
    return RegistryValue{RegType::Dword, data};
}

// After "hex": ":" or "(N):", then a byte list that a trailing backslash continues on the next lines.
std::optional<RegistryValue> parseHexData(LineParser &p, Cursor &cursor, QString &reason)
{
    quint32 type = RegType::Binary;
    if (!p.take(u":")) {
        const auto number = parseTypeNumber(p);
        if (!number)
            return failWith(reason, QStringLiteral("malformed hex value"));
        type = *number;
    }
    QString list = p.rest().trimmed().toString();
    while (list.endsWith(u'\\')) {
        list.chop(1);
        if (cursor.next >= cursor.lines.size())
            return failWith(reason, QStringLiteral("the file ends inside a continued value"));
        list += cursor.lines[cursor.next++].trimmed();
    }
    const auto bytes = parseHexList(list);
    if (!bytes)
        return failWith(reason, QStringLiteral("malformed hex data"));
    return RegistryValue{type, *bytes};
}

// The data after the '=': a string, str(N):, dword: or hex.
std::optional<RegistryValue> parseValueData(LineParser &p, Cursor &cursor, QString &reason)
{
    if (p.take(u"\""))
        return parseStringData(p, RegType::String, reason);
    if (p.take(u"str")) {
        const auto type = parseTypeNumber(p);
        if (!type || !p.take(u"\""))
            return failWith(reason, QStringLiteral("malformed str(N): value"));
        return parseStringData(p, *type, reason);
    }
    if (p.take(u"dword:"))
        return parseDwordData(p.rest().trimmed(), reason);
    if (p.take(u"hex"))
        return parseHexData(p, cursor, reason);
    return failWith(reason, QStringLiteral("unknown value data"));
}

// The value line at lines[index] (continuations consumed through cursor); reason set on failure.
std::optional<StoredKey::Value> parseValueLine(QStringView line, Cursor &cursor, QString &reason)
{
    int pos = 0;
    LineParser p(line, pos);
    auto name = parseValueName(p, reason);
    if (!name)
        return std::nullopt;
    auto data = parseValueData(p, cursor, reason);
    if (!data)
        return std::nullopt;
    StoredKey::Value value;
    value.name = std::move(*name);
    value.value = std::move(*data);
    return value;
}

// --- writing ---

void appendEscaped(QString &out, QStringView text, QChar open, QChar close)
{
    static const char digits[] = "0123456789abcdef";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c > 127) {
            out += QStringLiteral("\\x");
            for (int shift = 12; shift >= 0; shift -= 4)
                out += QChar(digits[(c >> shift) & 0xF]);
            continue;
        }
        if (c < 32 || c == 127) {
            switch (c) {
            case 7: out += QStringLiteral("\\a"); break;
            case 8: out += QStringLiteral("\\b"); break;
            case 9: out += QStringLiteral("\\t"); break;
            case 10: out += QStringLiteral("\\n"); break;
            case 11: out += QStringLiteral("\\v"); break;
            case 12: out += QStringLiteral("\\f"); break;
            case 13: out += QStringLiteral("\\r"); break;
            default:
                out += u'\\';
                out += QChar(u'0' + ((c >> 6) & 7));
                out += QChar(u'0' + ((c >> 3) & 7));
                out += QChar(u'0' + (c & 7));
            }
            continue;
        }
        if (c == u'\\' || c == open || c == close)
            out += u'\\';
        out += QChar(c);
    }
}

void appendHex(QString &out, const QByteArray &data, qsizetype column)
{
    static const char digits[] = "0123456789abcdef";
    for (qsizetype i = 0; i < data.size(); ++i) {
        const uchar b = uchar(data.at(i));
        out += QChar(digits[b >> 4]);
        out += QChar(digits[b & 0xF]);
        column += 2;
        if (i + 1 < data.size()) {
            out += u',';
            ++column;
            if (column > 76) {
                out += QStringLiteral("\\\n  ");
                column = 2;
            }
        }
    }
}

bool isStringType(quint32 type)
{
    return type == RegType::String || type == RegType::ExpandString || type == RegType::MultiString;
}

void appendValue(QString &out, const StoredKey::Value &v)
{
    const qsizetype lineStart = out.size();
    if (v.name.isEmpty()) {
        out += u'@';
    } else {
        out += u'"';
        appendEscaped(out, v.name, u'"', u'"');
        out += u'"';
    }
    out += u'=';
    const RegistryValue &value = v.value;
    const QByteArray &d = value.data;
    const bool stringForm = isStringType(value.type) && d.size() >= 2 && d.size() % 2 == 0 && d.at(d.size() - 1) == 0 &&
                            d.at(d.size() - 2) == 0;
    if (stringForm) {
        if (value.type != RegType::String)
            out += QStringLiteral("str(%1):").arg(value.type, 0, 16);
        out += u'"';
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(d.constData()), d.size() / 2 - 1);
        appendEscaped(out, text, u'"', u'"');
        out += u'"';
    } else if (value.type == RegType::Dword && d.size() == 4) {
        quint32 n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | uchar(d.at(i));
        out += QStringLiteral("dword:%1").arg(n, 8, 16, QLatin1Char('0'));
    } else {
        out +=
            value.type == RegType::Binary ? QStringLiteral("hex:") : QStringLiteral("hex(%1):").arg(value.type, 0, 16);
        appendHex(out, d, out.size() - lineStart);
    }
    out += u'\n';
}

} // namespace

std::optional<RegistryParseError> parseRegistryFile(const QByteArray &bytes, RegistryFileContents &contents)
{
    contents.clear();
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    const QString text = QString::fromUtf8(view);
    const std::vector<QStringView> lines = splitTextLines(text);
    if (lines.empty())
        return std::nullopt;
    if (lines.front().trimmed() != RegistryFileContents::Signature)
        return RegistryParseError{1,
                                  QStringLiteral("the first line is not \"%1\"").arg(RegistryFileContents::Signature)};
    contents.headerLines.append(lines.front().trimmed().toString());

    Cursor cursor{lines, 1};
    StoredKey *key = nullptr;
    while (cursor.next < lines.size()) {
        const int lineNumber = int(cursor.next) + 1;
        const QStringView line = lines[cursor.next++].trimmed();
        if (line.isEmpty())
            continue;
        const QChar first = line.front();
        if (first == u'[') {
            int pos = 1;
            LineParser p(line, pos);
            const auto path = p.escapedUntil(u']');
            if (!path)
                return RegistryParseError{lineNumber, QStringLiteral("a key line without its closing bracket")};
            key = &contents.obtain(*path, p.rest().trimmed().toString());
        } else if (first == u'#' || first == u';') {
            if (key)
                key->extraLines.append(line.toString());
            else
                contents.headerLines.append(line.toString());
        } else if (first == u'@' || first == u'"') {
            if (!key)
                return RegistryParseError{lineNumber, QStringLiteral("a value before the first key")};
            QString reason;
            auto value = parseValueLine(line, cursor, reason);
            if (!value)
                return RegistryParseError{lineNumber, reason};
            const int existing = key->valueIndex(value->name);
            if (existing >= 0)
                key->values[existing].value = std::move(value->value); // the first spelling stays
            else
                key->values.append(std::move(*value));
        } else {
            return RegistryParseError{lineNumber, QStringLiteral("a line that is neither a key nor a value")};
        }
    }
    return std::nullopt;
}

QByteArray renderRegistryFile(const RegistryFileContents &contents)
{
    QString out;
    if (contents.headerLines.isEmpty() || contents.headerLines.first() != RegistryFileContents::Signature)
        out += RegistryFileContents::Signature + u'\n';
    for (const QString &line : contents.headerLines)
        out += line + u'\n';
    for (const StoredKey &key : contents.keys()) {
        out += QStringLiteral("\n[");
        appendEscaped(out, key.path, u'[', u']');
        out += u']';
        if (!key.stamp.isEmpty())
            out += u' ' + key.stamp;
        out += u'\n';
        for (const QString &line : key.extraLines)
            out += line + u'\n';
        for (const StoredKey::Value &v : key.values)
            appendValue(out, v);
    }
    return out.toUtf8();
}

} // namespace kova
