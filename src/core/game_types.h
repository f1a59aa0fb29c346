// The values that name a game and its choices: the game kind, the 3D rule set, the 3D notation
// and the difficulty. Constants only: a Position carries its own game kind and rules, and the
// user's current choices live in the Settings record.
#pragma once

namespace tarvex {

inline constexpr int kGame2D = 2;
inline constexpr int kGame3D = 3;

inline constexpr int kRulesTournament = 0;
inline constexpr int kRulesStandard = 1;

inline constexpr int kNotationTournament = 0;
inline constexpr int kNotationStandard = 1;
inline constexpr int kNotationAlgebraic = 2;

// The difficulty is the engine's maximum search depth.
inline constexpr int kDifficultyEasy = 4;
inline constexpr int kDifficultyMedium = 8;
inline constexpr int kDifficultyHard = 50;

}  // namespace tarvex
