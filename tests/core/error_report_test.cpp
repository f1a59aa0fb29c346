#include "core/error_report.h"

#include <gtest/gtest.h>

#include "core/console.h"

namespace tarvex {
namespace {

TEST(ErrorReportTest, StableReportIsTheTextBetweenNewlines) {
    ConsoleCapture capture;
    ErrorReport(kStable, "bad piece @ DoMove");
    EXPECT_EQ(capture.Text(), "\nbad piece @ DoMove\n");
}

TEST(ErrorReportTest, UnstableReportEndsWithUnstable) {
    ConsoleCapture capture;
    ErrorReport(kUnstable, "NULL dir @ UpdateMoves");
    EXPECT_EQ(capture.Text(), "\nNULL dir @ UpdateMoves\nUNSTABLE");
}

TEST(ErrorReportTest, OnlyTheLowByteOfTheFlagCounts) {
    ConsoleCapture capture;
    ErrorReport(0x100, "high byte only");
    EXPECT_EQ(capture.Text(), "\nhigh byte only\n");
    capture.Clear();
    ErrorReport(0x101, "low byte set");
    EXPECT_EQ(capture.Text(), "\nlow byte set\nUNSTABLE");
    capture.Clear();
    ErrorReport(-1, "all bits set");
    EXPECT_EQ(capture.Text(), "\nall bits set\nUNSTABLE");
}

TEST(ErrorReportTest, TextIsPrintedVerbatim) {
    ConsoleCapture capture;
    ErrorReport(kStable, "100% sure: %d %s");
    EXPECT_EQ(capture.Text(), "\n100% sure: %d %s\n");
}

}  // namespace
}  // namespace tarvex
