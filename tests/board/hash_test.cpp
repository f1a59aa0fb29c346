#include "board/hash.h"

#include <gtest/gtest.h>

#include "board/attack_boards.h"
#include "rules/make_move.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

// The keys come from the classic linear congruential generator; its published first values.
TEST(HashGeneratorTest, FirstValuesOfTheSequence) {
    HashGenerator generator;
    for (uint32_t value : {41u, 18467u, 6334u, 26500u, 19169u, 15724u, 11478u, 29358u}) {
        EXPECT_EQ(generator.Next(), value);
    }
}

// The keys of the 2D start never change; stray pins in a 2D record count for nothing.
TEST(HashKeyTest, Initial2DKeysAreUnchanged) {
    const Position start = Initial(kGame2D);
    EXPECT_EQ(start.hashKey, 0x000F33D6u);
    EXPECT_EQ(start.hashKey2, 0x000049E6u);
    Position moved = start;
    moved.abPin[0] = kPinQ3;
    EXPECT_EQ(ComputeHashKey(moved), start.hashKey);
    EXPECT_EQ(ComputeHashKey2(moved), start.hashKey2);
}

// Board 100 (White's) to q3 and back, board 106 (Black's) to q4 and back: every board move
// changes the keys (or the repetition rule would take one placement for another), every child
// keeps its keys equal to a fresh computation, and the round trip gives the start's keys again.
TEST(HashKeyTest, BoardMovesChangeBothKeysAndARoundTripRestoresThem) {
    const Position start = Built("K58 k61", k3DTournament);
    const Move trip[] = {MakeMoveRecord(100, kPinQ1, kPinQ3, MoveKind::kBoardMove),
                         MakeMoveRecord(106, kPinQ6, kPinQ4, MoveKind::kBoardMove),
                         MakeMoveRecord(100, kPinQ3, kPinQ1, MoveKind::kBoardMove),
                         MakeMoveRecord(106, kPinQ4, kPinQ6, MoveKind::kBoardMove)};
    Position records[5] = {start};
    ConsoleCapture quiet;
    for (int i = 0; i < 4; ++i) {
        Move move = trip[i];
        ASSERT_TRUE(MakeMove(records[i + 1], records[i], move)) << i;
        EXPECT_EQ(records[i + 1].hashKey, ComputeHashKey(records[i + 1])) << i;
        EXPECT_EQ(records[i + 1].hashKey2, ComputeHashKey2(records[i + 1])) << i;
        EXPECT_NE(records[i + 1].hashKey2, records[i].hashKey2) << i;
    }
    EXPECT_NE(records[2].hashKey, start.hashKey) << "same side to move, boards elsewhere";
    EXPECT_EQ(records[4].hashKey, start.hashKey);
    EXPECT_EQ(records[4].hashKey2, start.hashKey2);
}

}  // namespace
}  // namespace tarvex
