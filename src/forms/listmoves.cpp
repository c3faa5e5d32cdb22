#include "listmoves.h"

namespace kova {

int moveTarget(int count, int selected, int direction)
{
    if (count < 2 || selected < 0 || selected >= count)
        return -1;
    if (direction == 1)
        return selected == count - 1 ? -1 : selected + 1;
    if (direction == 0)
        return selected == 0 ? -1 : selected - 1;
    return -1;
}

} // namespace kova
