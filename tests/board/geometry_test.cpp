#include "board/geometry.h"

#include <gtest/gtest.h>

#include <climits>

#include "board/attack_boards.h"
#include "board/position.h"
#include "board/reference_geometry.h"
#include "board/settings_scope.h"

namespace tarvex {
namespace {

namespace ref = reference;

constexpr uint32_t kHomePins[4] = {kPinQ1, kPinQ6, kPinK1, kPinK6};

Position WithPins(const uint32_t pins[4]) {
    Position position{};
    for (int i = 0; i < kBoardCount; ++i) position.abPin[i] = pins[i];
    return position;
}

// Pins with board at pin and the other boards on the first free pins.
ref::Placement PlacementWith(int board, unsigned pin) {
    ref::Placement placement{};
    placement[board] = pin;
    int next = 0;
    for (int other = 0; other < kBoardCount; ++other) {
        if (other == board) continue;
        while (ref::kPinTable[next].square == pin) ++next;
        placement[other] = ref::kPinTable[next++].square;
    }
    return placement;
}

TEST(GeometryIndexTest, ColumnRowParityLettersAndOffBoardSquares) {
    for (unsigned square = 0; square < 64; ++square) {
        EXPECT_EQ(Column(square), square / 8);
        EXPECT_EQ(Row(square), square % 8);
        EXPECT_EQ(SquareParity(square), (square / 8 + square % 8) % 2) << square;  // a1 dark
        EXPECT_FALSE(OffBoard(square));
    }
    for (int i = 0; i < 8; ++i) EXPECT_EQ(FileLetter(i), 'a' + i);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(RankLetter2D(i), '1' + i);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(RankLetter3D(i), '0' + i);
    for (unsigned square : {64u, 65u, 200u, kNoSquare, UINT_MAX}) {
        EXPECT_TRUE(OffBoard(square)) << square;
        EXPECT_FALSE(IsMainLevelSquare3D(square)) << square;
        EXPECT_FALSE(IsAttackBoardSquare(square)) << square;
        const Place3D place = SquarePlace3D(kHomePins, square);
        EXPECT_EQ((ref::Place{place.file, place.rank, place.level}), ref::Place{}) << square;
    }
}

TEST(Geometry2DTest, EverySquareHasLevelZeroAndCentredCoords) {
    GameKindScope game(kGame2D);
    const Position position{};
    for (unsigned square = 0; square < 64; ++square) {
        EXPECT_EQ(SquareLevel(position, square), 0) << square;
        const Coords c = SquareCoords(position, Column(square), Row(square));
        EXPECT_EQ(c.x, static_cast<float>(Column(square)) - 4) << square;
        EXPECT_EQ(c.y, static_cast<float>(Row(square)) - 4) << square;
        EXPECT_EQ(c.z, 0.0f) << square;
    }
}

TEST(Geometry3DTest, IndexClassesFollowTheReference) {
    for (unsigned square = 0; square < 64; ++square) {
        EXPECT_NE(IsMainLevelSquare3D(square), IsAttackBoardSquare(square)) << square;
        EXPECT_EQ(IsMainLevelSquare3D(square), ref::IsMainLevel(square)) << square;
        EXPECT_EQ(IsAttackBoardSquare(square) ? AttackBoardOfSquare(square) : -1,
                  ref::BoardHolding(square))
            << square;
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

TEST(Geometry3DTest, PlaceOfEverySquareUnderEveryPlacement) {
    for (const ref::Placement& placement : ref::AllPlacements()) {
        for (unsigned square = 0; square < 64; ++square) {
            const Place3D got = SquarePlace3D(placement.data(), square);
            const ref::Place want = ref::PlaceOf(placement.data(), square);
            ASSERT_EQ((ref::Place{got.file, got.rank, got.level}), want)
                << ref::NameOf(placement) << " square " << square;
        }
    }
}

// x = file - 3, y = rank - 5, z = level - 4 for every square, each board at each pin.
TEST(Geometry3DTest, CoordsAndLevelFollowFileRankAndLevel) {
    GameKindScope game(kGame3D);
    for (int board = 0; board < kBoardCount; ++board) {
        for (const ref::Pin& pin : ref::kPinTable) {
            const ref::Placement pins = PlacementWith(board, pin.square);
            const Position position = WithPins(pins.data());
            for (unsigned square = 0; square < 64; ++square) {
                const ref::Place place = ref::PlaceOf(pins.data(), square);
                const Coords c = SquareCoords(position, Column(square), Row(square));
                EXPECT_EQ(c.x, static_cast<float>(place.file - 3)) << pin.name << " " << square;
                EXPECT_EQ(c.y, static_cast<float>(place.rank - 5)) << pin.name << " " << square;
                EXPECT_EQ(c.z, static_cast<float>(place.level - 4)) << pin.name << " " << square;
                EXPECT_EQ(SquareLevel(position, square), place.level) << pin.name << " " << square;
            }
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
