// The engine's thoughts as the player reads them: one completed depth of a search as
// "depth 9 +0.35 nodes 123456 pv Nf3 Nc6 Bb5", with the score in pawns from White's side and
// the moves in the game's notation. The same texts serve the hint.
#pragma once

#include <string>

#include "board/move.h"
#include "board/position.h"
#include "engine/move_chooser.h"

namespace tarvex {

// A search score (1/10000 pawn, from the side to move's view) from White's side: "+0.35",
// "-1.20", "mate 3" when White mates in 3 moves, "mate -3" when Black does.
std::string WhiteScoreText(int score, bool whiteToMove);

// The text of move made from position in notation ("Nf3", "Rh8+", "e8=Q"), or "" when the
// move cannot be made there.
std::string MoveTextOf(const Position& position, const Move& move, int notation);

// The thoughts line of one completed depth of a search from root.
std::string ThoughtsText(const Position& root, const engine::SearchProgress& progress,
                         int notation);

}  // namespace tarvex
