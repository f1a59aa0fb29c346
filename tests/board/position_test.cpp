#include "board/position.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "board/dir_to.h"
#include "board/geometry.h"

namespace tarvex {
namespace {

// Offsets of the fields that make a move copies from the parent, and of those it rebuilds.
constexpr size_t kPrimaryOffsets[] = {
    offsetof(Position, dirTable),
    offsetof(Position, abPin),
    offsetof(Position, abWhite),
    offsetof(Position, hashKey),
    offsetof(Position, hashKey2),
    offsetof(Position, sliderMask),
    offsetof(Position, pieceMask),
    offsetof(Position, board),
    offsetof(Position, squareSlot),
    offsetof(Position, pieces),
    offsetof(Position, squareScore),
    offsetof(Position, slotValue),
    offsetof(Position, stage),
    offsetof(Position, whiteMaterial),
    offsetof(Position, engineScore),
    offsetof(Position, squareControl),
    offsetof(Position, unstoppablePawns),
};
constexpr size_t kDerivedOffsets[] = {
    offsetof(Position, attacks),      offsetof(Position, xrays),
    offsetof(Position, moveList),     offsetof(Position, moveCount),
    offsetof(Position, lastMove),     offsetof(Position, replyMove),
    offsetof(Position, tacticsValue), offsetof(Position, flags),
    offsetof(Position, epSquare),     offsetof(Position, quietPlies),
    offsetof(Position, ply),          offsetof(Position, winner),
    offsetof(Position, parent),       offsetof(Position, incrementalScore),
};

TEST(PositionLayoutTest, PrimaryPartEndsAfterTheSquareRulePawns) {
    EXPECT_EQ(offsetof(Position, dirTable), 0u);
    EXPECT_EQ(kPrimaryPartSize,
              offsetof(Position, unstoppablePawns) + sizeof(Position::unstoppablePawns));
    for (size_t offset : kPrimaryOffsets) EXPECT_LT(offset, kPrimaryPartSize);
    for (size_t offset : kDerivedOffsets) EXPECT_GE(offset, kPrimaryPartSize);
}

TEST(PositionCopyTest, ClearPositionEmptiesARecord) {
    Position parent{};
    Move moves[1];
    const auto table = std::make_unique<DirTable>();
    Position p{};
    p.abPin[0] = 35;
    p.board[12] = -kQueen;
    p.pieces[17] = {-kQueen, 12};
    p.attacks[63] = 0x10001;
    p.moveList = moves;
    p.lastMove = MakeMoveRecord(kPawn, 9, 10, '-');
    p.flags = kWhiteKingSide | kInCheck;
    p.ply = 7;
    p.parent = &parent;
    p.dirTable = table.get();
    ClearPosition(p);
    EXPECT_EQ(p.board[12], 0);
    EXPECT_EQ(p.pieces[17].code, 0);
    EXPECT_EQ(p.abPin[0], 0u);
    EXPECT_EQ(p.attacks[63], 0u);
    EXPECT_EQ(p.moveList, nullptr);
    EXPECT_EQ(p.parent, nullptr);
    EXPECT_EQ(p.dirTable, nullptr);
    EXPECT_TRUE(IsNoMove(p.lastMove));
    EXPECT_EQ(p.flags, 0u);
    EXPECT_EQ(p.ply, 0u);
}

TEST(PositionSideTest, PlyParityGivesTheSideToMove) {
    Position p{};
    EXPECT_TRUE(WhiteToMove(p));
    EXPECT_FALSE(BlackToMove(p));
    EXPECT_EQ(SideSign(p), 1);
    p.ply = 1;
    EXPECT_TRUE(BlackToMove(p));
    EXPECT_EQ(SideSign(p), -1);
    p.ply = 998;
    EXPECT_TRUE(WhiteToMove(p));
}

TEST(PositionSlotTest, SlotOfASquareAndOffBoardSquares) {
    Position p{};
    std::memset(p.squareSlot, kNoSlot, sizeof p.squareSlot);
    p.squareSlot[40] = 3;
    EXPECT_EQ(SlotOn(p, 40), 3);
    EXPECT_EQ(SlotOn(p, 41), kNoSlot);
    EXPECT_EQ(SlotOn(p, 64), kNoSlot);
    EXPECT_EQ(SlotOn(p, kNoSquare), kNoSlot);
    EXPECT_TRUE(IsWhiteSlot(0));
    EXPECT_TRUE(IsWhiteSlot(15));
    EXPECT_FALSE(IsWhiteSlot(16));
    EXPECT_FALSE(IsWhiteSlot(31));
}

TEST(PositionFlagsTest, ChildMaskClearsExactlyTheTransientBits) {
    const uint32_t transient = kInCheck | kMovedOutOfCheck | kEvalValid | kExtended | kTacticsValid;
    EXPECT_EQ(kChildFlagsMask, ~transient);
}

}  // namespace
}  // namespace tarvex
