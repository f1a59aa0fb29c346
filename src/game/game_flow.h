// The one way a move enters the game, and the decision whether a game is over.
#pragma once

#include <optional>

#include "board/move.h"
#include "board/position.h"
#include "game/game.h"
#include "rules/move_context.h"
#include "text/notation.h"

namespace tarvex {

// The legality gate: the legal move of position with move's piece, from and to, as making it
// leaves it. Prints "\n!LegalMove" when there is none.
std::optional<Move> GateMove(const Position& position, const Move& move);

// How a move entering the game is reported.
struct MoveEntry {
    bool announce = true;   // print the move in move-number form and the draw notices
    bool writeText = true;  // store the move's text in the game's text table
    bool judge = false;     // decide on the result whether the game is over (the engine's moves)
};

// Enters a move into the game: the gate finds it once, it is made once on the current position
// (recorded, its capture counted), its text is written from the move as made, and when judged
// the result is tested for the end of the game. The context's history must be the game's.
// Returns true when the move was made; false changes nothing.
bool EnterMove(Game& game, Move move, const MoveContext& context, int notation, MoveEntry entry);

// The verdicts that stand before a move is made: a king that can be taken, or a repetition or
// quiet-move draw. Prints the outcome and sets the winner; true when decided.
bool DecidedBeforeMove(Game& game);

// The side to move has no legal move: prints whether it is mated or stalemated and sets the
// winner. True when so.
bool DecidedByNoMove(Game& game);

const char* MoveTextAt(const Game& game, unsigned ply);

}  // namespace tarvex
