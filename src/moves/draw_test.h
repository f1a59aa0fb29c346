// The repetition and move-count draw test, read from the calling thread's key history.
#pragma once

#include "board/position.h"

namespace tarvex {

inline constexpr unsigned kQuietPliesDraw = 101;

// A draw when more than 101 plies passed without a capture or pawn move, or when the position's
// key occurs count times among the earlier positions with the same side to move since then.
bool IsDraw(const Position& position, int count);

}  // namespace tarvex
