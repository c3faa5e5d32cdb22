#pragma once

// For the writer alone: reading slot texts without copying them.

#include "nodetexttable.h"

namespace kova {

class NodeTextViews
{
public:
    // A slot's text as it stands in the table; valid only until the table next changes.
    static QStringView at(const NodeTextTable &table, int slot) { return table.view(slot); }
};

} // namespace kova
