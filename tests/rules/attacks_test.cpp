// Attack masks and x-rays: the 3D rays across levels under both rule sets, as the full
// regeneration builds them, and the 2D attacks and x-rays as the incremental update of a
// pending child repairs them around the move, with the pawn files marked for the evaluation.
// Every updated child must also equal a full regeneration, so the x-rays expected here are
// those of both.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board/attack_boards.h"
#include "rules/attack_generation.h"
#include "rules/make_move.h"
#include "rules/piece_ops.h"
#include "rules/position_checks.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

using Squares = std::vector<unsigned>;

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
        {"a0 along file a to q6 and along rank 0 to k1", "R0 p6 n24", kRulesTournament, nullptr, 0,
         nullptr, "1 6 8 16 24"},
        {"an enemy piece ends it, attacked", "R1 n6", kRulesTournament, kQ2, 1, "6 7", "6"},
        {"blocked at q2, the line still visits q5", "R1 n6", kRulesTournament, kQ5, 1, "6 7 22 23",
         "6 22 23"},
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

// Makes a move that stays pending after DoMove and completes it incrementally.
void MakeIncrementally(Position& child, const Position& parent, Move move) {
    ASSERT_EQ(DoMove(child, parent, move, {}), 1);
    ASSERT_NE(child.flags & kAttacksPending, 0u) << "the move was completed at once";
    ASSERT_EQ(FinishMove(child, move), 1);
    ASSERT_EQ(child.parent, &parent);
    ASSERT_EQ(CompletedPositionProblem(child), "") << MoveText(move) << "\n" << BoardText(parent);
}

Move M(int piece, const char* from, const char* to, MoveKind kind = MoveKind::kQuiet) {
    return MakeMoveRecord(piece, Sq(from), Sq(to), kind);
}

TEST(UpdateAttacks, RepairsAroundTheMoveBatteriesAndPawnFiles) {
    struct Case {
        const char* what;
        const char* pieces;
        const char* promote;  // a pawn made a queen in its own slot before the move
        Move move;
        const char* from;  // whose masks are checked afterwards
        const char* attacks;
        const char* xrays;
        const char* dirty;  // the pawns whose files the evaluation must look at again
    };
    const Case cases[] = {
        {"a rook leaving a queen battery: the queen attacks up to the rook, x-rays beyond",
         "Qa1 Ra3 pa7 Kh1 kh8", nullptr, M(kRook, "a3", "a5"), "a1",
         "a2 a3 a4 a5 b1 b2 c1 c3 d1 d4 e1 e5 f1 f6 g1 g7 h1 h8", "a6 a7", nullptr},
        {"a queen promoted in a pawn slot carries the x-ray of the rook behind it",
         "Ra2 Pb2 Rf2 Bg2 Qd1 Ke1 ke8", "b2", M(kBishop, "g2", "d5"), "a2", nullptr,
         "c2 d2 e2 f2 g2 h2", nullptr},
        {"a pawn capture marks the pawns of files b to e",
         "Pa2 Pb2 Pc4 Pe2 Pf2 Ph2 pd5 pe7 pa7 pg7 Kh1 kh8", nullptr,
         M(kPawn, "c4", "d5", MoveKind::kCapture), nullptr, nullptr, nullptr, "d5 b2 e2 e7"},
        {"a knight taking a pawn on the a-file marks files a and b",
         "Nc4 pa5 Pa2 Pb2 Pc2 pb7 pc7 Kh1 kh8", nullptr, M(kKnight, "c4", "a5", MoveKind::kCapture),
         nullptr, nullptr, nullptr, "a5 a2 b2 b7"},
    };
    for (const Case& c : cases) {
        Position p, child;
        ASSERT_TRUE(BuildFrom(p, c.pieces)) << c.what;
        if (c.promote != nullptr) {
            const int pawnSlot = p.squareSlot[Sq(c.promote)];
            PromotePiece(p, pawnSlot, kQueen);
            ASSERT_EQ(p.squareSlot[Sq(c.promote)], pawnSlot);
            ASSERT_EQ(RegenerateAttacks(p), 1);
        }
        p.dirtySlots = 0;  // as the evaluation leaves them
        ASSERT_NO_FATAL_FAILURE(MakeIncrementally(child, p, c.move)) << c.what;
        if (c.attacks != nullptr) {
            EXPECT_EQ(Attacked(child, Sq(c.from)), Sqs(c.attacks)) << c.what;
        }
        if (c.xrays != nullptr) {
            EXPECT_EQ(Xrayed(child, Sq(c.from)), Sqs(c.xrays)) << c.what;
        }
        if (c.dirty == nullptr) continue;
        uint32_t slots = 0;
        for (unsigned q : Sqs(c.dirty)) slots |= 1u << child.squareSlot[q];
        EXPECT_EQ(child.dirtySlots, slots) << c.what;
    }
}

}  // namespace
}  // namespace tarvex
