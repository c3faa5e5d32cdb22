#include "nodetexttable.h"

#include "bulkmemory.h"
#include "stringviews.h"

#include <algorithm>
#include <cstring>

namespace kova {

namespace {

// Blocks start small, so that a small template takes little memory, and double up to 2 MiB.
constexpr size_t kFirstBlock = 4096;
constexpr size_t kLargestBlock = size_t(1) << 20;

void copyUnits(char16_t *to, QStringView from)
{
    if (!from.isEmpty())
        std::memcpy(to, from.utf16(), size_t(from.size()) * sizeof(char16_t));
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
void NodeTextTable::Release::operator()(char16_t *memory) const noexcept
{
    releaseBulk(memory, units * sizeof(char16_t));
}

NodeTextTable::NodeTextTable(const NodeTextTable &other)
{
    *this = other;
}

NodeTextTable &NodeTextTable::operator=(const NodeTextTable &other)
{
    if (this == &other)
        return *this;
    // A copy is packed: only the texts in use, one after the other.
    NodeTextTable copy;
    copy.m_slots.resize(other.m_slots.size());
    for (size_t slot = 1; slot < other.m_slots.size(); ++slot)
        copy.append(int(slot), other.view(int(slot)));
    *this = std::move(copy);
    return *this;
}

void NodeTextTable::growTo(int slot)
{
    if (slot > highestSlot())
        m_slots.resize(size_t(slot) + 1);
}

void NodeTextTable::clear()
{
    m_slots.clear();
    m_blocks.clear();
    m_live = 0;
    m_garbage = 0;
}

QStringView NodeTextTable::view(int slot) const
{
    if (slot < 1 || size_t(slot) >= m_slots.size())
        return {};
    const Span &span = m_slots[size_t(slot)];
    return span.size == 0 ? QStringView() : QStringView(span.data, span.size);
}

char16_t *NodeTextTable::place(size_t size, size_t room)
{
    const size_t needed = size + room;
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < needed) {
        const size_t last = m_blocks.empty() ? 0 : m_blocks.back().size;
        const size_t size = std::max({needed, std::min(last * 2, kLargestBlock), kFirstBlock});
        auto *units = static_cast<char16_t *>(allocateBulk(size * sizeof(char16_t)));
        m_blocks.push_back({std::unique_ptr<char16_t[], Release>(units, Release{size}), size, 0});
    }
    Block &block = m_blocks.back();
    char16_t *at = block.units.get() + block.used;
    block.used += needed;
    return at;
}

void NodeTextTable::set(int slot, QStringView text)
{
    growTo(slot);
    Span &span = m_slots[size_t(slot)];
    m_live -= size_t(span.size);
    m_garbage += size_t(span.size) + size_t(span.room);
    span = {};
    append(slot, text);
    // Edits leave old texts behind; once they outweigh the texts in use, pack the table.
    if (m_garbage > std::max(m_live, kLargestBlock))
        compact();
}

void NodeTextTable::appendLine(int slot, QStringView line)
{
    growTo(slot);
    const QStringView trimmed = trimmedView(line);
    if (trimmed.isEmpty())
        return;
    append(slot, trimmed);
    append(slot, u"\r\n");
}

void NodeTextTable::append(int slot, QStringView text, qsizetype roomAfter)
{
    growTo(slot);
    if (text.isEmpty())
        return;
    Span &span = m_slots[size_t(slot)];
    const size_t more = size_t(text.size());
    const bool last = span.data && !m_blocks.empty() &&
                      span.data + span.size + span.room == m_blocks.back().units.get() + m_blocks.back().used;
    if (last && m_blocks.back().size - m_blocks.back().used >= more) {
        // The last text of the last block grows into the block's free end.
        m_blocks.back().used += more;
    } else if (size_t(span.room) >= more) {
        span.room -= qint32(more);
    } else {
        const size_t room = size_t(std::max<qsizetype>(roomAfter, 0));
        char16_t *moved = place(size_t(span.size) + more, room);
        copyUnits(moved, view(slot).first(span.size));
        m_garbage += size_t(span.size) + size_t(span.room);
        span = {moved, span.size, qint32(room)};
    }
    copyUnits(span.data + span.size, text);
    span.size += qint32(more);
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
    for (int slot = 1; slot <= highestSlot(); ++slot)
        if (view(slot) != other.view(slot))
            return false;
    return true;
}

} // namespace kova
