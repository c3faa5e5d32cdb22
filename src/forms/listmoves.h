#pragma once

namespace kova {

// Where MoveListItem puts the selected item of a list of count items: the position it swaps with,
// or -1 when nothing moves (no selection, fewer than two items, the end of the list, or a direction
// other than 0 = up and 1 = down).
int moveTarget(int count, int selected, int direction);

} // namespace kova
