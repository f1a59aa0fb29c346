#include "board/position.h"

#include <gtest/gtest.h>

#include <cstring>

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

// A position with something in every part of the record.
Position Sample(const Position* parent, Move* moves) {
    Position p{};
    p.abPin[0] = 35;
    p.abWhite[1] = 1;
    p.hashKey = 0x1234;
    p.board[12] = -kQueen;
    p.squareSlot[12] = 17;
    p.pieces[17] = {-kQueen, 12};
    p.unstoppablePawns[1] = 0x8000;
    p.attacks[63] = 0x10001;
    p.xrays[0] = 4;
    p.moveList = moves;
    p.moveCount = 3;
    p.lastMove = MakeMoveRecord(kPawn, 9, 10, '-');
    p.flags = kWhiteKingSide | kInCheck;
    p.epSquare = 10;
    p.ply = 7;
    p.parent = parent;
    p.incrementalScore = -55;
    return p;
}

TEST(PositionLayoutTest, PrimaryPartEndsAfterTheSquareRulePawns) {
    EXPECT_EQ(offsetof(Position, dirTable), 0u);
    EXPECT_EQ(kPrimaryPartSize,
              offsetof(Position, unstoppablePawns) + sizeof(Position::unstoppablePawns));
    for (size_t offset : kPrimaryOffsets) EXPECT_LT(offset, kPrimaryPartSize);
    for (size_t offset : kDerivedOffsets) EXPECT_GE(offset, kPrimaryPartSize);
}

TEST(PositionCopyTest, PlainCopyDuplicatesEverythingIncludingBorrowedPointers) {
    Position parent{};
    Move moves[3];
    const Position original = Sample(&parent, moves);
    Position copy;
    std::memcpy(&copy, &original, sizeof copy);
    EXPECT_EQ(std::memcmp(&copy, &original, sizeof copy), 0);
    EXPECT_EQ(copy.parent, &parent);
    EXPECT_EQ(copy.moveList, moves);
    EXPECT_EQ(copy.board[12], -kQueen);
    EXPECT_EQ(copy.pieces[17].square, 12u);
    const Position assigned = original;
    EXPECT_EQ(assigned.lastMove.to, 10u);
    EXPECT_EQ(assigned.incrementalScore, -55);
}

TEST(PositionCopyTest, CopyingThePrimaryPartLeavesTheDerivedPartAlone) {
    const Position original = Sample(nullptr, nullptr);
    Position child{};
    child.ply = 8;
    std::memcpy(static_cast<void*>(&child), &original, kPrimaryPartSize);
    EXPECT_EQ(child.abPin[0], 35u);
    EXPECT_EQ(child.hashKey, 0x1234u);
    EXPECT_EQ(child.board[12], -kQueen);
    EXPECT_EQ(child.unstoppablePawns[1], 0x8000u);
    EXPECT_EQ(child.attacks[63], 0u);
    EXPECT_EQ(child.xrays[0], 0u);
    EXPECT_EQ(child.epSquare, 0u);
    EXPECT_EQ(child.ply, 8u);
}

TEST(PositionCopyTest, ClearPositionEmptiesARecord) {
    Position parent{};
    Move moves[1];
    Position p = Sample(&parent, moves);
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
    EXPECT_EQ(kChildFlagsMask, 0xEBFFBE7Fu);
}

}  // namespace
}  // namespace tarvex
