// The program's user-chosen settings, view parameters and cross-thread signals.
//
// One record, owned by the process, read by every layer. Each value is an atomic so that the
// engine thread can read what the window thread writes (relaxed ordering is enough: every
// value is a single word that is read afresh at each use).
#pragma once

#include <atomic>

namespace tarvex {

inline constexpr int kGame2D = 2;
inline constexpr int kGame3D = 3;

inline constexpr int kRulesTournament = 0;
inline constexpr int kRulesStandard = 1;

inline constexpr int kNotationTournament = 0;
inline constexpr int kNotationStandard = 1;
inline constexpr int kNotationAlgebraic = 2;

inline constexpr int kDifficultyEasy = 4;
inline constexpr int kDifficultyMedium = 8;
inline constexpr int kDifficultyHard = 50;

inline constexpr int kSpreadOff = 0;
inline constexpr int kSpreadPiece = 1;
inline constexpr int kSpreadTeam = 2;

struct Settings {
    std::atomic<int> gameKind{kGame3D};  // 2 = 2D game, 3 = 3D game
    std::atomic<int> engineSide{-1};     // +1 engine plays White, -1 Black, 0 neither
    std::atomic<int> playsBoth{0};       // 1: the engine plays whichever side is to move
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
inline Settings gSettings;
inline Settings& GetSettings() {
    return gSettings;
}

// Shorthands for the settings that the rules read on every call.
inline int GameKind() {
    return GetSettings().gameKind.load(std::memory_order_relaxed);
}
inline bool Is3D() {
    return GameKind() == kGame3D;
}
inline int Rules() {
    return GetSettings().rules.load(std::memory_order_relaxed);
}
inline bool TournamentRules() {
    return Rules() == kRulesTournament;
}

}  // namespace tarvex
