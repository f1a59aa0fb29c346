#include "board/dir_to.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "board/attack_boards.h"
#include "board/position.h"
#include "board/reference_geometry.h"
#include "core/console.h"
#include "rules/line_tables.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using Squares = std::vector<unsigned>;

constexpr uint32_t kHomePins[4] = {kPinQ1, kPinQ6, kPinK1, kPinK6};

Position WithPins(const uint32_t pins[4]) {
    Position position{};
    position.gameKind = kGame3D;
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
    const Position position{};  // 2D
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
    const Position position{};  // 2D
    for (int direction : {2, 5, 16, -18, 11, 64}) {
        ConsoleCapture capture;
        EXPECT_EQ(Destinations(position, 27, direction), Squares{}) << direction;
        EXPECT_EQ(capture.Text(), "\nunknown 2d direction\n") << direction;
    }
    ConsoleCapture capture;
    EXPECT_EQ(Destinations(position, 27, 0), Squares{});
    EXPECT_EQ(capture.Text(), "\nNULL 2d direction\n");
}

// The lists of every placement are checked in the sweep of all direction tables.
TEST(DirTo3DTest, UnknownAndNullDirectionsReportAndGiveTheUpList) {
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

// A position whose boards moved while it kept the old table (a record edited by hand) steps
// by its own placement.
TEST(DirTo3DTest, PositionFollowsItsOwnPlacement) {
    ConsoleCapture quiet;
    Position moved = testing::Built("K58 k61", testing::k3DTournament);
    ASSERT_EQ(moved.dirTable->key, ConfigurationKey(kHomePins));
    EXPECT_EQ(Destinations(moved, 8, 1), (Squares{32, 9}));
    moved.abPin[0] = kPinQ3;  // board 100 now covers files a, b and ranks 2, 3 on level 5
    EXPECT_EQ(Destinations(moved, 8, 1), (Squares{34, 2, 9}));
}

// Reading geometry through a const position never writes it, even when its tables are missing
// and have to be found or built (other threads may read the same record).
TEST(DirTo3DTest, ReadingTheGeometryOfAConstPositionWritesNothing) {
    ConsoleCapture quiet;
    for (const testing::Setup& setup : {testing::k2D, testing::k3DStandard}) {
        testing::Setup moved = setup;
        moved.pins[2] = kPinK4;  // a placement of its own
        Position built = testing::Built("K58 k61", moved);
        built.dirTable = nullptr;
        built.lineTables = nullptr;
        const Position position = built;
        for (int direction : kDirections) Destinations(position, 25, direction);
        EXPECT_EQ(LinesFor(position).key, LineTablesKey(position));
        EXPECT_EQ(std::memcmp(&position, &built, sizeof position), 0) << setup.game;
    }
}

// Each new placement is announced once with the running count; a second lookup is silent and
// gives the same table, also when it comes through a position.
TEST(DirTableCacheTest, EachNewPlacementIsAnnouncedOnce) {
    const uint32_t pins[3][4] = {{kPinQ4, kPinQ2, kPinK5, kPinK3},
                                 {kPinK4, kPinQ5, kPinK2, kPinQ3},
                                 {kPinQ4, kPinQ2, kPinK3, kPinK5}};
    const DirTable* first = nullptr;
    ExpectBuildMessage("q4q2k5k3", [&] { first = &DirTableFor(pins[0]); });
    ExpectBuildMessage("k4q5k2q3", [&] { DirTableFor(pins[1]); });
    ExpectBuildMessage("q4q2k5k3", [&] { EXPECT_EQ(&DirTableFor(pins[0]), first); });
    ExpectBuildMessage("q4q2k3k5", [&] { Destinations(WithPins(pins[2]), 30, -8); });
    ExpectBuildMessage("q4q2k3k5", [&] { Destinations(WithPins(pins[2]), 30, -8); });
    EXPECT_EQ(first->key, ConfigurationKey(pins[0]));
}

// Two boards on one pin are reported by the pin's name; a board at no pin as an outer and an
// inner board, and its neighbours' pins as clashes.
TEST(DirTableCacheTest, BadPlacementsAreReportedWhenTheirTableIsBuilt) {
    const std::string unstable = " @ DirTo\nUNSTABLE";
    const uint32_t twoOnOnePin[4] = {kPinK5, kPinQ2, kPinK5, kPinQ3};
    ExpectBuildMessage(
        "k5q2k5q3", [&] { DirTableFor(twoOnOnePin); },
        "\nError! KL5" + unstable + "\nError! KL5" + unstable);
    const uint32_t noPin[4] = {kPinQ5, kPinQ4, kPinK4, 40};
    std::string reports = "\nBad outer board" + unstable;
    for (const char* name : {"QL5", "QL4", "KL4"})
        reports += "\nError! " + std::string(name) + unstable;
    for (int j = 0; j < kBoardCount; ++j) reports += "\nError! Bad inner board" + unstable;
    ExpectBuildMessage(
        "q5q4k4??", [&] { DirTableFor(noPin); }, reports);
}

TEST(DirTableCacheTest, BoardAtNoPinHasNoStepsAndIsNoDestination) {
    const uint32_t pins[4] = {kPinQ1, kPinQ6, kPinK1, 65};
    const Position position = WithPins(pins);
    ConsoleCapture quiet;
    for (int direction : kDirections) EXPECT_EQ(Destinations(position, 22, direction), Squares{});
    EXPECT_EQ(Destinations(position, 8, 1), (Squares{32, 9}));
    EXPECT_EQ(Destinations(position, 63, 1), Squares{});  // e8: board 122 is not at k6
}

}  // namespace
}  // namespace tarvex
