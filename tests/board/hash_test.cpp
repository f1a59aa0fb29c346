#include "board/hash.h"

#include <gtest/gtest.h>

#include "board/attack_boards.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

// Stray pins in a 2D record count for nothing.
TEST(HashKeyTest, The2DKeysIgnoreThePins) {
    const Position start = Initial(kGame2D);
    Position moved = start;
    moved.abPin[0] = kPinQ3;
    EXPECT_EQ(ComputeHashKey(moved), start.hashKey);
    EXPECT_EQ(ComputeHashKey2(moved), start.hashKey2);
}

}  // namespace
}  // namespace tarvex
