#include "board/geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "board/attack_boards.h"
#include "board/position.h"
#include "board/reference_geometry.h"

namespace tarvex {
namespace {

namespace ref = reference;

constexpr uint32_t kHomePins[4] = {kPinQ1, kPinQ6, kPinK1, kPinK6};

Position WithPins(const uint32_t pins[4]) {
    Position position{};
    position.gameKind = kGame3D;
    std::copy_n(pins, kBoardCount, position.abPin);
    return position;
}

// The index classes of every square, and off-board squares in none of them and at no place.
TEST(Geometry3DTest, IndexClassesFollowTheReference) {
    for (unsigned square = 0; square < 64; ++square) {
        EXPECT_NE(IsMainLevelSquare3D(square), IsAttackBoardSquare(square)) << square;
        EXPECT_EQ(IsMainLevelSquare3D(square), ref::IsMainLevel(square)) << square;
        EXPECT_EQ(IsAttackBoardSquare(square) ? AttackBoardOfSquare(square) : -1,
                  ref::BoardHolding(square))
            << square;
    }
    for (unsigned square : {64u, 65u, 200u, UINT_MAX}) {
        EXPECT_TRUE(OffBoard(square) && !IsMainLevelSquare3D(square) &&
                    !IsAttackBoardSquare(square));
        EXPECT_EQ(SquarePlace3D(kHomePins, square).level, -1) << square;
    }
}

// A few squares by hand, so that the reference and the code cannot share a mistake.
TEST(Geometry3DTest, NamedSquares) {
    const uint32_t moved[4] = {kPinQ3, kPinQ6, kPinK1, kPinK6};
    const struct {
        const uint32_t* pins;
        unsigned square;
        ref::Place place;
    } cases[] = {
        {kHomePins, 29, {4, 6, kNeutralLevel}},  // e6
        {kHomePins, 28, {4, 5, kNeutralLevel}},  // e5
        {kHomePins, 32, {1, 1, kWhiteLevel}},    // b1
        {kHomePins, 31, {5, 9, 7}},              // the outer file's far rank on board 122
        {kHomePins, 9, {1, 1, 3}},               // b1 on board 100 at q1
        {moved, 9, {1, 3, 5}},                   // the same square with board 100 at q3
    };
    for (const auto& c : cases) {
        const Place3D got = SquarePlace3D(c.pins, c.square);
        EXPECT_EQ((ref::Place{got.file, got.rank, got.level}), c.place) << c.square;
    }
}

// File, rank and level of every square under every placement, and the drawing coordinates
// x = file - 3, y = rank - 5, z = level - 4 that follow from them.
TEST(Geometry3DTest, PlaceCoordsAndLevelOfEverySquareUnderEveryPlacement) {
    for (const ref::Placement& placement : ref::AllPlacements()) {
        const Position position = WithPins(placement.data());
        for (unsigned square = 0; square < 64; ++square) {
            const Place3D got = SquarePlace3D(placement.data(), square);
            const ref::Place want = ref::PlaceOf(placement.data(), square);
            const Coords c = SquareCoords(position, Column(square), Row(square));
            ASSERT_EQ((ref::Place{got.file, got.rank, got.level}), want)
                << ref::NameOf(placement) << " square " << square;
            ASSERT_EQ((ref::Place{static_cast<int>(c.x) + 3, static_cast<int>(c.y) + 5,
                                  static_cast<int>(c.z) + 4}),
                      want);
            ASSERT_EQ(SquareLevel(position, square), want.level);
        }
    }
}

TEST(Geometry3DTest, BoardAtNoPinHasNoPlace) {
    const uint32_t pins[4] = {kPinQ1, kPinQ6, kPinK1, 0};
    const Place3D place = SquarePlace3D(pins, 22);
    EXPECT_EQ((ref::Place{place.file, place.rank, place.level}), ref::Place{});
    EXPECT_EQ(SquarePlace3D(pins, 0).level, 3);
}

}  // namespace
}  // namespace tarvex
