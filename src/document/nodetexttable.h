#pragma once

#include <QList>
#include <QString>

namespace kova {

// The own ADM lines of every node, indexed by the number in the node's key (1-based; slot 0 unused).
// Each stored line is trimmed and followed by CR LF; the table grows to the highest number in use.
class NodeTextTable
{
public:
    // Highest slot in use; 0 when the table is empty.
    int highestSlot() const { return int(m_slots.size()) - 1 < 0 ? 0 : int(m_slots.size()) - 1; }
    bool isEmpty() const { return highestSlot() == 0; }

    void growTo(int slot);
    void clear() { m_slots.clear(); }

    // Out-of-range slots read as empty text.
    const QString &at(int slot) const;
    void set(int slot, const QString &text);
    void appendLine(int slot, QStringView line);

    bool operator==(const NodeTextTable &) const = default;

private:
    QList<QString> m_slots;
};

} // namespace kova
