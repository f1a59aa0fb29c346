// Attack-board moves of the 3D game: a player may move an attack board he owns, empty or
// carrying one piece, from its pin to a free neighbouring pin. Such a move is a Move whose
// piece is the board's identifier (100, 106, 116, 122), from its pin and to the new pin, kind
// 'T'.
#pragma once

#include "board/move.h"
#include "board/position.h"

namespace tarvex {

// Most destinations one board can have (towards White, towards Black and sideways).
inline constexpr int kMaxBoardDestinations = 5;

// Whether the board may move now: owned by the side to move, and carrying at most one piece
// (Tournament rules: any piece; Standard rules: at most one pawn). When it may, direction is
// the sum of the piece codes on its squares: below 1 it may go towards White, 0 or more
// towards Black. An unknown identifier is reported and gives false.
bool BoardCanMove(const Position& position, int identifier, int& direction);

// Appends the board's moves to out in the order towards White, towards Black, sideways
// (Tournament rules only), skipping pins where a board stands; returns the number appended
// (at most kMaxBoardDestinations).
int GenerateAttackBoardMoves(const Position& position, int identifier, Move* out);

// Whether moving the board to pin carries a pawn onto its last rank: a Black pawn on the lower
// rank of a board arriving at q1 or k1, a White pawn on the upper rank of one arriving at q6
// or k6.
bool BoardMovePromotes(const Position& position, int identifier, unsigned pin);

}  // namespace tarvex
