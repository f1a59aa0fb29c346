// Scores of the engine, in 1/10000 pawn from the point of view of the side to move.
#pragma once

namespace tarvex::engine {

inline constexpr int kScorePawn = 10000;
inline constexpr int kScoreKingTaken = 400000;  // the enemy king can be taken
inline constexpr int kScoreNoValue = 405000;    // no score has been found

// The score of a mate given in the number of plies: a quicker mate scores higher.
int MateScore(int plies);

}  // namespace tarvex::engine
