// Attack masks, x-rays, promotion candidates and attack-board owners as the full regeneration
// builds them, in both games and under both 3D rule sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "board/attack_boards.h"
#include "core/console.h"
#include "core/settings.h"
#include "moves/attack_generation.h"
#include "moves/initial_position.h"
#include "moves/make_move.h"
#include "moves/test_positions.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

using Squares = std::vector<unsigned>;

// Squares of a list that also appear in the given set.
Squares Among(const Squares& squares, const Squares& set) {
    Squares out;
    for (unsigned q : squares) {
        if (std::find(set.begin(), set.end(), q) != set.end()) out.push_back(q);
    }
    return out;
}

// 2D squares: a1 = 0, a8 = 7, h1 = 56.
constexpr unsigned Sq(char file, int rank) {
    return static_cast<unsigned>(file - 'a') * 8 + rank - 1;
}

TEST(AttackMasks2D, InitialPositionHasNoXraysAndE3IsHeldByTwoPawns) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_EQ(SetUpInitialPosition(p), 1);
    EXPECT_EQ(p.attacks[Sq('e', 3)], (1u << 11) | (1u << 13));  // the pawns of d2 and f2
    for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.xrays[q], 0u) << q;
}

TEST(AttackMasks2D, RookBehindQueenXraysTheRestOfTheFile) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(
        p, {{kRook, Sq('a', 1)}, {kQueen, Sq('a', 4)}, {kKing, Sq('h', 1)}, {-kKing, Sq('h', 8)}}));
    const Squares file = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(Among(Attacked(p, Sq('a', 1)), file), (Squares{1, 2, 3}));
    EXPECT_EQ(Xrayed(p, Sq('a', 1)), (Squares{4, 5, 6, 7}));
}

TEST(AttackMasks2D, XrayStopsAfterTheFirstPieceThatCannotBeSeenThrough) {
    GameKindScope kind(kGame2D);
    for (int stopper : {kKnight, -kKnight, -kRook}) {
        Position p;
        ASSERT_TRUE(BuildFrom(p, {{kRook, Sq('a', 1)},
                                  {kQueen, Sq('a', 3)},
                                  {stopper, Sq('a', 5)},
                                  {kKing, Sq('h', 1)},
                                  {-kKing, Sq('h', 8)}}));
        // The knight or the enemy piece still gets the x-ray bit; nothing after it does.
        EXPECT_EQ(Xrayed(p, Sq('a', 1)), (Squares{3, 4})) << stopper;
    }
    Position p;
    ASSERT_TRUE(BuildFrom(
        p,
        {{kRook, Sq('a', 1)}, {kKnight, Sq('a', 3)}, {kKing, Sq('h', 1)}, {-kKing, Sq('h', 8)}}));
    EXPECT_TRUE(Xrayed(p, Sq('a', 1)).empty());
    // A rook does not move along a diagonal, so a bishop sees nothing through it.
    ASSERT_TRUE(BuildFrom(
        p,
        {{kBishop, Sq('a', 1)}, {kRook, Sq('b', 2)}, {kKing, Sq('h', 1)}, {-kKing, Sq('a', 8)}}));
    EXPECT_TRUE(Xrayed(p, Sq('a', 1)).empty());
    EXPECT_EQ(Attacked(p, Sq('a', 1)), (Squares{Sq('b', 2)}));
}

TEST(AttackMasks2D, RookBesideQueenXraysUpToAndIncludingTheFirstPiece) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, {{kRook, Sq('a', 1)},
                              {kQueen, Sq('a', 2)},
                              {-kPawn, Sq('a', 6)},
                              {kKing, Sq('h', 1)},
                              {-kKing, Sq('h', 8)}}));
    EXPECT_EQ(Xrayed(p, Sq('a', 1)), (Squares{2, 3, 4, 5}));
}

TEST(AttackMasks2D, KingAndKnightInCornersMarkOnlySquaresThatExist) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, {{kKing, Sq('a', 1)}, {-kKnight, Sq('h', 8)}, {-kKing, Sq('h', 1)}}));
    EXPECT_EQ(Attacked(p, Sq('a', 1)), (Squares{Sq('a', 2), Sq('b', 1), Sq('b', 2)}));
    EXPECT_EQ(Attacked(p, Sq('h', 8)), (Squares{Sq('f', 7), Sq('g', 6)}));
}

TEST(AttackMasks2D, PromotionCandidatesAreOneRankFromTheEnd) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, {{kPawn, Sq('a', 7)},
                              {kPawn, Sq('b', 6)},
                              {-kPawn, Sq('c', 2)},
                              {-kPawn, Sq('d', 3)},
                              {kKing, Sq('h', 1)},
                              {-kKing, Sq('h', 8)}}));
    auto candidate = [&](unsigned square) {
        return (p.promoMask >> p.squareSlot[square] & 1) != 0;
    };
    EXPECT_TRUE(candidate(Sq('a', 7)));
    EXPECT_FALSE(candidate(Sq('b', 6)));
    EXPECT_TRUE(candidate(Sq('c', 2)));
    EXPECT_FALSE(candidate(Sq('d', 3)));
}

