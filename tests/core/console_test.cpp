#include "core/console.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace tarvex {
namespace {

// Formatted text, a clear in between, text longer than the small buffer and a NUL character.
TEST(ConsoleTest, CaptureCollectsFormattedTextWhole) {
    ConsoleCapture capture;
    ConsolePrint("before");
    capture.Clear();
    ConsolePrint("\n%d. %s", 12, "Qd1-d4");
    EXPECT_EQ(capture.Text(), "\n12. Qd1-d4");
    capture.Clear();
    const std::string line(2000, 'x');
    ConsolePrint("<%s>", line.c_str());
    ConsolePrint("'%c'", 0);
    EXPECT_EQ(capture.Text(), "<" + line + ">" + std::string("'\0'", 3));
}

TEST(ConsoleTest, InnerCaptureTakesTheTextAndRestoresTheOuter) {
    ConsoleCapture outer;
    ConsolePrint("a");
    {
        ConsoleCapture inner;
        ConsolePrint("b");
        EXPECT_EQ(inner.Text(), "b");
    }
    ConsolePrint("c");
    EXPECT_EQ(outer.Text(), "ac");
}

TEST(ConsoleThreadsTest, PrintsFromTwoThreadsArriveWhole) {
    constexpr int kLines = 200;
    ConsoleCapture capture;
    auto print = [](char mark) {
        for (int i = 0; i < kLines; ++i) ConsolePrint("%c%c", mark, mark);
    };
    std::thread other(print, 'b');
    print('w');
    other.join();
    const std::string& text = capture.Text();
    ASSERT_EQ(text.size(), 4u * kLines);
    for (size_t i = 0; i < text.size(); i += 2) EXPECT_EQ(text[i], text[i + 1]) << "at " << i;
}

}  // namespace
}  // namespace tarvex
