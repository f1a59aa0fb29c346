#include "engine/parameter_layout.h"

#include <array>

#include "engine/parameters.h"

namespace tarvex::engine {
namespace {

using enum RangeShape;

constexpr ParameterRange Scalar(std::string_view name, int first, std::string_view about = {}) {
    return {name, first, 1, 1, kLine, about};
}
constexpr ParameterRange Row(std::string_view name, int first, int count,
                             std::string_view about = {}) {
    return {name, first, 1, count, kLine, about};
}
constexpr ParameterRange Diagram(std::string_view name, int first, std::string_view about) {
    return {name, first, 8, 8, kDiagram, about};
}
constexpr ParameterRange Mobility(std::string_view name, int first, std::string_view about = {}) {
    return {name, first, 8, kMaxMobilityCount + 1, kTable, about};
}

constexpr int kUnusedFirst = 1181, kUnusedCount = 7, kUnusedSingle = 1345;
constexpr int kPassedRow = 7;  // distances 0..6 to promotion
constexpr int kMobilityKinds = 5;

// clang-format off
constexpr ParameterRange kRanges[] = {
    Scalar("BishopPair", slot::kBishopPair),
    Scalar("Castled", slot::kCastled, "Bonus when castled, penalty when both castling rights were lost."),
    Scalar("KnightOutpost", slot::kKnightOutpost),
    Scalar("BishopOutpost", slot::kBishopOutpost),
    Scalar("KnightOutpostSupported", slot::kKnightOutpostSupported,
           "Extra when a pawn defends the outpost."),
    Scalar("BishopOutpostSupported", slot::kBishopOutpostSupported),
    Scalar("RookDefended", slot::kRookDefended, "A rook defended by the other rook."),
    Scalar("RooksOnSeventh", slot::kRooksOnSeventh, "Extra when both rooks stand on the seventh."),
    Scalar("OppositeBishops", slot::kOppositeBishops,
           "Taken from the side ahead by more than half a pawn: opposite bishops draw more\n"
           "often the fewer pieces remain."),
    Scalar("EarlyQueen", slot::kEarlyQueen, "Penalty, read in the opening."),
    Row("KingOffRankOpening", slot::kKingOffRankOpening, 8,
        "Penalties by the king's distance in ranks from its back rank while the enemy queen\n"
        "is on (distance 0 is not read)."),
    Row("KingOffRankMiddlegame", slot::kKingOffRankMiddlegame, 8),
    Row("KingDistancePawnless", slot::kKingDistancePawnless, 8,
        "Penalty by the Chebyshev distance between the kings, for a side that is not behind:\n"
        "it brings its king up to help mate."),
    Row("NoSafeSquare", slot::kNoSafeSquare, 8,
        "Penalty for an officer without a safe square, by relative rank: a piece trapped deep\n"
        "in enemy ground is lost sooner."),
    Scalar("KnightBlocked", slot::kKnightBlocked, "Penalty: b1 behind c3, g1 behind f3."),
    Scalar("LowMobility", slot::kLowMobility, "Penalty."),
    Scalar("Contempt", slot::kContempt, "The base of the draw score."),
    Scalar("DrawishBalance", slot::kDrawishBalance),
    Scalar("PawnlessAhead", slot::kPawnlessAhead),
    Scalar("PawnlessCornerStep", slot::kPawnlessCornerStep),
    Row("BishopAims", slot::kBishopAims, kMaxBishopAims + 1,
        "By how many of the enemy king, queen and rooks stand on the bishop's lines."),
    Row("KingCentre", slot::kKingCentre, 8,
        "Read by the king's file plus by its rank: steps from the edge towards the centre.\n"
        "The pawnless stage reads it times 10 for the side that is behind."),
    Diagram("RookSquares", slot::kRookSquares,
            "The seventh rank is the rook's best; central files a little better elsewhere."),
    Diagram("KnightSquares", slot::kKnightSquares,
            "A knight on the rim is dim; best in the centre and on the fifth and sixth."),
    Diagram("ControlSquares", slot::kControlSquares,
            "Per square a side controls: the centre most, the enemy's half more than one's own."),
    Diagram("KingSideControl", slot::kKingSideControl,
            "Extra control values with queens on and the own king castled on the king's side:\n"
            "the squares before the own king and the enemy's king's side, where an attack on a\n"
            "king castled the same way lands."),
    Diagram("QueenSideControl", slot::kQueenSideControl,
            "The same for a king castled on the queen's side."),
    Mobility("AttackMobility knight", slot::kAttackMobility,
             "By relative rank (rank 1 first) and number of squares attacked (0..9, more\n"
             "count as 9): each extra square is worth a little less than the one before, a piece\n"
             "further up gains a little. The queen's mobility is worth little in the opening,\n"
             "so that it is not brought out early; the king's counts once the endgame comes."),
    Mobility("AttackMobility bishop", slot::kAttackMobility + slot::kMobilityTable),
    Mobility("AttackMobility rook", slot::kAttackMobility + 2 * slot::kMobilityTable),
    Mobility("AttackMobility queen", slot::kAttackMobility + 3 * slot::kMobilityTable),
    Mobility("AttackMobility king", slot::kAttackMobility + 4 * slot::kMobilityTable),
    Mobility("SafeMobility knight", slot::kSafeMobility,
             "The same by the squares reached safely."),
    Mobility("SafeMobility bishop", slot::kSafeMobility + slot::kMobilityTable),
    Mobility("SafeMobility rook", slot::kSafeMobility + 2 * slot::kMobilityTable),
    Mobility("SafeMobility queen", slot::kSafeMobility + 3 * slot::kMobilityTable),
    Mobility("SafeMobility king", slot::kSafeMobility + 4 * slot::kMobilityTable),
    Row("Unused1181", kUnusedFirst, kUnusedCount, "Not read; kept as they are."),
    Scalar("ThreatWin", slot::kThreatWin, "The side to move can win material."),
    Scalar("ThreatLose", slot::kThreatLose, "Penalty: the opponent threatens to win material."),
    Row("Overloaded", slot::kOverloaded + 2, kMaxOverloaded - 1,
        "Penalty for a defender that must hold 2..16 squares."),
    Row("KingZoneOwnNoQueen", slot::kKingZoneOwnNoQueen, kMaxZoneAttackers + 1,
        "Penalties by the number of enemy officers bearing on the 3x3 zone around the king (a\n"
        "rook among them counts one more); Own: the engine's own king, Other: its opponent's."),
    Row("KingZoneOtherNoQueen", slot::kKingZoneOtherNoQueen, kMaxZoneAttackers + 1),
    Row("KingZoneOwnQueen", slot::kKingZoneOwnQueen, kMaxZoneAttackers + 1),
    Row("KingZoneOtherQueen", slot::kKingZoneOtherQueen, kMaxZoneAttackers + 1),
    Scalar("OpenFileNoQueen", slot::kOpenFileNoQueen,
           "Penalty per file of the king zone without pawns."),
    Scalar("OpenFileQueen", slot::kOpenFileQueen),
    Row("TradePieces", slot::kTradePieces, 32,
        "Bonus for the side ahead by more than 0.8 pawn, by its piece count: larger the\n"
        "fewer pieces it keeps."),
    Row("AttackedOfficers", slot::kAttackedOfficers, kMaxAttackedOfficers + 1,
        "By the number of attacks of one's officers on enemy pieces."),
    Row("KeepPawns", slot::kKeepPawns, 32,
        "Penalty for the side ahead by more than 0.8 pawn, by its pawn count: without pawns\n"
        "a material lead often does not win."),
    Scalar("PawnUndefended", slot::kPawnUndefended, "Penalty."),
    Scalar("PawnBeside", slot::kPawnBeside),
    Row("FreePath", slot::kFreePath, 21,
        "Per free square ahead of a passer, from the start index of the pawn's rank\n"
        "(ranks 2..7 start at 0, 6, 11, 15, 18, 20)."),
    Scalar("Unstoppable", slot::kUnstoppable),
    Scalar("Doubled", slot::kDoubled, "Penalty."),
    Scalar("Backward", slot::kBackward, "Penalty."),
    Scalar("Unused1345", kUnusedSingle, "Not read."),
    Scalar("PasserBlocked", slot::kPasserBlocked, "Penalty."),
    Scalar("KingByPasser", slot::kKingByPasser),
    Scalar("EnemyRookBehindPasser", slot::kEnemyRookBehindPasser, "Penalty."),
    Scalar("OwnRookBehindPasser", slot::kOwnRookBehindPasser),
    Scalar("CentrePawnBlockedD", slot::kCentrePawnBlockedD, "Penalty."),
    Scalar("CentrePawnBlockedE", slot::kCentrePawnBlockedE, "Penalty."),
    Row("Passed", slot::kPassed, kPassedRow,
        "Passed-pawn terms by distance to promotion 0..6; they weigh more once the pieces come\n"
        "off. Distance 0 occurs only on 3D squares whose row is not the true rank; there the\n"
        "first value of PassedConnected and OpenPawn is also distance 7 of the row before.\n"
        "Passed at distance 5 is the floor of a passer within 3 ranks."),
    Row("PassedConnected", slot::kPassedConnected, kPassedRow),
    Row("OpenPawn", slot::kOpenPawn, kPassedRow, "No enemy pawn ahead, not backward."),
    Scalar("EnemyKingAhead", slot::kEnemyKingAhead, "Penalty."),
    Diagram("PawnSquares", slot::kPawnSquares,
            "In the opening and middlegame the centre pawns are to advance, and the d- and\n"
            "e-pawns should leave home; in the endgame every advance counts."),
    Row("Shelter", slot::kShelter, 12,
        "Own pawns before a castled king: f2, g2, h2, h3+g2, g3+h2, f3+g2 on the king's side;\n"
        "a2, b2, c2, a3+b2, b3+a2, c3+b2 on the queen's side."),
    Scalar("Isolated", slot::kIsolated, "Penalty."),
    Scalar("BackwardOpenFile", slot::kBackwardOpenFile, "Penalty."),
    Row("BackwardAttacked", slot::kBackwardAttacked, kMaxAttackedOfficers + 1,
        "Penalty by the number of enemy officers attacking a backward pawn."),
};
// clang-format on

// Every slot in exactly one range, checked at compile time.
constexpr bool RangesCoverEverySlot() {
    std::array<int, kParameterCount> owners{};
    for (const ParameterRange& range : kRanges) {
        for (int i = 0; i < range.rows * range.columns; ++i) {
            const int at = range.first + i;
            if (at < 0 || at >= kParameterCount) return false;
            ++owners[static_cast<size_t>(at)];
        }
    }
    for (int owner : owners) {
        if (owner != 1) return false;
    }
    return true;
}
static_assert(RangesCoverEverySlot());
static_assert(kMobilityKinds * slot::kMobilityTable == slot::kSafeMobility - slot::kAttackMobility);

// The telling rows: values the rest of the engine and its tests rely on, in both games.
struct Telling {
    int slot;
    std::array<int32_t, kStageCount> value;
};
constexpr Telling kEveryStage[] = {
    {slot::kBishopPair, {2000, 2295, 1912, 2000}},
    {slot::kCastled, {2919, 355, 3000, 3000}},
    {slot::kEarlyQueen, {1097, 1000, 1000, 1000}},
    {slot::kContempt, {-1000, -1000, -998, -999}},
    {slot::kDrawishBalance, {-3000, -2998, -2985, -3000}},
    {slot::kPawnlessAhead, {10000, 10000, 10000, 10000}},
    {slot::kPawnlessCornerStep, {10000, 10000, 10000, 10000}},
    {slot::kUnstoppable, {30000, 30000, 30000, 30000}},
};
constexpr int32_t kOffRankOpening[8] = {0, 3000, 5996, 9000, 12000, 15000, 18000, 21000};
constexpr int32_t kDistancePawnless[8] = {0, 0, 1000, 2000, 3000, 4000, 5000, 6000};
constexpr int32_t kPassers[6] = {15957, 10994, 5910, 2957, 1977, 874};  // distances 1..6
constexpr int32_t kRookSeventh = 1993, kRookEighth = 500;
constexpr int kSeventhRank = 6, kEighthRank = 7;

std::optional<int32_t> FixedInOpening(int at) {
    if (at >= slot::kKingOffRankOpening && at < slot::kKingOffRankOpening + 8) {
        return kOffRankOpening[at - slot::kKingOffRankOpening];
    }
    if (at >= slot::kKingDistancePawnless && at < slot::kKingDistancePawnless + 8) {
        return kDistancePawnless[at - slot::kKingDistancePawnless];
    }
    if (at > slot::kPassed && at < slot::kPassed + kPassedRow) {
        return kPassers[at - slot::kPassed - 1];
    }
    if (at >= slot::kRookSquares && at < slot::kRookSquares + 64) {
        const int rank = (at - slot::kRookSquares) % 8;
        if (rank == kSeventhRank) return kRookSeventh;
        if (rank == kEighthRank) return kRookEighth;
    }
    return std::nullopt;
}

}  // namespace

std::span<const ParameterRange> ParameterRanges() {
    return kRanges;
}

int SlotOfValue(const ParameterRange& range, int index) {
    if (range.shape != kDiagram) return range.first + index;
    const int rank = 7 - index / 8, file = index % 8;  // rank 8 is written first
    return range.first + 8 * file + rank;
}

std::optional<int32_t> FixedValue(int stage, int at) {
    if ((at >= kUnusedFirst && at < kUnusedFirst + kUnusedCount) || at == kUnusedSingle) return 0;
    for (const Telling& row : kEveryStage) {
        if (row.slot == at) return row.value[static_cast<size_t>(stage)];
    }
    if (stage == kStageOpening) return FixedInOpening(at);
    return std::nullopt;
}

}  // namespace tarvex::engine
