#include "board/move.h"

#include <gtest/gtest.h>

#include "board/position.h"

namespace tarvex {
namespace {

TEST(MoveRecordTest, OnlyFromAndToDecideTheNoMove) {
    EXPECT_TRUE(IsNoMove(Move{}));
    Move move = MakeMoveRecord(kQueen, 0, 0, 'x', 1234);
    move.givesCheck = 1;
    EXPECT_TRUE(IsNoMove(move));
    EXPECT_FALSE(IsNoMove(MakeMoveRecord(1, 0, 1, '-')));  // from square 0 is a real move
    EXPECT_FALSE(IsNoMove(MakeMoveRecord(1, 1, 0, '-')));  // and so is a move to square 0
    EXPECT_FALSE(IsNoMove(MakeMoveRecord(100, 0, 32, 'T')));
}

TEST(MoveRecordTest, FillWritesTheSixFieldsAndLeavesTheFillBytes) {
    Move move;
    move.fill[0] = 0xAB;
    move.fill[1] = 0xCD;
    FillMove(move, -5, 39, 7, 77, 'x', 1);
    EXPECT_EQ(move.piece, -5);
    EXPECT_EQ(move.from, 39u);
    EXPECT_EQ(move.to, 7u);
    EXPECT_EQ(move.score, 77);
    EXPECT_EQ(move.kind, 'x');
    EXPECT_EQ(move.givesCheck, 1);
    EXPECT_EQ(move.fill[0], 0xAB);
    EXPECT_EQ(move.fill[1], 0xCD);
}

TEST(MoveComparisonTest, KindAndScoreNeverTakePartThePieceOnlyInSameMove) {
    const Move generated = MakeMoveRecord(2, 8, 18, '-');
    EXPECT_EQ(generated.score, kNoScore);
    EXPECT_EQ(generated.givesCheck, 0);
    const Move a = MakeMoveRecord(1, 12, 13, '-', 10);
    Move b = MakeMoveRecord(1, 12, 13, 'x', -400000);
    b.givesCheck = 1;
    EXPECT_TRUE(SameMove(a, b));
    EXPECT_TRUE(SameSquares(a, b));
    const Move promotion = MakeMoveRecord(1, 14, 15, 'Q');
    EXPECT_TRUE(SameMove(promotion, MakeMoveRecord(1, 14, 15, 'N', 0)));
    const Move pawn = MakeMoveRecord(1, 12, 13, '-');
    const Move rook = MakeMoveRecord(4, 12, 13, '-');
    EXPECT_FALSE(SameMove(pawn, rook));
    EXPECT_TRUE(SameSquares(pawn, rook));
    const Move reversed = MakeMoveRecord(1, 13, 12, '-');
    EXPECT_FALSE(SameMove(pawn, reversed));
    EXPECT_FALSE(SameSquares(pawn, reversed));
    EXPECT_FALSE(SameMove(pawn, MakeMoveRecord(1, 12, 14, '-')));
}

TEST(MoveKindTest, BoardMovesByPieceOnlyAndPromotionKinds) {
    for (int id : {100, 106, 116, 122}) {
        EXPECT_TRUE(IsBoardMove(MakeMoveRecord(id, 32, 35, 'T'))) << id;
        EXPECT_TRUE(IsBoardMove(MakeMoveRecord(id, 32, 35, '-'))) << id;
    }
    for (int piece : {0, 1, 6, -6, 99, 101, 105, 107, 115, 117, 121, 123, 200, -100, -106}) {
        EXPECT_FALSE(IsBoardMove(MakeMoveRecord(piece, 32, 35, 'T'))) << piece;
    }
    for (char kind : {'Q', 'R', 'B', 'N'}) EXPECT_TRUE(IsPromotionKind(kind)) << kind;
    for (char kind : {'P', 'q', '-', 'x', 'e', 'E', 'S', 'L', 'T', 'G', '\0'}) {
        EXPECT_FALSE(IsPromotionKind(kind)) << static_cast<int>(kind);
    }
}

}  // namespace
}  // namespace tarvex
