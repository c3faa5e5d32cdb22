#include "nodetexttable.h"

#include "bulkmemory.h"
#include "stringviews.h"
#include "textscan.h"

#include <algorithm>
#include <cstring>

namespace kova {

namespace {

// Blocks start small, so that a small template takes little memory, and double up to 2 MiB.
constexpr size_t kFirstBlock = 8192;
constexpr size_t kLargestBlock = size_t(2) << 20;

size_t bytesOf(size_t characters, bool wide)
{
    return wide ? characters * sizeof(char16_t) : characters;
}

// Writes text at to, two bytes a character when wide, else one (every character fits in one).
void store(char *to, QStringView text, bool wide)
{
    if (text.isEmpty())
        return;
    if (wide) {
        std::memcpy(to, text.utf16(), size_t(text.size()) * sizeof(char16_t));
        return;
    }
    const char16_t *from = text.utf16();
    for (qsizetype i = narrowAscii(from, text.size(), to); i < text.size(); ++i)
        to[i] = char(from[i]);
}

// Widens count Latin-1 characters at from into two-byte characters at to.
void widen(char *to, const char *from, qsizetype count)
{
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = char16_t(static_cast<unsigned char>(from[i]));
        std::memcpy(to + i * 2, &c, sizeof c);
    }
}

} // namespace

