// Attack masks, x-rays, promotion candidates and attack-board owners as the full regeneration
// builds them, in both games and under both 3D rule sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "board/attack_boards.h"
#include "core/console.h"
#include "moves/attack_generation.h"
#include "moves/initial_position.h"
#include "moves/make_move.h"
#include "moves/position_checks.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

using Squares = std::vector<unsigned>;

TEST(AttackMasks2D, InitialPositionHasNoXraysAndE3IsHeldByTwoPawns) {
    const Position p = Initial(kGame2D);
    EXPECT_EQ(p.attacks[Sq("e3")], (1u << 11) | (1u << 13));  // the pawns of d2 and f2
    for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.xrays[q], 0u) << q;
}

// What one piece attacks and x-rays. An x-ray runs through own sliders that move along the
// line and ends with the first other piece, which still gets the bit.
TEST(AttackMasks2D, AttacksAndXraysOfOnePiece) {
    struct Case {
        const char* pieces;
        const char* from;
        const char* attacks;  // nullptr: not checked
        const char* xrays;
    };
    const Case cases[] = {
        {"Ra1 Qa4 Kb1 kh8", "a1", "a2 a3 a4 b1", "a5 a6 a7 a8"},
        {"Ra1 Qa2 pa6 Kh1 kh8", "a1", nullptr, "a3 a4 a5 a6"},
        {"Ra1 Qa3 Na5 Kh1 kh8", "a1", nullptr, "a4 a5"},
        {"Ra1 Qa3 na5 Kh1 kh8", "a1", nullptr, "a4 a5"},
        {"Ra1 Qa3 ra5 Kh1 kh8", "a1", nullptr, "a4 a5"},
        {"Ra1 Na3 Kh1 kh8", "a1", nullptr, ""},
        // A rook does not move along a diagonal, so a bishop sees nothing through it.
        {"Ba1 Rb2 Kh1 ka8", "a1", "b2", ""},
        // King and knight in corners mark only squares that exist.
        {"Ka1 nh8 kh1", "a1", "a2 b1 b2", ""},
        {"Ka1 nh8 kh1", "h8", "f7 g6", ""},
    };
    for (const Case& c : cases) {
        Position p;
        ASSERT_TRUE(BuildFrom(p, c.pieces)) << c.pieces;
        if (c.attacks != nullptr) {
            EXPECT_EQ(Attacked(p, Sq(c.from)), Sqs(c.attacks)) << c.pieces;
        }
        EXPECT_EQ(Xrayed(p, Sq(c.from)), Sqs(c.xrays)) << c.pieces;
    }
}

// 2D: one rank from the end. 3D: 6 is the lower rank (a8) of board 106 at q6, 1 the upper rank
// (a1) of board 100 at q1, 46 the Black level's c7, one step from c8; 38 is b7, whose next
// step b8 still has b9 above it on the board at q6.
TEST(AttackMasks, PromotionCandidatesFollowTheBoardsAndLevels) {
    struct Case {
        int game;
        const char* pieces;
        const char* candidates;
        const char* others;
    };
    const Case cases[] = {{kGame2D, "Pa7 Pb6 pc2 pd3 Kh1 kh8", "a7 c2", "b6 d3"},
                          {kGame3D, "P6 p1 P46 P38 P45 K58 k61", "6 1 46", "38 45"}};
    for (const Case& c : cases) {
        Position p;
        ASSERT_TRUE(BuildFrom(p, c.pieces, {.game = c.game}));
        for (unsigned q : Sqs(c.candidates)) EXPECT_NE(p.promoMask >> p.squareSlot[q] & 1, 0u) << q;
        for (unsigned q : Sqs(c.others)) EXPECT_EQ(p.promoMask >> p.squareSlot[q] & 1, 0u) << q;
    }
}

// 3D: White level c1..c4 = 40..43, neutral level c3..c6 = 10..13, Black level c5..c8 = 44..47.
// No attack board ever covers file c.
TEST(AttackMasks3D, RookOnC2WithAPieceOnC4UnderBothRules) {
    const Squares fileCAhead = {10, 11, 12, 13, 42, 43, 44, 45, 46, 47};
    struct Case {
        int rules;
        Squares expected;
    };
    const Case cases[] = {{kRulesTournament, {10, 11, 42, 43}}, {kRulesStandard, fileCAhead}};
    for (const Case& c : cases) {
        Position p;
        ASSERT_TRUE(BuildFrom(p, "R41 p43 K58 k61", {kGame3D, c.rules}));
        Squares got;
        for (unsigned q : Attacked(p, 41)) {
            if (std::count(fileCAhead.begin(), fileCAhead.end(), q) != 0) got.push_back(q);
        }
        EXPECT_EQ(got, c.expected) << "rules " << c.rules;
        for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.xrays[q], 0u);
    }
}

// Square 0 is the rear outer square (a0) of board 100 at q1. Tournament rules let a rook there
// see along file a to the board at q6 across the empty pins, and along rank 0 to the board at
// k1; Standard rules have only the plain steps.
TEST(AttackMasks3D, TournamentEdgeLinesAcrossTheAttackBoards) {
    for (auto [rules, expected] : {std::pair{kRulesTournament, Squares{1, 6, 8, 16, 24}},
                                   std::pair{kRulesStandard, Squares{1, 8}}}) {
        Position p;
        ASSERT_TRUE(BuildFrom(p, "R0 p6 n24 K58 k61", {kGame3D, rules}));
        EXPECT_EQ(Attacked(p, 0), expected) << "rules " << rules;
    }
}

TEST(AttackRegeneration, UnknownPieceCodeOrPieceOffTheBoardIsReported) {
    Position p;
    ASSERT_TRUE(BuildFrom(p, "Ke1 ke8"));
    const Position before = p;
    p.pieces[kSlotQueen] = {7, Sq("d4")};
    ConsoleCapture out;
    EXPECT_EQ(RegenToPieces(p), 1);
    EXPECT_EQ(out.Text(), "\nPieceGenerate: unknown pi\n");
    for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.attacks[q], before.attacks[q]) << q;
    p = before;
    p.pieces[kSlotKnight1] = {kKnight, 64};
    out.Clear();
    EXPECT_EQ(RegenToPieces(p), 0);
    EXPECT_EQ(out.Text(), "\nRegenToPieces pi present but pos\n");
}

}  // namespace
}  // namespace tarvex
