// The gate through which every move enters the game, and the decision whether a game is over.
#pragma once

#include "board/move.h"
#include "board/position.h"
#include "game/game.h"
#include "rules/move_context.h"

namespace tarvex {

// 1 when the move (compared by piece, from and to with the legal moves) may be played.
// Prints "\n!LegalMove" when not.
int LegalMove(const Position& position, const Move* move);

// Checks, records and makes a move on the game's current position and prints it in move-number
// form, its text in the notation given. The context's history must be the game's. Returns 1
// when accepted and made, 0 otherwise (nothing changes then).
int PlayerMoved(Game& game, Move move, const MoveContext& context, int notation);

// Decides whether the game is over, before a move (move nullptr) or after the given move;
// prints the outcome and sets the current position's winner. Returns 1 when decided. Before a
// move this also finds the side to move mated or stalemated.
int FindWinner(Game& game, const Move* move);

// The engine stands down: it plays neither side, not both, and any search stops.
void EngineStandsDown(GameBlock& block);

const char* MoveTextAt(const Game& game, unsigned ply);

}  // namespace tarvex
