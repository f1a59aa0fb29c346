#include "board/dir_to.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "board/attack_boards.h"
#include "board/position.h"
#include "board/reference_geometry.h"
#include "board/settings_scope.h"
#include "core/console.h"

namespace tarvex {
namespace {

using Squares = std::vector<unsigned>;

constexpr uint32_t kHomePins[4] = {kPinQ1, kPinQ6, kPinK1, kPinK6};

Position WithPins(const uint32_t pins[4]) {
    Position position{};
    for (int i = 0; i < kBoardCount; ++i) position.abPin[i] = pins[i];
    return position;
}

// The destinations DirTo gives, checking that the count agrees with the list.
Squares Destinations(const Position& position, unsigned square, int direction) {
    StepList out{};
    out.count = 99;
    for (uint8_t& s : out.sq) s = 7;
    const int count = DirTo(position, square, direction, out);
    EXPECT_EQ(static_cast<uint32_t>(count), out.count);
    if (count == 0) {
        EXPECT_EQ(out.sq[0], kNoSquare);
    }
    Squares squares;
    for (int i = 0; i < count; ++i) squares.push_back(out.sq[i]);
    return squares;
}

// Build announcements printed while fn runs: none when the table was cached, else one line
// naming the placement with the count of tables built so far.
void ExpectBuildMessage(const char* name, const std::function<void()>& fn,
                        const std::string& extra = "") {
    const size_t before = DirTablesBuilt();
    ConsoleCapture capture;
    fn();
    const size_t after = DirTablesBuilt();
    if (after == before) {
        EXPECT_EQ(capture.Text(), "") << name;
        return;
    }
    EXPECT_EQ(after, before + 1);
    EXPECT_EQ(capture.Text(),
              "\nBuilding " + std::string(name) + " #" + std::to_string(after) + extra);
}

// Every direction from every square: the square at the file and rank change of the direction,
// or nothing beyond the edge; and nothing from a square off the board.
TEST(DirTo2DTest, EveryStepFollowsTheEdges) {
    GameKindScope game(kGame2D);
    const Position position{};
    for (const reference::Step& step : reference::kSteps) {
        for (unsigned square = 0; square < 64; ++square) {
            const int file = static_cast<int>(square / 8) + step.fileChange;
            const int rank = static_cast<int>(square % 8) + step.rankChange;
            const bool inside = file >= 0 && file < 8 && rank >= 0 && rank < 8;
            const Squares expected =
                inside ? Squares{static_cast<unsigned>(file * 8 + rank)} : Squares{};
            EXPECT_EQ(Destinations(position, square, step.direction), expected)
                << square << " " << step.direction;
        }
        for (unsigned square : {64u, kNoSquare, 1000u}) {
            EXPECT_EQ(Destinations(position, square, step.direction), Squares{}) << square;
        }
    }
}

TEST(DirTo2DTest, UnknownAndNullDirectionsReportAndGiveNothing) {
    GameKindScope game(kGame2D);
    const Position position{};
    for (int direction : {2, 5, 16, -18, 11, 64}) {
        ConsoleCapture capture;
        EXPECT_EQ(Destinations(position, 27, direction), Squares{}) << direction;
        EXPECT_EQ(capture.Text(), "\nunknown 2d direction\n") << direction;
    }
    ConsoleCapture capture;
    EXPECT_EQ(Destinations(position, 27, 0), Squares{});
    EXPECT_EQ(capture.Text(), "\nNULL 2d direction\n");
}

TEST(DirectionSlotTest, SlotOrderAndReverses) {
    for (int slot = 0; slot < kDirectionCount; ++slot) {
        EXPECT_EQ(kDirections[slot], reference::kSteps[slot].direction) << slot;
        EXPECT_EQ(DirectionSlot(kDirections[slot]), slot);
        EXPECT_EQ(kDirections[(slot + 8) % 16], -kDirections[slot]) << slot;
    }
    for (int direction : {0, 2, 16, -18, 100}) EXPECT_EQ(DirectionSlot(direction), -1);
}

// The lists of every placement are checked in the sweep of all direction tables.
TEST(DirTo3DTest, UnknownAndNullDirectionsReportAndGiveTheUpList) {
    GameKindScope game(kGame3D);
    const Position position = WithPins(kHomePins);
    ConsoleCapture capture;
    Destinations(position, 35, 1);
    capture.Clear();
    for (int direction : {3, -16, 18}) {
        EXPECT_EQ(Destinations(position, 35, direction), (Squares{36, 4})) << direction;
        EXPECT_EQ(capture.Text(), "\nunknown 3d direction\n") << direction;
        capture.Clear();
    }
    EXPECT_EQ(Destinations(position, 10, 0), (Squares{43, 11}));  // c3 up: White, neutral c4
    EXPECT_EQ(capture.Text(), "\nNULL 3d direction\n");
    for (unsigned square : {64u, kNoSquare})
        EXPECT_EQ(Destinations(position, square, 1), Squares{});
}

TEST(DirTo3DTest, PositionFollowsItsOwnPlacement) {
    GameKindScope game(kGame3D);
    ConsoleCapture quiet;
    Position position = WithPins(kHomePins);
    Destinations(position, 8, 1);
    ASSERT_NE(position.dirTable, nullptr);
    EXPECT_EQ(position.dirTable->key, ConfigurationKey(kHomePins));
    Position moved = position;  // carries the home table along
    moved.abPin[0] = kPinQ3;    // board 100 now covers files a, b and ranks 2, 3 on level 5
    EXPECT_EQ(Destinations(moved, 8, 1), (Squares{34, 2, 9}));
    EXPECT_EQ(moved.dirTable->key, ConfigurationKey(moved.abPin));
    EXPECT_EQ(Destinations(position, 8, 1), (Squares{32, 9}));
    EXPECT_EQ(position.dirTable->key, ConfigurationKey(kHomePins));
}

TEST(DirTo3DTest, ConfigurationKeyPacksThePinsHighestFirst) {
    EXPECT_EQ(ConfigurationKey(kHomePins), (32u << 24) + (39u << 16) + (56u << 8) + 63u);
    const uint32_t swapped[4] = {kPinQ6, kPinQ1, kPinK1, kPinK6};
    EXPECT_NE(ConfigurationKey(swapped), ConfigurationKey(kHomePins));
}

TEST(DirTableCacheTest, FirstLookupAnnouncesTheBuildAndTheSecondIsSilent) {
    const size_t before = DirTablesBuilt();
    ExpectBuildMessage("q1q6k1k6", [] { DirTableFor(kHomePins); });
    if (before == 0) {
        EXPECT_EQ(DirTablesBuilt(), 1u);  // the first table of the process
    }
    ConsoleCapture capture;
    const DirTable& first = DirTableFor(kHomePins);
    const DirTable& second = DirTableFor(kHomePins);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.key, ConfigurationKey(kHomePins));
    EXPECT_EQ(capture.Text(), "");
}

TEST(DirTableCacheTest, EachNewPlacementCountsOneMore) {
    const uint32_t pins[3][4] = {{kPinQ4, kPinQ2, kPinK5, kPinK3},
                                 {kPinK4, kPinQ5, kPinK2, kPinQ3},
                                 {kPinQ4, kPinQ2, kPinK3, kPinK5}};
    ExpectBuildMessage("q4q2k5k3", [&] { DirTableFor(pins[0]); });
    ExpectBuildMessage("k4q5k2q3", [&] { DirTableFor(pins[1]); });
    ExpectBuildMessage("q4q2k3k5", [&] { DirTableFor(pins[2]); });
    ExpectBuildMessage("q4q2k5k3", [&] { DirTableFor(pins[0]); });
}

TEST(DirTableCacheTest, TheFirst3DLookupOfAPositionBuildsItsTable) {
    GameKindScope game(kGame3D);
    const uint32_t pins[4] = {kPinK2, kPinK4, kPinQ4, kPinQ2};
    const Position position = WithPins(pins);
    ExpectBuildMessage("k2k4q4q2", [&] { Destinations(position, 30, -8); });
    ExpectBuildMessage("k2k4q4q2", [&] { Destinations(position, 30, -8); });
}

TEST(DirTableCacheTest, TwoBoardsOnOnePinAreReportedByThePinName) {
    const uint32_t pins[4] = {kPinK5, kPinQ2, kPinK5, kPinQ3};
    const std::string reports = "\nError! KL5 @ DirTo\nUNSTABLE\nError! KL5 @ DirTo\nUNSTABLE";
    ExpectBuildMessage(
        "k5q2k5q3", [&] { DirTableFor(pins); }, reports);
}

TEST(DirTableCacheTest, BoardAtNoPinIsReportedAsOuterAndInnerBoard) {
    const uint32_t pins[4] = {kPinQ5, kPinQ4, kPinK4, 40};
    std::string reports = "\nBad outer board @ DirTo\nUNSTABLE";
    for (const char* name : {"QL5", "QL4", "KL4"}) {
        reports += "\nError! " + std::string(name) + " @ DirTo\nUNSTABLE";
    }
    for (int j = 0; j < kBoardCount; ++j) reports += "\nError! Bad inner board @ DirTo\nUNSTABLE";
    ExpectBuildMessage(
        "q5q4k4??", [&] { DirTableFor(pins); }, reports);
}

TEST(DirTableCacheTest, BoardAtNoPinHasNoStepsAndIsNoDestination) {
    GameKindScope game(kGame3D);
    const uint32_t pins[4] = {kPinQ1, kPinQ6, kPinK1, 65};
    const Position position = WithPins(pins);
    ConsoleCapture quiet;
    for (int direction : kDirections) EXPECT_EQ(Destinations(position, 22, direction), Squares{});
    EXPECT_EQ(Destinations(position, 8, 1), (Squares{32, 9}));
    EXPECT_EQ(Destinations(position, 63, 1), Squares{});  // e8: board 122 is not at k6
}

}  // namespace
}  // namespace tarvex