QString MakeNodeKey(int n)
{
    // One key per node of a large template: write the digits straight into the one allocation.
    char16_t digits[12];
    int count = 0;
    unsigned v = n < 0 ? 0u - unsigned(n) : unsigned(n);
    do {
        digits[count++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v > 0);
    if (n < 0)
        digits[count++] = u'-';
    QString key(count + 1, Qt::Uninitialized);
    QChar *out = key.data();
    *out++ = u'K';
    while (count > 0)
        *out++ = QChar(digits[--count]);
    return key;
}

int NodeSlotOf(const QString &key)
{
    const qsizetype n = key.size();
    if (n < 2 || n > 10)
        return 0;
    int slot = 0;
    for (qsizetype i = 1; i < n; ++i) {
        const char16_t c = key[i].unicode();
        if (c < u'0' || c > u'9')
            return 0;
        slot = slot * 10 + (c - u'0');
    }
    return slot;
}

// Blocks come from the bulk memory, where the largest are mapped on their own.
void NodeTextTable::Release::operator()(char *memory) const noexcept
{
    releaseBulk(memory, bytes);
}

NodeTextTable::NodeTextTable(const NodeTextTable &other)
{
    *this = other;
}

NodeTextTable &NodeTextTable::operator=(const NodeTextTable &other)
{
    if (this == &other)
        return *this;
    // A copy is packed: only the texts in use, one after the other, each as wide as it was.
    NodeTextTable copy;
    copy.m_slots.resize(other.m_slots.size());
    for (size_t slot = 1; slot < other.m_slots.size(); ++slot) {
        const Span &from = other.m_slots[slot];
        if (from.size == 0)
            continue;
        const size_t bytes = bytesOf(size_t(from.size), from.wide);
        char *to = copy.place(bytes, from.wide);
        std::memcpy(to, from.data, bytes);
        Span &span = copy.m_slots[slot];
        span.data = to;
        span.size = from.size;
        span.wide = from.wide;
        copy.m_live += bytes;
    }
    *this = std::move(copy);
    return *this;
}

void NodeTextTable::clear()
{
    m_slots.clear();
    m_blocks.clear();
    m_live = 0;
    m_garbage = 0;
}

NodeTextTable::Chars NodeTextTable::chars(int slot) const
{
    if (slot < 1 || size_t(slot) >= m_slots.size())
        return {};
    const Span &span = m_slots[size_t(slot)];
    return {span.data, span.size, bool(span.wide)};
}

QString NodeTextTable::text(int slot) const
{
    const Chars c = chars(slot);
    if (c.size == 0)
        return {};
    if (!c.wide)
        return QString::fromLatin1(c.data, c.size);
    QString out(c.size, Qt::Uninitialized);
    std::memcpy(out.data(), c.data, size_t(c.size) * sizeof(char16_t));
    return out;
}

qsizetype NodeTextTable::size(int slot) const
{
    return chars(slot).size;
}

char *NodeTextTable::place(size_t bytes, bool wide)
{
    // Two-byte texts start on an even address.
    const auto start = [wide](const Block &block) { return wide ? (block.used + 1) & ~size_t(1) : block.used; };
    if (m_blocks.empty() || m_blocks.back().size < start(m_blocks.back()) + bytes) {
        const size_t last = m_blocks.empty() ? 0 : m_blocks.back().size;
        const size_t size = std::max({bytes, std::min(last * 2, kLargestBlock), kFirstBlock});
        auto *memory = static_cast<char *>(allocateBulk(size));
        m_blocks.push_back({std::unique_ptr<char[], Release>(memory, Release{size}), size, 0});
    }
    Block &block = m_blocks.back();
    const size_t at = start(block);
    block.used = at + bytes;
    return block.bytes.get() + at;
}

void NodeTextTable::set(int slot, QStringView text)
{
    growTo(slot);
    Span &span = m_slots[size_t(slot)];
    const size_t old = bytesOf(size_t(span.size), span.wide);
    m_live -= old;
    m_garbage += old + bytesOf(span.room, span.wide);
    span = {};
    append(slot, text);
    // Edits leave old texts behind; once they outweigh the texts in use, pack the table.
    if (m_garbage > std::max(m_live, kLargestBlock))
        compact();
}

void NodeTextTable::appendLine(int slot, QStringView line, qsizetype roomAfter)
{
    growTo(slot);
    const QStringView trimmed = trimmedView(line);
    if (!trimmed.isEmpty())
        appendParts(slot, trimmed, u"\r\n", roomAfter);
}

void NodeTextTable::append(int slot, QStringView text, qsizetype roomAfter)
{
    growTo(slot);
    if (!text.isEmpty())
        appendParts(slot, text, {}, roomAfter);
}

void NodeTextTable::appendParts(int slot, QStringView text, QStringView end, qsizetype roomAfter)
{
    Span &span = m_slots[size_t(slot)];
    const bool wideText = !fitsLatin1(text) || !fitsLatin1(end);
    if (!span.data)
        span.wide = wideText;
    const bool widening = wideText && !span.wide;
    const bool wide = span.wide || widening;
    const qsizetype count = text.size() + end.size();
    const size_t more = bytesOf(size_t(count), wide);
    const size_t held = bytesOf(size_t(span.size), span.wide);
    const bool last =
        span.data && !m_blocks.empty() &&
        span.data + held + bytesOf(span.room, span.wide) == m_blocks.back().bytes.get() + m_blocks.back().used;
    if (!widening && last && m_blocks.back().size - m_blocks.back().used >= more) {
        // The last text of the last block grows into the block's free end.
        m_blocks.back().used += more;
    } else if (!widening && bytesOf(span.room, span.wide) >= more) {
        span.room -= quint32(count);
    } else {
        // The text moves: to where it has room for what comes, two bytes a character if it must.
        const size_t room = size_t(std::max<qsizetype>(roomAfter, 0));
        char *moved = place(bytesOf(size_t(span.size) + size_t(count) + room, wide), wide);
        if (widening)
            widen(moved, span.data, span.size);
        else if (held > 0)
            std::memcpy(moved, span.data, held);
        m_garbage += held + bytesOf(span.room, span.wide);
        m_live += bytesOf(size_t(span.size), wide) - held;
        span.data = moved;
        span.room = quint32(room);
        span.wide = wide;
    }
    char *at = span.data + bytesOf(size_t(span.size), wide);
    store(at, text, wide);
    if (!end.isEmpty())
        store(at + bytesOf(size_t(text.size()), wide), end, wide);
    span.size += qint32(count);
    m_live += more;
}

void NodeTextTable::compact()
{
    *this = NodeTextTable(*this);
}

bool NodeTextTable::operator==(const NodeTextTable &other) const
{
    if (highestSlot() != other.highestSlot())
        return false;
    for (int slot = 1; slot <= highestSlot(); ++slot) {
        const Chars a = chars(slot);
        const Chars b = other.chars(slot);
        if (a.size != b.size)
            return false;
        if (a.wide == b.wide) {
            if (a.size > 0 && std::memcmp(a.data, b.data, bytesOf(size_t(a.size), a.wide)) != 0)
                return false;
            continue;
        }
        const Chars &wide = a.wide ? a : b;
        const Chars &narrow = a.wide ? b : a;
        if (QStringView(reinterpret_cast<const char16_t *>(wide.data), wide.size)
                .compare(QLatin1String(narrow.data, narrow.size)) != 0)
            return false;
    }
    return true;
}

} // namespace kova
