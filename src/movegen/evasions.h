// Check evasions: the moves of a side whose king is attacked (bit 7 of flags set). Like the
// ordinary generator the list is pseudo-legal (making a move rejects one that leaves the king
// attacked), and it holds every legal move of the position, possibly among a few illegal ones.
// A pawn move onto its last rank appears once, as a plain move, standing for its four
// promotions.
#pragma once

#include "board/move.h"
#include "board/position.h"

namespace tarvex {

// Writes the moves into out (room for kMaxMoves) and returns their number.
int GenerateEvasions(Position& position, Move* out);

}  // namespace tarvex
