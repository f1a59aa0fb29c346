// The incremental update of a pending 2D child: the line repairs around the two squares a move
// touches, the batteries behind the repaired sliders, and the pawn files marked for the
// evaluation. Every child is also compared with a full regeneration.
#include <gtest/gtest.h>

#include <vector>

#include "core/settings.h"
#include "moves/attack_generation.h"
#include "moves/make_move.h"
#include "moves/piece_ops.h"
#include "moves/position_checks.h"
#include "moves/test_positions.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

using Squares = std::vector<unsigned>;

constexpr unsigned Sq(char file, int rank) {
    return static_cast<unsigned>(file - 'a') * 8 + rank - 1;
}

// Makes a move that stays pending after DoMove and completes it incrementally.
void MakeIncrementally(Position& child, const Position& parent, Move move) {
    ASSERT_EQ(DoMove(child, parent, move), 1);
    ASSERT_NE(child.flags & kAttacksPending, 0u) << "the move was completed at once";
    ASSERT_EQ(FinishMove(child, move), 1);
    ASSERT_EQ(child.parent, &parent);
    ASSERT_EQ(CompletedPositionProblem(child), "") << MoveText(move) << "\n" << BoardText(parent);
}

TEST(UpdateMoves, RookLeavingAQueenBatteryExtendsTheQueensAttacks) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kQueen, Sq('a', 1)},
                              {kRook, Sq('a', 3)},
                              {-kPawn, Sq('a', 7)},
                              {kKing, Sq('h', 1)},
                              {-kKing, Sq('h', 8)}}));
    ASSERT_EQ(Xrayed(p, Sq('a', 1)), (Squares{3, 4, 5, 6}));
    ASSERT_NO_FATAL_FAILURE(
        MakeIncrementally(child, p, MakeMoveRecord(kRook, Sq('a', 3), Sq('a', 5), '-')));
    const Squares queenFile = {1, 2, 3, 4, 5, 6, 7};
    Squares attacked;
    for (unsigned q : Attacked(child, Sq('a', 1))) {
        if (q >= 1 && q <= 7) attacked.push_back(q);
    }
    EXPECT_EQ(attacked, (Squares{1, 2, 3, 4}));             // up to and including the rook
    EXPECT_EQ(Xrayed(child, Sq('a', 1)), (Squares{5, 6}));  // beyond it, as before
}

TEST(UpdateMoves, BishopLeavingADiagonalOpensItForTheEnemyBishop) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p,
                          {{-kBishop, Sq('a', 8)},
                           {kBishop, Sq('d', 5)},
                           {kPawn, Sq('g', 2)},
                           {kKing, Sq('a', 1)},
                           {-kKing, Sq('h', 8)}},
                          {.ply = 0}));
    ASSERT_NO_FATAL_FAILURE(
        MakeIncrementally(child, p, MakeMoveRecord(kBishop, Sq('d', 5), Sq('e', 6), '-')));
    EXPECT_EQ(Attacked(child, Sq('a', 8)),
              (Squares{Sq('b', 7), Sq('c', 6), Sq('d', 5), Sq('e', 4), Sq('f', 3), Sq('g', 2)}));
}

// A slider that attacks the moving rook's neighbour along one line while it x-rays the rook's
// square along another is no battery of that neighbour: Black's queen on c3 attacks b4 along
// a diagonal and x-rays c5 along the file.
TEST(UpdateMoves, SliderOnAnotherLineIsNoBattery) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p,
                          {{-kQueen, Sq('c', 3)},
                           {-kRook, Sq('c', 4)},
                           {-kRook, Sq('c', 5)},
                           {kQueen, Sq('b', 4)},
                           {kKing, Sq('h', 1)},
                           {-kKing, Sq('h', 8)}},
                          {.ply = 1}));
    ASSERT_NO_FATAL_FAILURE(
        MakeIncrementally(child, p, MakeMoveRecord(-kRook, Sq('c', 5), Sq('c', 7), '-')));
    EXPECT_EQ(Xrayed(child, Sq('c', 3)), (Squares{Sq('c', 5), Sq('c', 6), Sq('c', 7), Sq('c', 8)}));
}

