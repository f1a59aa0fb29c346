#include "rules/repetition.h"

namespace tarvex {

bool IsDraw(const Position& position, const KeyHistory& history, int count) {
    if (position.quietPlies > kQuietPliesDraw) return true;
    const long oldest = static_cast<long>(position.ply) - static_cast<long>(position.quietPlies);
    int found = 0;
    for (long ply = static_cast<long>(position.ply) - 2; ply >= oldest && ply >= 0; ply -= 2) {
        if (ply >= static_cast<long>(kKeyHistorySize)) continue;
        if (history.keys[ply] == position.hashKey && ++found >= count) return true;
    }
    return false;
}

}  // namespace tarvex
