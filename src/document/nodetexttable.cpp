#include "nodetexttable.h"

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
        copy.append(int(slot), other.at(int(slot)));
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

QStringView NodeTextTable::at(int slot) const
{
    if (slot < 1 || size_t(slot) >= m_slots.size())
        return {};
    const Span &span = m_slots[size_t(slot)];
    return span.size == 0 ? QStringView() : QStringView(span.data, span.size);
}

char16_t *NodeTextTable::place(size_t size, size_t room)
{
    const size_t needed = size + room;
    if (m_blocks.empty() || m_blocks.back().units.size() - m_blocks.back().used < needed) {
        const size_t last = m_blocks.empty() ? 0 : m_blocks.back().units.size();
        Block &block = m_blocks.emplace_back();
        block.units.resize(std::max({needed, std::min(last * 2, kLargestBlock), kFirstBlock}));
    }
    Block &block = m_blocks.back();
    char16_t *at = block.units.data() + block.used;
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
                      span.data + span.size + span.room == m_blocks.back().units.data() + m_blocks.back().used;
    if (last && m_blocks.back().units.size() - m_blocks.back().used >= more) {
        // The last text of the last block grows into the block's free end.
        m_blocks.back().used += more;
    } else if (size_t(span.room) >= more) {
        span.room -= qint32(more);
    } else {
        const size_t room = size_t(std::max<qsizetype>(roomAfter, 0));
        char16_t *moved = place(size_t(span.size) + more, room);
        copyUnits(moved, at(slot).first(span.size));
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
        if (at(slot) != other.at(slot))
            return false;
    return true;
}

} // namespace kova
