// The incremental update of a pending 2D child: the line repairs around the two squares a move
// touches, the batteries behind the repaired sliders, and the pawn files marked for the
// evaluation. Every child is also compared with a full regeneration.
#include <gtest/gtest.h>

#include <vector>

#include "rules/attack_generation.h"
#include "rules/make_move.h"
#include "rules/piece_ops.h"
#include "rules/position_checks.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

// Makes a move that stays pending after DoMove and completes it incrementally.
void MakeIncrementally(Position& child, const Position& parent, Move move) {
    ASSERT_TRUE(DoMove(child, parent, move, {}));
    ASSERT_NE(child.flags & kAttacksPending, 0u) << "the move was completed at once";
    ASSERT_TRUE(FinishMove(child, move));
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
        uint32_t ply;
        const char* promote;  // a pawn made a queen in its own slot before the move
        Move move;
        const char* from;  // whose masks are checked afterwards
        const char* attacks;
        const char* xrays;
        const char* dirty;  // the pawns whose files the evaluation must look at again
    };
    const Case cases[] = {
        {"a rook leaving a queen battery: the queen attacks up to the rook, x-rays beyond",
         "Qa1 Ra3 pa7 Kh1 kh8", 0, nullptr, M(kRook, "a3", "a5"), "a1",
         "a2 a3 a4 a5 b1 b2 c1 c3 d1 d4 e1 e5 f1 f6 g1 g7 h1 h8", "a6 a7", nullptr},
        {"a bishop leaving a diagonal opens it for the enemy bishop", "ba8 Bd5 Pg2 Ka1 kh8", 0,
         nullptr, M(kBishop, "d5", "e6"), "a8", "b7 c6 d5 e4 f3 g2", nullptr, nullptr},
        // Black's queen on c3 attacks b4 along a diagonal and x-rays c5 along the file: it is
        // no battery of the moving rook's neighbour.
        {"a slider on another line is no battery", "qc3 rc4 rc5 Qb4 Kh1 kh8", 1, nullptr,
         M(-kRook, "c5", "c7"), "c3", nullptr, "c5 c6 c7 c8", nullptr},
        {"a queen promoted in a pawn slot carries the x-ray of the rook behind it",
         "Ra2 Pb2 Rf2 Bg2 Qd1 Ke1 ke8", 0, "b2", M(kBishop, "g2", "d5"), "a2", nullptr,
         "c2 d2 e2 f2 g2 h2", nullptr},
        {"three deep: bishop, queen, bishop, and the knight in front leaves",
         "Ba1 Qb2 Bc3 Nd4 Kh1 ka8", 0, nullptr, M(kKnight, "d4", "f5"), "a1", nullptr,
         "c3 d4 e5 f6 g7 h8", nullptr},
        {"a pawn capture marks the pawns of files b to e",
         "Pa2 Pb2 Pc4 Pe2 Pf2 Ph2 pd5 pe7 pa7 pg7 Kh1 kh8", 0, nullptr,
         M(kPawn, "c4", "d5", MoveKind::kCapture), nullptr, nullptr, nullptr, "d5 b2 e2 e7"},
        {"a knight taking a pawn on the a-file marks files a and b",
         "Nc4 pa5 Pa2 Pb2 Pc2 pb7 pc7 Kh1 kh8", 0, nullptr,
         M(kKnight, "c4", "a5", MoveKind::kCapture), nullptr, nullptr, nullptr, "a5 a2 b2 b7"},
    };
    for (const Case& c : cases) {
        Position p, child;
        ASSERT_TRUE(BuildFrom(p, c.pieces, {.ply = c.ply})) << c.what;
        if (c.promote != nullptr) {
            const int pawnSlot = p.squareSlot[Sq(c.promote)];
            PromotePiece(p, pawnSlot, kQueen);
            ASSERT_EQ(p.squareSlot[Sq(c.promote)], pawnSlot);
            ASSERT_TRUE(RegenerateAttacks(p));
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
