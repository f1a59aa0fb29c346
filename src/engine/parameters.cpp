// The evaluation's four parameter sets, built at compile time from the named tables below.
//
// Units: 10000 = one pawn. A value's sign follows how its term uses it: where the term
// subtracts the slot (a penalty such as a doubled pawn, a king-zone attack or an officer with
// no safe square), the value here is a positive penalty.
//
// Square tables are written as chess diagrams seen from White's side: the first row is rank 8,
// the last rank 1, files a..h from left to right. DiagramAt() reads one in the evaluation's
// square order (8 x file + rank); Black reads the same table at square xor 7.
//
// Where a value differs by stage it is given either side by side (opening, middlegame, endgame,
// no pawns) or as one row with a per-stage percentage. Slots that a stage never reads (the
// early-queen penalty outside the opening, the shelter patterns in the endgame, ...) keep the
// values of the stages that do read them.
#include "engine/parameters.h"

#include <cstddef>

namespace tarvex::engine {
namespace {

using Diagram = std::array<int32_t, 64>;            // rank 8 first, files a..h
using PerStage = std::array<int32_t, kStageCount>;  // opening, middlegame, endgame, no pawns
template <std::size_t N>
using Row = std::array<int32_t, N>;

constexpr int32_t Percent(int32_t value, int32_t percent) {
    return value * percent / 100;
}

// The value of a diagram for square 8 x file + rank.
constexpr int32_t DiagramAt(const Diagram& diagram, int square) {
    return diagram[(7 - square % 8) * 8 + square / 8];
}

// ---------------------------------------------------------------------------------------------
// Single values, side by side by stage.

struct Scalar {
    int slot;
    PerStage value;
};

// clang-format off
constexpr Scalar kScalars[] = {
    //                                   opening  middle  endgame  no pawns
    {slot::kBishopPair,                  { 2000,   2295,   1912,   2000}},
    {slot::kCastled,                     { 2919,    355,   3000,   3000}},
    {slot::kKnightOutpost,               { 1500,   1500,   1000,    500}},
    {slot::kBishopOutpost,               {  800,    800,    500,    300}},
    {slot::kKnightOutpostSupported,      { 1000,   1000,    700,    300}},
    {slot::kBishopOutpostSupported,      {  500,    500,    300,    200}},
    {slot::kRookDefended,                {  800,    800,    500,    300}},
    {slot::kRooksOnSeventh,              { 2000,   2500,   3000,   1000}},
    // Taken from the side ahead: opposite bishops draw more often the fewer pieces remain.
    {slot::kOppositeBishops,             { 1000,   2000,   4000,   4000}},
    {slot::kEarlyQueen,                  { 1097,   1000,   1000,   1000}},  // penalty
    {slot::kKnightBlocked,               { 1500,   1000,    300,      0}},  // penalty
    {slot::kLowMobility,                 { 1500,   1500,   1000,   1000}},  // penalty
    {slot::kContempt,                    {-1000,  -1000,   -998,   -999}},
    {slot::kDrawishBalance,              {-3000,  -2998,  -2985,  -3000}},
    {slot::kPawnlessAhead,               {10000,  10000,  10000,  10000}},
    {slot::kPawnlessCornerStep,          {10000,  10000,  10000,  10000}},
    {slot::kThreatWin,                   { 4000,   4000,   4000,   3000}},
    {slot::kThreatLose,                  { 1500,   1500,   1500,   1000}},  // penalty
    // Penalties per zone file without pawns; with no pawns at all every file is open alike.
    {slot::kOpenFileNoQueen,             {  500,    500,    300,      0}},
    {slot::kOpenFileQueen,               { 1500,   1500,    800,      0}},
    {slot::kPawnUndefended,              {  300,    300,    400,    400}},  // penalty
    {slot::kPawnBeside,                  {  300,    400,    500,    500}},
    {slot::kUnstoppable,                 {30000,  30000,  30000,  30000}},
    {slot::kDoubled,                     { 1500,   1500,   2000,   2000}},  // penalty
    {slot::kBackward,                    {  800,    800,   1000,   1000}},  // penalty
    {slot::kPasserBlocked,               { 1000,   1200,   2000,   2000}},  // penalty
    {slot::kKingByPasser,                {  500,    800,   2000,   2000}},
    {slot::kEnemyRookBehindPasser,       { 1000,   1200,   2000,   2000}},  // penalty
    {slot::kOwnRookBehindPasser,         { 1000,   1200,   2000,   2000}},
    {slot::kCentrePawnBlockedD,          { 2000,   1500,    300,      0}},  // penalty
    {slot::kCentrePawnBlockedE,          { 2000,   1500,    300,      0}},  // penalty
    {slot::kEnemyKingAhead,              { 1000,   1500,   3000,   3000}},  // penalty
    {slot::kIsolated,                    { 1200,   1200,   1500,   1500}},  // penalty
    {slot::kBackwardOpenFile,            {  800,   1000,    600,    600}},  // penalty
};
// clang-format on

// ---------------------------------------------------------------------------------------------
// King terms.

// kKingOffRankOpening, kKingOffRankMiddlegame: penalties by the king's distance d in ranks from
// its back rank while the enemy queen is on (d = 0 is not read).
constexpr Row<8> kKingOffRankOpening = {0, 3000, 5996, 9000, 12000, 15000, 18000, 21000};
constexpr int32_t KingOffRankMiddlegame(int d) {
    return d == 0 ? 0 : 2000 * d - 500;
}

// kKingDistancePawnless: penalty by the Chebyshev distance between the kings, for a side that
// is not behind: it brings its king up to help mate.
constexpr Row<8> kKingDistancePawnless = {0, 0, 1000, 2000, 3000, 4000, 5000, 6000};

// kKingCentre: p[53 + file] + p[53 + rank]; steps from the edge towards the centre times a
// per-stage unit. Nothing in the opening; the pawnless stage reads it times 10 for the side that
// is behind, hence its small unit.
constexpr Row<8> kCentreSteps = {0, 3, 5, 6, 6, 5, 3, 0};
constexpr PerStage kKingCentreUnit = {0, 150, 400, 40};

// kKingZone*: penalties by the number of enemy officers bearing on the 3x3 zone around the king
// (a rook among them counts one more). The engine's own king is guarded a fifth more carefully.
constexpr Row<8> kKingZoneNoQueen = {0, 300, 900, 1800, 3000, 4000, 5000, 6000};
constexpr Row<8> kKingZoneQueen = {0, 500, 1500, 3500, 6500, 9500, 12500, 15000};
constexpr int32_t kOwnKingZonePercent = 120;
constexpr PerStage kKingZonePercent = {100, 100, 60, 40};

// kShelter: own pawns before a castled king (positive): f2, g2, h2, h3+g2, g3+h2, f3+g2 on the
// king's side; a2, b2, c2, a3+b2, b3+a2, c3+b2 on the queen's side.
constexpr Row<12> kShelter = {1000, 2000, 1500, 1000, 1000, 500, 1200, 2000, 1500, 1000, 1000, 500};

// ---------------------------------------------------------------------------------------------
// Officers.

// kNoSafeSquare: penalty by relative rank; a piece trapped deep in enemy ground is lost sooner.
constexpr Row<8> kNoSafeSquare = {500, 600, 800, 1000, 1500, 2000, 2500, 3000};
constexpr PerStage kNoSafeSquarePercent = {100, 100, 80, 80};

// kBishopAims: by how many of the enemy king, queen and rooks stand on the bishop's lines.
constexpr Row<5> kBishopAims = {0, 500, 1000, 1400, 1700};
constexpr PerStage kBishopAimsPercent = {100, 100, 60, 60};

// kRookSquares: the seventh rank is the rook's best; central files a little better elsewhere.
// clang-format off
constexpr Diagram kRookDiagram = {
    //  a     b     c     d     e     f     g     h
      500,  500,  500,  500,  500,  500,  500,  500,  // 8
     1993, 1993, 1993, 1993, 1993, 1993, 1993, 1993,  // 7
      200,  300,  400,  500,  500,  400,  300,  200,  // 6
        0,  100,  200,  300,  300,  200,  100,    0,  // 5
        0,  100,  200,  300,  300,  200,  100,    0,  // 4
        0,  100,  200,  300,  300,  200,  100,    0,  // 3
        0,  100,  200,  300,  300,  200,  100,    0,  // 2
        0,  200,  300,  500,  500,  300,  200,    0,  // 1
};
// clang-format on
constexpr PerStage kRookPercent = {100, 100, 80, 30};

// kKnightSquares: a knight on the rim is dim; best in the centre and on the fifth and sixth.
// clang-format off
constexpr Diagram kKnightDiagram = {
    //   a      b     c     d     e     f      g      h
    -2000, -1200, -800, -600, -600, -800, -1200, -2000,  // 8
    -1200,  -400,    0,  200,  200,    0,  -400, -1200,  // 7
     -800,     0,  600,  800,  800,  600,     0,  -800,  // 6
     -600,   200,  800, 1000, 1000,  800,   200,  -600,  // 5
     -600,   100,  700,  900,  900,  700,   100,  -600,  // 4
     -800,     0,  400,  600,  600,  400,     0,  -800,  // 3
    -1200,  -400,    0,  200,  200,    0,  -400, -1200,  // 2
    -2000, -1200, -800, -600, -600, -800, -1200, -2000,  // 1
};
// clang-format on
constexpr PerStage kKnightPercent = {100, 100, 80, 60};

// kAttackMobility, kSafeMobility: table[relative rank x 10 + count], count capped at 9. Each
// extra square is worth a little less than the one before (kMobilityCurve); a piece further up
// the board gains a little (the attack tables half as much as the safe ones). The queen's
// mobility is worth little in the opening, so that it is not brought out early; the king's only
// counts once the endgame comes. The pawnless stage skips mobility and keeps the endgame values.
constexpr Row<10> kMobilityCurve = {0, 4, 7, 10, 12, 14, 16, 17, 18, 19};

struct MobilityWeight {
    int32_t attack;  // per curve step, attack tables
    int32_t safe;    // per curve step, safe tables
    int32_t rank;    // per relative rank, safe tables (half in the attack tables)
};

// clang-format off
constexpr MobilityWeight kMobility[5][kStageCount] = {
    //        opening        middlegame        endgame          no pawns
    /* N */ {{60, 200, 40}, {60, 200, 40}, {40, 150, 20}, {40, 150, 20}},
    /* B */ {{60, 200, 30}, {60, 200, 30}, {50, 180, 20}, {50, 180, 20}},
    /* R */ {{30, 100, 30}, {40, 150, 30}, {50, 200, 20}, {50, 200, 20}},
    /* Q */ {{10,  40,  0}, {20,  80, 20}, {30, 100, 10}, {30, 100, 10}},
    /* K */ {{ 0,   0,  0}, { 0,  20,  0}, {50, 150, 50}, {50, 150, 50}},
};
// clang-format on

constexpr int32_t AttackMobility(const MobilityWeight& w, int rank, int count) {
    return w.attack * kMobilityCurve[count] + w.rank / 2 * rank;
}
constexpr int32_t SafeMobility(const MobilityWeight& w, int rank, int count) {
    return w.safe * kMobilityCurve[count] + w.rank * rank;
}

// ---------------------------------------------------------------------------------------------
// Square control.

// kControlSquares: per square a side controls; the centre most, the enemy's half more than one's
// own (space).
// clang-format off
constexpr Diagram kControlDiagram = {
    // a    b    c    d    e    f    g    h
     100, 100, 150, 150, 150, 150, 100, 100,  // 8
     150, 200, 200, 250, 250, 200, 200, 150,  // 7
     150, 200, 300, 350, 350, 300, 200, 150,  // 6
     150, 250, 350, 450, 450, 350, 250, 150,  // 5
     150, 250, 350, 450, 450, 350, 250, 150,  // 4
     100, 200, 250, 300, 300, 250, 200, 100,  // 3
     100, 150, 150, 200, 200, 150, 150, 100,  // 2
     100, 100, 100, 100, 100, 100, 100, 100,  // 1
};
// clang-format on
constexpr PerStage kControlPercent = {100, 100, 80, 60};

// kKingSideControl: extra control values with queens on and the own king castled on the king's
// side: the squares before the own king (its shelter) and the enemy's king's side, where an
// attack on a king castled the same way lands. kQueenSideControl is its mirror image by file.
// clang-format off
constexpr Diagram kKingSideDiagram = {
    // a  b  c   d    e    f    g    h
       0, 0, 0,  0,  50, 100, 150, 100,  // 8
       0, 0, 0,  0, 100, 200, 250, 200,  // 7
       0, 0, 0,  0, 100, 150, 200, 150,  // 6
       0, 0, 0,  0,  50, 100, 100, 100,  // 5
       0, 0, 0,  0,  50, 100, 100, 100,  // 4
       0, 0, 0, 50, 100, 200, 200, 200,  // 3
       0, 0, 0, 50, 100, 250, 250, 250,  // 2
       0, 0, 0,  0,  50, 100, 150, 100,  // 1
};
// clang-format on
constexpr PerStage kKingSidePercent = {100, 100, 60, 40};

// kOverloaded: penalty for a defender that must hold `count` (2..16) even squares.
constexpr int32_t Overloaded(int count) {
    return count >= 7 ? 6000 : 1000 * (count - 1);
}
constexpr PerStage kOverloadedPercent = {100, 100, 80, 60};

// kAttackedOfficers: bonus by the number of attacks of one's officers on enemy pieces, rising
// ever more slowly.
constexpr int32_t AttackedOfficers(int n) {
    return 6000 * n / (n + 6);
}
constexpr PerStage kAttackedPercent = {100, 100, 80, 60};

// kTradePieces: bonus for the side ahead by more than 8000, larger the fewer pieces it keeps.
constexpr int32_t TradePieces(int pieces) {
    return pieces < 16 ? 250 * (16 - pieces) : 0;
}

// kKeepPawns: penalty for the side ahead by more than 8000, by its pawns: without pawns a
// material lead often does not win.
constexpr Row<6> kKeepPawns = {6000, 3500, 2000, 1000, 500, 200};  // 0..5 pawns, then 0
constexpr PerStage kKeepPawnsPercent = {100, 100, 100, 50};

// ---------------------------------------------------------------------------------------------
// Pawns.

// kPawnSquares: in the opening and middlegame the centre pawns are to advance, and the d- and
// e-pawns should leave home; in the endgame every advance counts. Ranks 1 and 8 hold no pawn of
// the 2D game. The pawnless stage keeps the endgame table.
// clang-format off
constexpr Diagram kPawnMiddleDiagram = {
    //  a     b     c     d     e     f     g     h
        0,    0,    0,    0,    0,    0,    0,    0,  // 8
     1500, 1500, 1800, 2000, 2000, 1800, 1500, 1500,  // 7
      800,  800, 1000, 1300, 1300, 1000,  800,  800,  // 6
      300,  400,  600,  900,  900,  600,  400,  300,  // 5
        0,  100,  400,  800,  800,  400,  100,    0,  // 4
        0,  100,  200,  300,  300,  200,  100,    0,  // 3
        0,    0,    0, -200, -200,    0,    0,    0,  // 2
        0,    0,    0,    0,    0,    0,    0,    0,  // 1
};
constexpr Diagram kPawnEndDiagram = {
    //  a     b     c     d     e     f     g     h
        0,    0,    0,    0,    0,    0,    0,    0,  // 8
     2000, 2000, 2000, 2000, 2000, 2000, 2000, 2000,  // 7
     1200, 1200, 1200, 1200, 1200, 1200, 1200, 1200,  // 6
      600,  700,  700,  700,  700,  700,  700,  600,  // 5
      300,  400,  400,  400,  400,  400,  400,  300,  // 4
      100,  150,  150,  150,  150,  150,  150,  100,  // 3
        0,    0,    0,    0,    0,    0,    0,    0,  // 2
        0,    0,    0,    0,    0,    0,    0,    0,  // 1
};
// clang-format on

// Passed-pawn terms rise as the pawn advances (index d = distance to promotion) and weigh more
// once the pieces come off. d = 0 and d = 7 occur only on 3D squares whose row is not the true
// rank; there the slot at d = 0 of kPassedConnected and kOpenPawn is also d = 7 of the range
// before it, so it holds a small value that suits both.
constexpr PerStage kPasserPercent = {100, 110, 125, 125};
constexpr Row<7> kPassed = {15957, 15957, 10994, 5910, 2957, 1977, 874};  // d = 5: the floor
constexpr Row<7> kPassedConnected = {500, 5000, 3500, 2000, 1200, 800, 500};
constexpr Row<7> kOpenPawn = {300, 1000, 700, 500, 300, 200, 100};
constexpr PerStage kOpenPawnPercent = {100, 100, 120, 120};

// kFreePath: the whole free path of a passer d squares from promotion is worth
// kFreePathWhole[d], shared equally among its squares.
constexpr Row<7> kFreePathWhole = {0, 4000, 3000, 2400, 1600, 1000, 600};

// kBackwardAttacked: penalty by the number of enemy officers attacking a backward pawn.
constexpr int32_t BackwardAttacked(int n) {
    return n * 700 < 4000 ? n * 700 : 4000;
}

// ---------------------------------------------------------------------------------------------
// Assembly.

template <std::size_t N>
constexpr void Put(ParameterSet& p, int first, const Row<N>& row, int32_t percent = 100) {
    for (std::size_t i = 0; i < N; ++i) p[first + i] = Percent(row[i], percent);
}

constexpr void PutDiagram(ParameterSet& p, int first, const Diagram& diagram, int32_t percent) {
    for (int square = 0; square < 64; ++square) {
        p[first + square] = Percent(DiagramAt(diagram, square), percent);
    }
}

constexpr ParameterSet BuildSet(int stage) {
    ParameterSet p{};
    for (const Scalar& scalar : kScalars) p[scalar.slot] = scalar.value[stage];

    // Kings.
    Put(p, slot::kKingOffRankOpening, kKingOffRankOpening);
    for (int d = 0; d < 8; ++d) p[slot::kKingOffRankMiddlegame + d] = KingOffRankMiddlegame(d);
    Put(p, slot::kKingDistancePawnless, kKingDistancePawnless);
    for (int i = 0; i < 8; ++i) p[slot::kKingCentre + i] = kCentreSteps[i] * kKingCentreUnit[stage];
    const int32_t zone = kKingZonePercent[stage];
    Put(p, slot::kKingZoneOwnNoQueen, kKingZoneNoQueen, zone * kOwnKingZonePercent / 100);
    Put(p, slot::kKingZoneOtherNoQueen, kKingZoneNoQueen, zone);
    Put(p, slot::kKingZoneOwnQueen, kKingZoneQueen, zone * kOwnKingZonePercent / 100);
    Put(p, slot::kKingZoneOtherQueen, kKingZoneQueen, zone);
    Put(p, slot::kShelter, kShelter);

    // Officers.
    Put(p, slot::kNoSafeSquare, kNoSafeSquare, kNoSafeSquarePercent[stage]);
    Put(p, slot::kBishopAims, kBishopAims, kBishopAimsPercent[stage]);
    PutDiagram(p, slot::kRookSquares, kRookDiagram, kRookPercent[stage]);
    PutDiagram(p, slot::kKnightSquares, kKnightDiagram, kKnightPercent[stage]);
    for (int type = 0; type < 5; ++type) {
        const MobilityWeight& w = kMobility[type][stage];
        for (int rank = 0; rank < 8; ++rank) {
            for (int count = 0; count < 10; ++count) {
                const int at = type * slot::kMobilityTable + rank * 10 + count;
                p[slot::kAttackMobility + at] = AttackMobility(w, rank, count);
                p[slot::kSafeMobility + at] = SafeMobility(w, rank, count);
            }
        }
    }

    // Square control, threats and material balance.
    PutDiagram(p, slot::kControlSquares, kControlDiagram, kControlPercent[stage]);
    PutDiagram(p, slot::kKingSideControl, kKingSideDiagram, kKingSidePercent[stage]);
    for (int square = 0; square < 64; ++square) {  // the mirror image: file f becomes 7 - f
        p[slot::kQueenSideControl + square] = p[slot::kKingSideControl + (square ^ 56)];
    }
    for (int count = 2; count <= 16; ++count) {
        p[slot::kOverloaded + count] = Percent(Overloaded(count), kOverloadedPercent[stage]);
    }
    for (int n = 0; n < 16; ++n) {
        p[slot::kAttackedOfficers + n] = Percent(AttackedOfficers(n), kAttackedPercent[stage]);
    }
    for (int n = 0; n < 32; ++n) p[slot::kTradePieces + n] = TradePieces(n);
    Put(p, slot::kKeepPawns, kKeepPawns, kKeepPawnsPercent[stage]);

    // Pawns.
    PutDiagram(p, slot::kPawnSquares, stage < kStageEndgame ? kPawnMiddleDiagram : kPawnEndDiagram,
               100);
    const int32_t passer = kPasserPercent[stage];
    Put(p, slot::kPassed, kPassed, passer);
    Put(p, slot::kPassedConnected, kPassedConnected, passer);
    Put(p, slot::kOpenPawn, kOpenPawn, kOpenPawnPercent[stage]);
    for (int rank = 1; rank <= 6; ++rank) {  // rank 6 (the seventh) has one square ahead
        const int d = 7 - rank;
        for (int k = 0; k < d; ++k) {
            p[slot::kFreePath + kFreePathStart[rank] + k] = Percent(kFreePathWhole[d] / d, passer);
        }
    }
    for (int n = 0; n < 16; ++n) p[slot::kBackwardAttacked + n] = BackwardAttacked(n);
    return p;
}

constexpr ParameterSets kSets = {BuildSet(0), BuildSet(1), BuildSet(2), BuildSet(3)};

// The fixed rows, which the rest of the engine and its tests rely on, checked at compile time.
constexpr bool TellingRowsHold() {
    constexpr Scalar kPerStage[] = {
        {slot::kBishopPair, {2000, 2295, 1912, 2000}},
        {slot::kCastled, {2919, 355, 3000, 3000}},
        {slot::kEarlyQueen, {1097, 1000, 1000, 1000}},
        {slot::kContempt, {-1000, -1000, -998, -999}},
        {slot::kDrawishBalance, {-3000, -2998, -2985, -3000}},
        {slot::kPawnlessAhead, {10000, 10000, 10000, 10000}},
        {slot::kPawnlessCornerStep, {10000, 10000, 10000, 10000}},
        {slot::kUnstoppable, {30000, 30000, 30000, 30000}},
    };
    for (const Scalar& row : kPerStage) {
        for (int stage = 0; stage < kStageCount; ++stage) {
            if (kSets[stage][row.slot] != row.value[stage]) return false;
        }
    }
    const ParameterSet& opening = kSets[kStageOpening];
    constexpr Row<8> kOffRank = {0, 3000, 5996, 9000, 12000, 15000, 18000, 21000};
    constexpr Row<8> kDistance = {0, 0, 1000, 2000, 3000, 4000, 5000, 6000};
    constexpr Row<6> kPassers = {15957, 10994, 5910, 2957, 1977, 874};
    for (int i = 0; i < 8; ++i) {
        if (opening[slot::kKingOffRankOpening + i] != kOffRank[i]) return false;
        if (opening[slot::kKingDistancePawnless + i] != kDistance[i]) return false;
        const int rook = slot::kRookSquares + 8 * i;  // file i
        if (opening[rook + 6] != 1993 || opening[rook + 7] < 400 || opening[rook + 7] > 600) {
            return false;
        }
    }
    for (int d = 1; d <= 6; ++d) {
        if (opening[slot::kPassed + d] != kPassers[d - 1]) return false;
    }
    return true;
}
static_assert(TellingRowsHold());

}  // namespace

const ParameterBook& BuiltInParameters() {
    static const ParameterBook book{kSets, kSets};
    return book;
}

}  // namespace tarvex::engine
