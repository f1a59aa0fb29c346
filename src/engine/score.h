// Scores of the engine, in 1/10000 pawn from the point of view of the side to move, and the
// mate-distance convention: a score in the mate band moves one step toward 0 each time it is
// returned to the parent, so that a quicker mate scores higher.
#pragma once

namespace tarvex::engine {

inline constexpr int kScorePawn = 10000;
inline constexpr int kScoreKingTaken = 400000;  // the enemy king can be taken: an illegal move
inline constexpr int kScoreNoMove = -400000;    // no legal move found yet
inline constexpr int kScoreNoValue = 405000;    // no score has been found
inline constexpr int kMateBand = 399872;        // |score| above this is a mate in plies

// 400000 - n: a mate in n plies for the side to move.
constexpr int MateIn(int plies) {
    return kScoreKingTaken - plies;
}

constexpr bool IsMateScore(int score) {
    return score > kMateBand || score < -kMateBand;
}

// 399999: a mate on the next ply, the best score short of taking the king.
inline constexpr int kMateNextPly = MateIn(1);

// A value returned to the parent: one step toward 0 in the mate band.
constexpr int StepTowardZero(int value) {
    return value > kMateBand ? value - 1 : value < -kMateBand ? value + 1 : value;
}

// A gamma received from the parent, in the same convention: one step away from 0 in the band.
constexpr int StepGamma(int gamma) {
    if (gamma > kMateBand && gamma < kMateNextPly) return gamma + 1;
    if (gamma < -kMateBand && gamma > -kMateNextPly) return gamma - 1;
    return gamma;
}

}  // namespace tarvex::engine