// A queen promoted in a pawn slot is as much part of a battery as one in the queen's slot:
// rook a2, queen b2 (pawn slot), rook f2 and a bishop on g2 that leaves the rank.
TEST(UpdateMoves, PromotedQueenCarriesTheXrayOfTheRookBehindIt) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kRook, Sq('a', 2)},
                              {kPawn, Sq('b', 2)},
                              {kRook, Sq('f', 2)},
                              {kBishop, Sq('g', 2)},
                              {kQueen, Sq('d', 1)},
                              {kKing, Sq('e', 1)},
                              {-kKing, Sq('e', 8)}}));
    const int pawnSlot = p.squareSlot[Sq('b', 2)];
    PromotePiece(p, pawnSlot, kQueen);
    ASSERT_EQ(p.squareSlot[Sq('b', 2)], pawnSlot);
    ASSERT_EQ(RegenToPieces(p), 1);
    ASSERT_NO_FATAL_FAILURE(
        MakeIncrementally(child, p, MakeMoveRecord(kBishop, Sq('g', 2), Sq('d', 5), '-')));
    EXPECT_EQ(Xrayed(child, Sq('a', 2)),
              (Squares{Sq('c', 2), Sq('d', 2), Sq('e', 2), Sq('f', 2), Sq('g', 2), Sq('h', 2)}));
}

// Three deep: bishop a1 behind queen b2 behind bishop c3; the knight in front leaves.
TEST(UpdateMoves, DeepBatteryXraysOnceTheLineOpens) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kBishop, Sq('a', 1)},
                              {kQueen, Sq('b', 2)},
                              {kBishop, Sq('c', 3)},
                              {kKnight, Sq('d', 4)},
                              {kKing, Sq('h', 1)},
                              {-kKing, Sq('a', 8)}}));
    ASSERT_NO_FATAL_FAILURE(
        MakeIncrementally(child, p, MakeMoveRecord(kKnight, Sq('d', 4), Sq('f', 5), '-')));
    EXPECT_EQ(Xrayed(child, Sq('a', 1)),
              (Squares{Sq('c', 3), Sq('d', 4), Sq('e', 5), Sq('f', 6), Sq('g', 7), Sq('h', 8)}));
}

uint32_t SlotsOn(const Position& p, std::initializer_list<unsigned> squares) {
    uint32_t bits = 0;
    for (unsigned q : squares) bits |= 1u << p.squareSlot[q];
    return bits;
}

TEST(UpdateMoves, PawnCaptureMarksThePawnsOfTheNeighbouringFiles) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kPawn, Sq('a', 2)},
                              {kPawn, Sq('b', 2)},
                              {kPawn, Sq('c', 4)},
                              {kPawn, Sq('e', 2)},
                              {kPawn, Sq('f', 2)},
                              {kPawn, Sq('h', 2)},
                              {-kPawn, Sq('d', 5)},
                              {-kPawn, Sq('e', 7)},
                              {-kPawn, Sq('a', 7)},
                              {-kPawn, Sq('g', 7)},
                              {kKing, Sq('h', 1)},
                              {-kKing, Sq('h', 8)}}));
    p.dirtySlots = 0;  // as the evaluation leaves them
    ASSERT_NO_FATAL_FAILURE(
        MakeIncrementally(child, p, MakeMoveRecord(kPawn, Sq('c', 4), Sq('d', 5), 'x')));
    // Files b to e: the capturing pawn itself, b2, e2 and e7.
    EXPECT_EQ(child.dirtySlots, SlotsOn(child, {Sq('d', 5), Sq('b', 2), Sq('e', 2), Sq('e', 7)}));
}

TEST(UpdateMoves, KnightTakingAPawnOnTheAFileMarksFilesAAndB) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kKnight, Sq('c', 4)},
                              {-kPawn, Sq('a', 5)},
                              {kPawn, Sq('a', 2)},
                              {kPawn, Sq('b', 2)},
                              {kPawn, Sq('c', 2)},
                              {-kPawn, Sq('b', 7)},
                              {-kPawn, Sq('c', 7)},
                              {kKing, Sq('h', 1)},
                              {-kKing, Sq('h', 8)}}));
    p.dirtySlots = 0;
    ASSERT_NO_FATAL_FAILURE(
        MakeIncrementally(child, p, MakeMoveRecord(kKnight, Sq('c', 4), Sq('a', 5), 'x')));
    EXPECT_EQ(child.dirtySlots, SlotsOn(child, {Sq('a', 5), Sq('a', 2), Sq('b', 2), Sq('b', 7)}));
}

}  // namespace
}  // namespace tarvex
