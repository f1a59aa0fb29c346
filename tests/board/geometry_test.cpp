#include "board/geometry.h"

#include <gtest/gtest.h>

#include <climits>

#include "board/attack_boards.h"
#include "board/reference_geometry.h"

namespace tarvex {
namespace {

namespace ref = reference;

constexpr uint32_t kHomePins[4] = {kPinQ1, kPinQ6, kPinK1, kPinK6};

ref::Place PlaceOf(const uint32_t pins[4], unsigned square) {
    const Place3D got = SquarePlace3D(pins, square);
    return {got.file, got.rank, got.level};
}

// A few squares by hand, so that the reference and the code cannot share a mistake; a board at
// no pin and squares off the board have no place.
TEST(Geometry3DTest, NamedSquares) {
    const uint32_t moved[4] = {kPinQ3, kPinQ6, kPinK1, 0};
    EXPECT_EQ(PlaceOf(kHomePins, 29), (ref::Place{4, 6, kNeutralLevel}));  // e6
    EXPECT_EQ(PlaceOf(kHomePins, 32), (ref::Place{1, 1, kWhiteLevel}));    // b1
    EXPECT_EQ(PlaceOf(kHomePins, 31), (ref::Place{5, 9, 7}));  // outer file, far rank, board 122
    EXPECT_EQ(PlaceOf(kHomePins, 9), (ref::Place{1, 1, 3}));   // b1 on board 100 at q1
    EXPECT_EQ(PlaceOf(moved, 9), (ref::Place{1, 3, 5}));       // the same square at q3
    EXPECT_EQ(PlaceOf(moved, 22), ref::Place{});
    for (unsigned square : {64u, 200u, UINT_MAX}) {
        EXPECT_TRUE(OffBoard(square) && !IsMainLevelSquare3D(square) &&
                    !IsAttackBoardSquare(square));
        EXPECT_EQ(PlaceOf(kHomePins, square).level, -1) << square;
    }
}

}  // namespace
}  // namespace tarvex
