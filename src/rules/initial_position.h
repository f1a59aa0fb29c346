// The starting placement of both games.
#pragma once

#include "board/position.h"

namespace tarvex {

// Writes the initial pieces of the position's game kind into board (and, in the 3D game, the
// attack boards at their home pins with their default owners). Touches nothing else.
void WriteInitialPlacement(Position& position);

// A zeroed Position of the game kind and rules with the initial placement, all castling rights
// and White to move, built. Returns false when building fails.
bool SetUpInitialPosition(Position& position, int gameKind, int rules = kRulesTournament);

}  // namespace tarvex
