// Making moves by copy-make: a child Position is made from its parent, which the move never
// changes. DoMove moves the pieces and keeps keys, rights and counters; it completes the attack
// data at once after en passant, promotion, castling, a change of castling rights, an
// attack-board move or a move made in place, and otherwise leaves it pending for FinishMove,
// which completes it from the parent's and decides legality.
#pragma once

#include "board/move.h"
#include "board/position.h"
#include "rules/move_context.h"

namespace tarvex {

// True: legal, or legality pending; false: the mover's king is left attacked, or the game has
// reached the length the key history holds. May rewrite the move's kind and givesCheck. child and
// parent may be the same record (a move made in place). The context says which key history
// the move extends and who answers a promotion question.
bool DoMove(Position& child, const Position& parent, Move& move, const MoveContext& context);

// Completes a pending child; true when legal (or nothing was pending), false when illegal. The
// context's evaluation memory goes to the evaluation a regeneration runs.
bool FinishMove(Position& child, Move& move, const MoveContext& context = MoveContext{});

// DoMove and, when that returned true, FinishMove.
bool MakeMove(Position& child, const Position& parent, Move& move,
              const MoveContext& context = MoveContext{});

// PawnPromotesOn of the 3D game.
bool PawnPromotesOn3D(const Position& position, int code, unsigned square);

// A pawn of code standing on square has reached its last rank. (Inline: every pawn move asks.)
inline bool PawnPromotesOn(const Position& position, int code, unsigned square) {
    if (Is3D(position)) return PawnPromotesOn3D(position, code, square);
    return (square & 7) == (code > 0 ? 7u : 0u);
}

// Plies a game may hold before its key history is full.
bool PlyLimitReached(const Position& position);

}  // namespace tarvex