// 3D: White level c1..c4 = 40..43, neutral level c3..c6 = 10..13, Black level c5..c8 = 44..47.
// No attack board ever covers file c.
TEST(AttackMasks3D, RookOnC2WithAPieceOnC4UnderBothRules) {
    const Squares fileCAhead = {42, 43, 10, 11, 12, 13, 44, 45, 46, 47};
    struct Case {
        int rules;
        Squares expected;
    };
    const Case cases[] = {{kRulesTournament, {42, 43, 10, 11}},
                          {kRulesStandard, {42, 43, 10, 11, 12, 13, 44, 45, 46, 47}}};
    for (const Case& c : cases) {
        GameKindScope kind(kGame3D, c.rules);
        Position p;
        ASSERT_TRUE(BuildFrom(p, {{kRook, 41}, {-kPawn, 43}, {kKing, 58}, {-kKing, 61}}));
        Squares got = Among(Attacked(p, 41), fileCAhead);
        std::sort(got.begin(), got.end());
        Squares want = c.expected;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "rules " << c.rules;
        for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.xrays[q], 0u);
    }
}

// Square 0 is the rear outer square (a0) of board 100 at q1. Tournament rules let a rook there
// see along file a to the board at q6 across the empty pins, and along rank 0 to the board at
// k1; Standard rules have only the plain steps.
TEST(AttackMasks3D, TournamentEdgeLinesAcrossTheAttackBoards) {
    struct Case {
        int rules;
        Squares expected;
    };
    const Case cases[] = {{kRulesTournament, {1, 6, 8, 16, 24}}, {kRulesStandard, {1, 8}}};
    for (const Case& c : cases) {
        GameKindScope kind(kGame3D, c.rules);
        Position p;
        ASSERT_TRUE(
            BuildFrom(p, {{kRook, 0}, {-kPawn, 6}, {-kKnight, 24}, {kKing, 58}, {-kKing, 61}}));
        EXPECT_EQ(Attacked(p, 0), c.expected) << "rules " << c.rules;
    }
}

TEST(AttackMasks3D, PromotionCandidatesFollowTheBoardsAndLevels) {
    GameKindScope kind(kGame3D);
    Position p;
    // 6: lower rank (a8) of board 106 at q6; 1: upper rank (a1) of board 100 at q1; 46: the
    // Black level's c7, one step from c8; 38: b7, whose next step b8 still has b9 above it on
    // the board at q6.
    ASSERT_TRUE(BuildFrom(p, {{kPawn, 6},
                              {-kPawn, 1},
                              {kPawn, 46},
                              {kPawn, 38},
                              {kPawn, 45},
                              {kKing, 58},
                              {-kKing, 61}}));
    auto candidate = [&](unsigned square) {
        return (p.promoMask >> p.squareSlot[square] & 1) != 0;
    };
    EXPECT_TRUE(candidate(6));
    EXPECT_TRUE(candidate(1));
    EXPECT_TRUE(candidate(46));
    EXPECT_FALSE(candidate(38));
    EXPECT_FALSE(candidate(45));
}

TEST(AttackBoardOwners, ABoardFallsBackToItsDefaultOwnerWhenEmptied) {
    GameKindScope kind(kGame3D);
    Position p;
    // A Black knight alone on board 100 (b1 at q1), Black to move.
    ASSERT_TRUE(BuildFrom(p, {{-kKnight, 9}, {kKing, 58}, {-kKing, 61}}, {.ply = 1}));
    EXPECT_EQ(p.abWhite[0], 0u);
    EXPECT_EQ(p.abWhite[1], 0u);
    EXPECT_EQ(p.abWhite[2], 1u);
    Position child;
    Move move = MakeMoveRecord(-kKnight, 9, 42, '-');
    ASSERT_EQ(MakeMove(child, p, move), 1);
    EXPECT_EQ(child.abWhite[0], 1u);
    // Two pieces of both colours: the owner stays whatever it was.
    ASSERT_TRUE(BuildFrom(p, {{-kKnight, 9}, {kPawn, 1}, {kKing, 58}, {-kKing, 61}}));
    p.abWhite[0] = 0;
    RegenToPieces(p);
    EXPECT_EQ(p.abWhite[0], 0u);
    p.abWhite[0] = 1;
    RegenToPieces(p);
    EXPECT_EQ(p.abWhite[0], 1u);
}

TEST(AttackRegeneration, UnknownPieceCodeIsReportedAndGetsNoAttacks) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, {{kKing, Sq('e', 1)}, {-kKing, Sq('e', 8)}}));
    const Position before = p;
    p.pieces[kSlotQueen] = {7, Sq('d', 4)};
    ConsoleCapture out;
    EXPECT_EQ(RegenToPieces(p), 1);
    EXPECT_EQ(out.Text(), "\nPieceGenerate: unknown pi\n");
    for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.attacks[q], before.attacks[q]) << q;
}

TEST(AttackRegeneration, PieceOffTheBoardFailsTheRegeneration) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, {{kKing, Sq('e', 1)}, {-kKing, Sq('e', 8)}}));
    p.pieces[kSlotKnight1] = {kKnight, 64};
    ConsoleCapture out;
    EXPECT_EQ(RegenToPieces(p), 0);
    EXPECT_EQ(out.Text(), "\nRegenToPieces pi present but pos\n");
}

}  // namespace
}  // namespace tarvex
