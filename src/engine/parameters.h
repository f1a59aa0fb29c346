// The evaluation's weights: for each game (2D, and 3D under either rule set) four parameter sets,
// one per game stage (0 opening, 1 middlegame, 2 endgame, 3 no pawns left), each of 1468 values
// in units of 1/10000 pawn. The slot map below names every range; the evaluation reads the set of
// the position's game and stage from the book of the evaluator it runs for (each engine owns its
// book; by default a copy of the built-in one).
#pragma once

#include <array>
#include <cstdint>

#include "core/game_types.h"

namespace tarvex::engine {

inline constexpr int kStageCount = 4;
inline constexpr int kStageOpening = 0, kStageMiddlegame = 1, kStageEndgame = 2, kStagePawnless = 3;
inline constexpr int kParameterCount = 1468;

using ParameterSet = std::array<int32_t, kParameterCount>;
using ParameterSets = std::array<ParameterSet, kStageCount>;  // by stage

// The sets of both games: the 2D game and the 3D game (both 3D rule sets share the 3D sets).
struct ParameterBook {
    ParameterSets game2d;
    ParameterSets game3d;

    // kGame2D or kGame3D; anything else (a zeroed record) counts as 2D, as positions do.
    const ParameterSets& For(int gameKind) const { return gameKind == kGame3D ? game3d : game2d; }
    ParameterSets& For(int gameKind) { return gameKind == kGame3D ? game3d : game2d; }

