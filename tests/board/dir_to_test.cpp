#include "board/dir_to.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "board/attack_boards.h"
#include "board/position.h"
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
    const int count = DirTo(position, square, direction, out);
    EXPECT_EQ(static_cast<uint32_t>(count), out.count);
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
    const uint32_t pins[2][4] = {{kPinQ4, kPinQ2, kPinK5, kPinK3},
                                 {kPinQ4, kPinQ2, kPinK3, kPinK5}};
    const DirTable* first = nullptr;
    ExpectBuildMessage("q4q2k5k3", [&] { first = &DirTableFor(pins[0]); });
    ExpectBuildMessage("q4q2k5k3", [&] { EXPECT_EQ(&DirTableFor(pins[0]), first); });
    ExpectBuildMessage("q4q2k3k5", [&] { Destinations(WithPins(pins[1]), 30, -8); });
    ExpectBuildMessage("q4q2k3k5", [&] { Destinations(WithPins(pins[1]), 30, -8); });
    EXPECT_EQ(first->key, ConfigurationKey(pins[0]));
}

// Two boards on one pin are reported by the pin's name; a board at no pin as an outer and an
// inner board, and its neighbours' pins as clashes. Such a board has no steps and is no
// destination.
TEST(DirTableCacheTest, BadPlacementsAreReportedAndABoardAtNoPinHasNoSteps) {
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
    const uint32_t pins[4] = {kPinQ1, kPinQ6, kPinK1, 65};
    const Position position = WithPins(pins);
    ConsoleCapture quiet;
    for (int direction : kDirections) EXPECT_EQ(Destinations(position, 22, direction), Squares{});
    EXPECT_EQ(Destinations(position, 63, 1), Squares{});  // e8: board 122 is not at k6
}

}  // namespace
}  // namespace tarvex
