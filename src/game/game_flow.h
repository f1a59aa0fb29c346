// The gate through which every move enters the game, and the decision whether a game is over.
#pragma once

#include "board/move.h"
#include "board/position.h"
#include "game/game.h"

namespace tarvex {

// 1 when the move (compared by piece, from and to with the generated moves) may be played.
// Prints "\n!LegalMove" when not.
int LegalMove(const Position& position, const Move* move);

// Checks, records and makes a move on the game's current position and prints it in move-number
// form. Returns 1 when accepted and made, 0 otherwise (nothing changes then). The game's key
// history must be the calling thread's (see KeyHistoryScope).
int PlayerMoved(Game& game, Move move);

// Decides whether the game is over, before a move (move nullptr) or after the given move;
// prints the outcome and sets the current position's winner. Returns 1 when decided.
int FindWinner(Game& game, const Move* move);

// Stores the text of a move (as the last generation named it) for the given ply and as the
// last move's text; returns the stored text.
const char* StoreMoveText(Game& game, const Move& move, unsigned ply);
const char* MoveTextAt(const Game& game, unsigned ply);

}  // namespace tarvex
