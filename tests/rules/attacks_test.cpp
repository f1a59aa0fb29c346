// Attack masks, x-rays, promotion candidates and attack-board owners as the full regeneration
// builds them, in both games and under both 3D rule sets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board/attack_boards.h"
#include "core/console.h"
#include "rules/attack_generation.h"
#include "rules/initial_position.h"
#include "rules/make_move.h"
#include "rules/position_checks.h"
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

// 3D squares: White level c1..c4 = 40..43, neutral c3..c6 = 10..13, Black level c5..c8 =
// 44..47 (no attack board ever covers file c); board 100 at q1 holds a0 = 0, a1 = 1, b0 = 8,
// b1 = 9; board 106 holds 6, 7 (a8, a9 at q6) and 15 (b9); board 116 at k1 holds e0 = 16 and
// f0 = 24, board 122 at k6 holds e9 = 23 and f9 = 31. Of the squares in `among`, the piece on
// `from` attacks exactly `attacked`; the 3D game keeps no x-rays.
TEST(AttackMasks3D, RaysAcrossLevelsAndTournamentEdgeLines) {
    constexpr uint32_t kQ2[4] = {kPinQ1, kPinQ2, kPinK1, kPinK6},
                       kQ5[4] = {kPinQ1, kPinQ2, kPinK1, kPinQ5};
    const char* const fileC = "10 11 12 13 42 43 44 45 46 47";
    struct Case {
        const char* what;
        const char* pieces;
        int rules;
        const uint32_t* pins;  // nullptr: home
        unsigned from;
        const char* among;  // nullptr: every square
        const char* attacked;
    };
    const Case cases[] = {
        {"Tournament: any piece on any level ends the ray", "R41 p43", kRulesTournament, nullptr,
         41, fileC, "10 11 42 43"},
        {"Standard: the other levels stay open", "R41 p43", kRulesStandard, nullptr, 41, fileC,
         fileC},
        {"Standard: the ray ends where only a closed level is empty", "R40 p42 p11", kRulesStandard,
         nullptr, 40, fileC, "10 11 42"},
        {"a0 along file a to q6 and along rank 0 to k1", "R0 p6 n24", kRulesTournament, nullptr, 0,
         nullptr, "1 6 8 16 24"},
        {"no edge lines under Standard rules", "R0 p6 n24", kRulesStandard, nullptr, 0, nullptr,
         "1 8"},
        {"the outer file crosses the vacant q3", "R1", kRulesTournament, kQ2, 1, "6 7", "6 7"},
        {"an enemy piece ends it, attacked", "R1 n6", kRulesTournament, kQ2, 1, "6 7", "6"},
        {"an own piece ends it, unmarked", "R1 N6", kRulesTournament, kQ2, 1, "6 7", ""},
        {"the rear square needs its front square empty", "R0 P1", kRulesTournament, kQ2, 0, "6 7",
         ""},
        {"blocked at q2, the line still visits q5", "R1 n6", kRulesTournament, kQ5, 1, "6 7 22 23",
         "6 22 23"},
        {"from b0 along the rear row", "R8", kRulesTournament, nullptr, 8, "16 24", "16 24"},
        {"from a0 only across an empty b0", "Q0 N8", kRulesTournament, nullptr, 0, "16 24", ""},
        {"the first piece ends the rear row", "Q0 n16", kRulesTournament, nullptr, 0, "16 24",
         "16"},
        {"the front rows join q6 and k6", "Q15", kRulesTournament, nullptr, 15, "23 31", "23 31"},
        {"no front rows under Standard rules", "Q15", kRulesStandard, nullptr, 15, "23 31", ""},
    };
    for (const Case& c : cases) {
        testing::Setup setup{kGame3D, c.rules};
        if (c.pins != nullptr) std::copy_n(c.pins, kBoardCount, setup.pins);
        Position p;
        ASSERT_TRUE(BuildFrom(p, std::string(c.pieces) + " K58 k61", setup)) << c.what;
        Squares got;
        const Squares among = c.among != nullptr ? Sqs(c.among) : Squares{};
        for (unsigned q : Attacked(p, c.from)) {
            if (c.among == nullptr || std::count(among.begin(), among.end(), q) != 0)
                got.push_back(q);
        }
        EXPECT_EQ(got, Sqs(c.attacked)) << c.what;
        for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.xrays[q], 0u) << "no 3D x-rays";
    }
}

TEST(AttackRegeneration, UnknownPieceCodeOrPieceOffTheBoardIsReported) {
    Position p;
    ASSERT_TRUE(BuildFrom(p, "Ke1 ke8"));
    const Position before = p;
    p.pieces[kSlotQueen] = {7, Sq("d4")};
    ConsoleCapture out;
    EXPECT_TRUE(RegenerateAttacks(p));
    EXPECT_EQ(out.Text(), "\nPieceGenerate: unknown pi\n");
    for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.attacks[q], before.attacks[q]) << q;
    p = before;
    p.pieces[kSlotKnight1] = {kKnight, 64};
    out.Clear();
    EXPECT_FALSE(RegenerateAttacks(p));
    EXPECT_EQ(out.Text(), "\nRegenToPieces pi present but pos\n");
}

}  // namespace
}  // namespace tarvex
