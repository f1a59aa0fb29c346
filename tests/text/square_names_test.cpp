#include "text/square_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "board/attack_boards.h"
#include "core/console.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using testing::HomePosition;

// A board square names the pin its board stands at, a pin square the board standing there;
// anything else falls back to board 122 with a report.
TEST(AttackBoardPinName, NamesInBothStylesAndTheFallbacks) {
    struct Case {
        bool algebraic;
        int board;  // moved to pin before the lookup; -1: none
        unsigned pin, square;
        const char* name;
        const char* report;
    };
    const Case cases[] = {
        {false, -1, 0, 9, "QL1", ""},
        {false, 1, kPinQ2, kPinK1, "KL1", ""},
        {true, 1, kPinQ2, 35, "Q2", ""},
        {false, -1, 0, 40, "KL6", "\n40\nNon-AB for string @ GetABString!\n"},
        {false, 3, 40, 31, "", "\nWarning: Can't find AB string!\nUNSTABLE"},
    };
    for (const Case& c : cases) {
        Position position = HomePosition();
        if (c.board >= 0) position.abPin[c.board] = c.pin;
        ConsoleCapture capture;
        EXPECT_STREQ(AttackBoardPinName(position, c.square, c.algebraic), c.name) << c.square;
        EXPECT_EQ(capture.Text(), c.report) << c.square;
    }
}

}  // namespace
}  // namespace tarvex
