// Building a complete Position from a filled-in board.
#pragma once

#include "board/position.h"

namespace tarvex {

// Turns a Position whose board, castling rights, epSquare, ply and (3D) attack-board fields are
// filled in into a complete one: the piece list in its canonical slot order, every piece placed
// again (slots, masks, material, keys), castling rights whose king or rook is not at home
// dropped, and the attack data regenerated. Returns 0 (after "\nno king") when either king is
// missing, when the pieces do not fit the piece list, or when regeneration fails.
int BuildPosition(Position& position);

// Whether the pawn in slot may make a double step from square: a pawn makes it only from the
// start square of its own pawn slot. Pawns standing on start squares are given those slots
// when a position is built, so any pawn on its start square may double-step.
bool PawnMayDoubleStep(int slot, unsigned square);

}  // namespace tarvex
