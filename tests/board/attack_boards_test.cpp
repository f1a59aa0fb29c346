#include "board/attack_boards.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "board/position.h"
#include "board/reference_geometry.h"
#include "core/console.h"

namespace tarvex {
namespace {

// "q3" names pin 3 of the queen's side in the short style, "Q3" in the algebraic, "QL3" in the
// long one.
TEST(AttackBoardNameTest, PinNamesInAllStyles) {
    ConsoleCapture capture;
    for (const reference::Pin& pin : reference::kPinTable) {
        const std::string upper = {static_cast<char>(std::toupper(pin.name[0])), pin.name[1]};
        EXPECT_STREQ(ShortPinName(pin.square), pin.name);
        EXPECT_EQ(PinName(pin.square, true), upper);
        EXPECT_EQ(PinName(pin.square, false), upper.substr(0, 1) + "L" + upper.substr(1));
    }
    EXPECT_EQ(capture.Text(), "");
    for (unsigned pin : {0u, 33u, 64u, kNoSquare}) {
        EXPECT_STREQ(PinName(pin, false), "");
        EXPECT_EQ(capture.Text(), "\nCan't find AB string!1\n");
        capture.Clear();
        EXPECT_STREQ(PinName(pin, true), "");
        EXPECT_EQ(capture.Text(), "\nCan't find AB string!2\n");
        capture.Clear();
        EXPECT_STREQ(ShortPinName(pin), "??");
        EXPECT_EQ(capture.Text(), "");
    }
}

}  // namespace
}  // namespace tarvex
