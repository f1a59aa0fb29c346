// The user's choices, the view parameters and the cross-thread signals of the program.
//
// One record, owned by the process. The rules never read it: a Position carries its own game
// kind and rule set, and the game controller applies the user's choices to the game. Each
// value is an atomic so that the engine thread can read what the window thread writes (relaxed
// ordering is enough: every value is a single word that is read afresh at each use).
#pragma once

#include <atomic>

#include "core/game_types.h"

namespace tarvex {

inline constexpr int kSpreadOff = 0;
inline constexpr int kSpreadPiece = 1;
inline constexpr int kSpreadTeam = 2;

struct Settings {
    std::atomic<int> gameKind{kGame3D};  // the kind of the game being played (2 or 3)
    std::atomic<int> engineSide{-1};     // +1 engine plays White, -1 Black, 0 neither
    std::atomic<int> stopRequest{0};     // 1: the search abandons at its next stop test
    std::atomic<int> difficulty{kDifficultyEasy};
    std::atomic<int> rules{kRulesTournament};
    std::atomic<int> notation{kNotationTournament};
    std::atomic<int> spread{kSpreadPiece};  // highlights around the selected piece
    std::atomic<int> projection{0};         // 0 perspective, 1 orthographic
    std::atomic<int> transparency{1};       // 1 levels drawn transparent
    std::atomic<int> axes{0};               // 1 draw coordinate axes
    std::atomic<int> capturedDisplay{1};    // 1 draw the captured pieces
    std::atomic<float> xAngle{300.0f};      // degrees in [0, 360)
    std::atomic<float> yAngle{0.0f};        // degrees in [0, 360)
    std::atomic<int> zAngle{0};             // degrees in [0, 360)
    std::atomic<float> scale{1.6f};         // uniform zoom factor
    std::atomic<int> blackView{0};          // 1: the 2D board is turned for Black
    std::atomic<int> editAction{0};         // 0 none, 1 remove, 5..16 add a piece
};

// The one Settings record of the process.
inline Settings& GetSettings() {
    static Settings settings;
    return settings;
}

}  // namespace tarvex
