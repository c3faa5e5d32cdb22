#pragma once

#include <QString>

#include <algorithm>
#include <memory>
#include <vector>

namespace kova {

// The key of the node in slot n: "K" followed by n in decimal, without leading zeros.
QString MakeNodeKey(int n);

// The number after the "K" of a node key; 0 when the key holds no number.
int NodeSlotOf(const QString &key);

// The own ADM lines of every node, indexed by the number in the node's key (1-based; slot 0 unused).
// Each stored line is trimmed and followed by CR LF; the table grows to the highest number in use.
//
// The texts live side by side in a few large blocks rather than one string each: a large template has
// tens of thousands of slots, and as many small allocations cost a load more than the copying does.
// A text whose characters all fit in one byte (nearly every template's) is kept one byte a character;
// it turns to two bytes a character when a character that does not fit is added.
class NodeTextTable
{
public:
    NodeTextTable() = default;
    NodeTextTable(const NodeTextTable &other);
    NodeTextTable &operator=(const NodeTextTable &other);
    NodeTextTable(NodeTextTable &&other) noexcept = default;
    NodeTextTable &operator=(NodeTextTable &&other) noexcept = default;

    // Highest slot in use; 0 when the table is empty.
    int highestSlot() const { return m_slots.empty() ? 0 : int(m_slots.size()) - 1; }
    bool isEmpty() const { return highestSlot() == 0; }

    void growTo(int slot)
    {
        if (slot > highestSlot())
            m_slots.resize(size_t(slot) + 1);
    }
    // Makes room for slots up to highestSlot without growing into it step by step.
    void reserve(int highestSlot) { m_slots.reserve(size_t(std::max(highestSlot, 0)) + 1); }
    void clear();

    // A slot's text, a copy of its own; out-of-range slots read as empty text.
    QString text(int slot) const;
    // The length of a slot's text in characters.
    qsizetype size(int slot) const;
    void set(int slot, QStringView text);
    // Adds the trimmed line and CR LF; an empty trimmed line adds nothing. roomAfter as for append.
    void appendLine(int slot, QStringView line, qsizetype roomAfter = 0);
    // Adds text as it stands. When the slot's text has to move to make room, roomAfter more characters
    // are kept free behind it, so that a text known to grow later (a container's END line) grows in
    // place.
    void append(int slot, QStringView text, qsizetype roomAfter = 0);

    bool operator==(const NodeTextTable &other) const;

private:
    // The writer reads every slot of an unchanged table without copying what it can: it reads
    // through nodetextviews.h.
    friend class NodeTextViews;
    // A slot's characters as they are kept: one byte (Latin-1) or two (UTF-16) each.
    struct Chars
    {
        const char *data = nullptr;
        qsizetype size = 0;
        bool wide = false;
    };
    Chars chars(int slot) const;

    struct Span
    {
        char *data = nullptr;
        qint32 size = 0;          // characters
        quint32 room : 31 = 0;    // free characters right behind the text that belong to it
        quint32 wide : 1 = false; // two bytes a character
    };
    struct Release
    {
        size_t bytes;
        void operator()(char *memory) const noexcept;
    };
    struct Block
    {
        std::unique_ptr<char[], Release> bytes; // never moved, as the spans point into it
        size_t size = 0;
        size_t used = 0;
    };

    // Adds text and then end, which may be empty, with one look for room.
    void appendParts(int slot, QStringView text, QStringView end, qsizetype roomAfter);
    char *place(size_t bytes, bool wide);
    void compact();

    std::vector<Span> m_slots;
    std::vector<Block> m_blocks;
    size_t m_live = 0;    // bytes of text in use
    size_t m_garbage = 0; // bytes left behind by texts that moved or were replaced
};

} // namespace kova
