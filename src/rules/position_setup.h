// Building a complete Position from a filled-in board.
#pragma once

#include <cstdint>

#include "board/position.h"

namespace tarvex {

// Turns a Position whose game kind, rules, board, castling rights, epSquare, ply and (3D)
// attack-board fields are filled in into a complete one: the piece list laid out as a game
// holds it, every piece placed again (slots, masks, material, keys), castling rights whose king
// or rook is not at home dropped, the geometry tables attached and the attack data
// regenerated. Returns false (after "\nno king") when either king is missing, (after "\ntoo many
// pieces for the piece list") when a side has more extra officers than missing pawns, or when
// regeneration fails.
//
// The layout: each officer of a standard role in its role's slot (the higher square first), a
// pawn on its start square in its file's pawn slot, the other pawns in the last free pawn slots
// in square order, and extra officers (promoted pieces) in the pawn slots left free. The
// standard set-ups thus come out in their canonical slot order.
//
// movedStartPawns: squares of pawns that stand on a start square but have moved there (in the
// 3D game a pawn can step onto another pawn's start square); they never get that file's slot,
// so they make no double step.
bool BuildPosition(Position& position, uint64_t movedStartPawns = 0);

// The squares of the pawns of a complete position that stand on a start square without the
// double step: what BuildPosition needs to lay the position out again the same way.
uint64_t MovedStartPawns(const Position& position);

// Whether the pawn in slot may make a double step from square: a pawn makes it only from the
// start square of its own pawn slot. Pawns standing on start squares are given those slots
// when a position is built, so any pawn on its start square may double-step.
bool PawnMayDoubleStep(int slot, unsigned square);

}  // namespace tarvex