    bool operator==(const ParameterBook&) const = default;
};

// The built-in book, which engines and evaluators copy when given no other.
const ParameterBook& BuiltInParameters();

// The slot map: the first slot of each named value or range. The terms subtract the slots marked
// "penalty", so a positive value there is a penalty. Slots 1181..1187 and 1345 are not read.
namespace slot {
inline constexpr int kBishopPair = 0;
inline constexpr int kCastled = 1;  // bonus when castled, penalty when both rights were lost
inline constexpr int kKnightOutpost = 2;
inline constexpr int kBishopOutpost = 3;
inline constexpr int kKnightOutpostSupported = 4;  // extra when a pawn defends the outpost
inline constexpr int kBishopOutpostSupported = 5;
inline constexpr int kRookDefended = 6;            // by the other rook
inline constexpr int kRooksOnSeventh = 7;          // extra when both stand on the seventh rank
inline constexpr int kOppositeBishops = 8;         // taken from the side ahead by more than 5000
inline constexpr int kEarlyQueen = 9;              // penalty, opening stage
inline constexpr int kKingOffRankOpening = 10;     // 8, penalty: by ranks from the back rank
inline constexpr int kKingOffRankMiddlegame = 18;  // 8, penalty
inline constexpr int kKingDistancePawnless = 26;   // 8, penalty: Chebyshev king distance
inline constexpr int kNoSafeSquare = 34;           // 8, penalty: by relative rank
inline constexpr int kKnightBlocked = 42;          // penalty: b1 behind c3, g1 behind f3
inline constexpr int kLowMobility = 43;            // penalty
inline constexpr int kContempt = 44;               // base of the draw score
inline constexpr int kDrawishBalance = 45;
inline constexpr int kPawnlessAhead = 46;
inline constexpr int kPawnlessCornerStep = 47;
inline constexpr int kBishopAims = 48;         // 5: by the enemy king, queen and rooks on its lines
inline constexpr int kKingCentre = 53;         // 8: added by file and by rank
inline constexpr int kRookSquares = 61;        // 64
inline constexpr int kKnightSquares = 125;     // 64
inline constexpr int kControlSquares = 189;    // 64
inline constexpr int kKingSideControl = 253;   // 64: queens on, own king near home, king side
inline constexpr int kQueenSideControl = 317;  // 64: the same on the queen's side
inline constexpr int kAttackMobility = 381;    // 5 x 80: knight, bishop, rook, queen, king
inline constexpr int kSafeMobility = 781;      // 5 x 80: the same shape
inline constexpr int kMobilityTable = 80;      // 8 relative ranks x 10 counts (0..9)
inline constexpr int kThreatWin = 1188;        // the side to move can win material
inline constexpr int kThreatLose = 1189;       // penalty: the opponent threatens to win material
inline constexpr int kOverloaded = 1188;       // penalty: + count (2..16) of squares held
inline constexpr int kKingZoneOwnNoQueen = 1205;    // 8, penalty: by attacker count
inline constexpr int kKingZoneOtherNoQueen = 1213;  // 8, penalty
inline constexpr int kKingZoneOwnQueen = 1221;      // 8, penalty
inline constexpr int kKingZoneOtherQueen = 1229;    // 8, penalty
inline constexpr int kOpenFileNoQueen = 1237;   // penalty: per file of the king zone without pawns
inline constexpr int kOpenFileQueen = 1238;     // penalty
inline constexpr int kTradePieces = 1239;       // 32: ahead by more than 8000, by piece count
inline constexpr int kAttackedOfficers = 1271;  // 16: by number of attacking officers
inline constexpr int kKeepPawns = 1287;       // 32, penalty: ahead by more than 8000, by pawn count
inline constexpr int kPawnUndefended = 1319;  // penalty
inline constexpr int kPawnBeside = 1320;
inline constexpr int kFreePath = 1321;  // 21: indexed from the start index of the pawn's rank
inline constexpr int kUnstoppable = 1342;
inline constexpr int kDoubled = 1343;        // penalty
inline constexpr int kBackward = 1344;       // penalty
inline constexpr int kPasserBlocked = 1346;  // penalty
inline constexpr int kKingByPasser = 1347;
inline constexpr int kEnemyRookBehindPasser = 1348;  // penalty
inline constexpr int kOwnRookBehindPasser = 1349;
inline constexpr int kCentrePawnBlockedD = 1350;  // penalty
inline constexpr int kCentrePawnBlockedE = 1351;  // penalty
inline constexpr int kPassed = 1352;              // + distance to promotion (1..6)
inline constexpr int kPassedFloor = 1357;         // floor for a passed pawn within 3 ranks
inline constexpr int kPassedConnected = 1359;     // + distance
inline constexpr int kOpenPawn = 1366;            // + distance: no enemy pawn ahead, not backward
inline constexpr int kEnemyKingAhead = 1373;      // penalty
inline constexpr int kPawnSquares = 1374;         // 64
inline constexpr int kShelter = 1438;             // 12 patterns
inline constexpr int kIsolated = 1450;            // penalty
inline constexpr int kBackwardOpenFile = 1451;    // penalty
inline constexpr int kBackwardAttacked = 1452;    // 16, penalty: by enemy officers attacking it
}  // namespace slot

// The last entries of the counted ranges: a larger count reads the last entry.
inline constexpr int kMaxBishopAims = 4;         // kBishopAims: 5 entries
inline constexpr int kMaxZoneAttackers = 7;      // the king-zone tables: 8 entries
inline constexpr int kMaxMobilityCount = 9;      // a kMobilityTable row: counts 0..9
inline constexpr int kMaxAttackedOfficers = 15;  // kAttackedOfficers, kBackwardAttacked: 16
inline constexpr int kMaxOverloaded = 16;        // kOverloaded + 2..16

// Material leads the evaluation reads.
inline constexpr int kMaterialClamp = 300000;      // the balance is clamped to +-this
inline constexpr int kOppositeBishopsLead = 5000;  // opposite bishops take from a larger lead
inline constexpr int kPawnlessLead = 10000;        // a pawnless lead that drives the king

// Small constant tables of the evaluation.
inline constexpr int kFreePathStart[8] = {0, 0, 6, 11, 15, 18, 20, 0};  // by pawn rank
inline constexpr int kMinimumMobility[7] = {0, 0, 6, 5, 4, 6, 0};       // by piece kind
// Distance of each square (8 x file + rank) from the corner a lone king is driven to.
inline constexpr int8_t kCornerDistance[64] = {
    0, 1, 2, 3, 4, 5, 6, 7, 1, 1, 2, 3, 4, 5, 6, 6, 2, 2, 2, 3, 4, 5, 5, 5, 3, 3, 3, 3, 4, 4, 4, 4,
    4, 4, 4, 4, 3, 3, 3, 3, 5, 5, 5, 4, 3, 2, 2, 2, 6, 6, 5, 4, 3, 2, 1, 1, 7, 6, 5, 4, 3, 2, 1, 0};

}  // namespace tarvex::engine
