// The game as the controller keeps it: the game block, the text of every move played and the
// replay state.
#pragma once

#include "game/game_block.h"
#include "text/notation.h"

namespace tarvex {

// Entry n: the text of the move that led to ply n; entry 0: a copy of the last move's text.
struct MoveTextTable {
    char texts[kGameRecordSize + 1][kMoveTextSize];
};

inline constexpr int kNoReplay = -1;

struct Game {
    GameBlock block{};
    MoveTextTable texts{};
    int replayIndex = kNoReplay;  // plies shown while replaying, kNoReplay otherwise
};

}  // namespace tarvex
