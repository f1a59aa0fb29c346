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

TEST(GeometryIndexTest, ColumnRowAndParity) {
    EXPECT_EQ(Column(0), 0u);
    EXPECT_EQ(Row(0), 0u);
    EXPECT_EQ(Column(39), 4u);  // e8 in the 2D game
    EXPECT_EQ(Row(39), 7u);
    EXPECT_EQ(Column(63), 7u);
    EXPECT_EQ(Row(63), 7u);
    EXPECT_EQ(SquareParity(0), 0u);   // a1
    EXPECT_EQ(SquareParity(1), 1u);   // a2
    EXPECT_EQ(SquareParity(8), 1u);   // b1
    EXPECT_EQ(SquareParity(63), 0u);  // h8
}

TEST(GeometryIndexTest, SixtyFourAndAboveAreOffTheBoard) {
    EXPECT_FALSE(OffBoard(0));
    EXPECT_FALSE(OffBoard(63));
    EXPECT_TRUE(OffBoard(64));
    EXPECT_TRUE(OffBoard(kNoSquare));
    EXPECT_EQ(kNoSquare, 65u);
    EXPECT_TRUE(OffBoard(UINT_MAX));
    for (unsigned square : {64u, 65u, 200u}) {
        EXPECT_FALSE(IsMainLevelSquare3D(square)) << square;
        EXPECT_FALSE(IsAttackBoardSquare(square)) << square;
        const Place3D place = SquarePlace3D(kHomePins, square);
        EXPECT_EQ(place.file, -1) << square;
        EXPECT_EQ(place.rank, -1) << square;
        EXPECT_EQ(place.level, -1) << square;
    }
}

TEST(GeometryIndexTest, Letters) {
    EXPECT_EQ(FileLetter(0), 'a');
    EXPECT_EQ(FileLetter(5), 'f');
    EXPECT_EQ(FileLetter(7), 'h');
    EXPECT_EQ(RankLetter2D(0), '1');
    EXPECT_EQ(RankLetter2D(7), '8');
    EXPECT_EQ(RankLetter3D(0), '0');
    EXPECT_EQ(RankLetter3D(9), '9');
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

TEST(Geometry3DTest, IndexClassesHoldSixteenSquaresEach) {
    int white = 0, black = 0, neutral = 0, boards = 0;
    for (unsigned square = 0; square < 64; ++square) {
        EXPECT_NE(IsMainLevelSquare3D(square), IsAttackBoardSquare(square)) << square;
        EXPECT_EQ(IsMainLevelSquare3D(square), ref::IsMainLevel(square)) << square;
        if (IsAttackBoardSquare(square)) {
            ++boards;
            EXPECT_EQ(AttackBoardOfSquare(square), ref::BoardHolding(square)) << square;
        } else if (square < 32) {
            ++neutral;
        } else if (Row(square) < 4) {
            ++white;
        } else {
            ++black;
        }
    }
    EXPECT_EQ(white, 16);
    EXPECT_EQ(black, 16);
    EXPECT_EQ(neutral, 16);
    EXPECT_EQ(boards, 16);
}

TEST(Geometry3DTest, NamedSquaresOfTheHomePlacement) {
    EXPECT_TRUE(IsAttackBoardSquare(31));
    EXPECT_EQ(AttackBoardOfSquare(31), 3);  // board 122
    const Place3D e6 = SquarePlace3D(kHomePins, 29);
    EXPECT_EQ(e6.file, 4);
    EXPECT_EQ(e6.rank, 6);
    EXPECT_EQ(e6.level, kNeutralLevel);
    const Place3D e5 = SquarePlace3D(kHomePins, 28);
    EXPECT_EQ(e5.file, 4);
    EXPECT_EQ(e5.rank, 5);
    EXPECT_EQ(e5.level, kNeutralLevel);
    const Place3D b1 = SquarePlace3D(kHomePins, 32);
    EXPECT_EQ(b1.file, 1);
    EXPECT_EQ(b1.rank, 1);
    EXPECT_EQ(b1.level, kWhiteLevel);
    const Place3D f9 = SquarePlace3D(kHomePins, 31);  // outer file, far rank of board 122
    EXPECT_EQ(f9.file, 5);
    EXPECT_EQ(f9.rank, 9);
    EXPECT_EQ(f9.level, 7);
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

TEST(Geometry3DTest, MainLevelsAndBoardsLieAtTheirHeights) {
    GameKindScope game(kGame3D);
    const Position position = WithPins(kHomePins);
    EXPECT_EQ(SquareCoords(position, 4, 0).z, -2.0f);  // White level
    EXPECT_EQ(SquareCoords(position, 0, 2).z, 0.0f);   // neutral level
    EXPECT_EQ(SquareCoords(position, 7, 7).z, 2.0f);   // Black level
    EXPECT_EQ(SquareCoords(position, 0, 0).z, -1.0f);  // board 100 at q1
    EXPECT_EQ(SquareCoords(position, 3, 7).z, 3.0f);   // board 122 at k6
}

TEST(Geometry3DTest, MovingABoardMovesItsSquaresButKeepsTheirIndexes) {
    const uint32_t moved[4] = {kPinQ3, kPinQ6, kPinK1, kPinK6};
    const Place3D before = SquarePlace3D(kHomePins, 9);
    const Place3D after = SquarePlace3D(moved, 9);
    EXPECT_EQ(before.file, 1);
    EXPECT_EQ(before.rank, 1);
    EXPECT_EQ(before.level, 3);
    EXPECT_EQ(after.file, 1);
    EXPECT_EQ(after.rank, 3);
    EXPECT_EQ(after.level, 5);
    EXPECT_EQ(AttackBoardOfSquare(9), 0);
    for (unsigned square = 0; square < 64; ++square) {
        if (AttackBoardOfSquare(square) == 0 && IsAttackBoardSquare(square)) continue;
        const Place3D a = SquarePlace3D(kHomePins, square);
        const Place3D b = SquarePlace3D(moved, square);
        EXPECT_TRUE(a.file == b.file && a.rank == b.rank && a.level == b.level) << square;
    }
}

TEST(Geometry3DTest, BoardAtNoPinHasNoPlace) {
    const uint32_t pins[4] = {kPinQ1, kPinQ6, kPinK1, 0};
    const Place3D place = SquarePlace3D(pins, 22);
    EXPECT_EQ(place.file, -1);
    EXPECT_EQ(place.level, -1);
    EXPECT_EQ(SquarePlace3D(pins, 0).level, 3);
}

}  // namespace
}  // namespace tarvex
