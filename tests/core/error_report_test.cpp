#include "core/error_report.h"

#include <gtest/gtest.h>

#include "core/console.h"

namespace tarvex {
namespace {

// A stable report is the text between newlines, an unstable one ends with UNSTABLE; only the
// low byte of the flag counts, and the text is printed verbatim.
TEST(ErrorReportTest, ReportsOfEveryFlag) {
    const struct {
        int flag;
        const char* text;
        const char* printed;
    } cases[] = {
        {kStable, "bad piece @ DoMove", "\nbad piece @ DoMove\n"},
        {kUnstable, "NULL dir @ UpdateMoves", "\nNULL dir @ UpdateMoves\nUNSTABLE"},
        {0x100, "high byte only", "\nhigh byte only\n"},
        {0x101, "low byte set", "\nlow byte set\nUNSTABLE"},
        {-1, "all bits set", "\nall bits set\nUNSTABLE"},
        {kStable, "100% sure: %d %s", "\n100% sure: %d %s\n"},
    };
    for (const auto& c : cases) {
        ConsoleCapture capture;
        ErrorReport(c.flag, c.text);
        EXPECT_EQ(capture.Text(), c.printed) << c.flag;
    }
}

}  // namespace
}  // namespace tarvex
