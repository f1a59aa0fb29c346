// The key history and the repetition and move-count draw test.
//
// The key history holds the primary hash key of the position at each ply of a game; making a
// move writes the parent's entry and the child's (through its move context). The game keeps
// one, and a search works on a copy of its own.
#pragma once

#include <cstdint>

#include "board/position.h"

namespace tarvex {

inline constexpr unsigned kKeyHistorySize = 1000;
inline constexpr unsigned kQuietPliesDraw = 101;

struct KeyHistory {
    uint32_t keys[kKeyHistorySize];
};

// A draw when more than 101 plies passed without a capture or pawn move, or when the position's
// key occurs count times in history among the earlier positions with the same side to move
// since then.
bool IsDraw(const Position& position, const KeyHistory& history, int count);

}  // namespace tarvex
