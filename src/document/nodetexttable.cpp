#include "nodetexttable.h"

#include "nodetext.h"

namespace kova {

void NodeTextTable::growTo(int slot)
{
    if (slot > highestSlot())
        m_slots.resize(slot + 1);
}

const QString &NodeTextTable::at(int slot) const
{
    static const QString empty;
    if (slot < 1 || slot >= m_slots.size())
        return empty;
    return m_slots[slot];
}

void NodeTextTable::set(int slot, const QString &text)
{
    growTo(slot);
    m_slots[slot] = text;
}

void NodeTextTable::appendLine(int slot, QStringView line)
{
    growTo(slot);
    AppendNodeLine(m_slots[slot], line);
}

} // namespace kova
