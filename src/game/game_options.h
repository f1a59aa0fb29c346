// The user's choices for the game, owned by the game controller: who the engine plays, how deep
// and how long it searches, the 3D rules and notation, and how far the selected piece's highlights
// spread. The game kind is the current position's own.
#pragma once

#include "core/game_types.h"
#include "game/thinking.h"

namespace tarvex {

inline constexpr int kSpreadOff = 0;
inline constexpr int kSpreadPiece = 1;
inline constexpr int kSpreadTeam = 2;

struct GameOptions {
    int difficulty = kDifficultyEasy;
    ThinkingTime thinking;  // the classic budget unless the user chose a time
    int engineSide = -1;    // +1 the engine plays White, -1 Black, 0 neither
    int rules = kRulesTournament;
    int notation = kNotationTournament;
    int spread = kSpreadPiece;  // highlights around the selected piece
};

}  // namespace tarvex
