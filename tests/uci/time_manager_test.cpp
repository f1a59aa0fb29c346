// The time manager and the go command's limits: a move's budget from the clock, and whole games
// played on paper in which every move spends its full hard limit.
#include "tarvex-uci/time_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarvex-uci/go_command.h"

namespace tarvex::uci {
namespace {

constexpr int64_t kOverhead = 30;

GoCommand Clock(int64_t white, int64_t black, int64_t increment) {
    GoCommand go;
    go.wtime = white;
    go.btime = black;
    go.winc = go.binc = increment;
    return go;
}

TEST(TimeManagerTest, ReadsEveryLimitAndSkipsWhatItDoesNotKnow) {
    const GoCommand go = ReadGoCommand({"go", "searchmoves", "e2e4", "wtime", "1000", "btime",
                                        "900", "winc", "10", "binc", "20", "movestogo", "7",
                                        "depth", "x", "nodes", "500", "infinite", "ponder"});
    EXPECT_EQ(go.wtime, 1000);
    EXPECT_EQ(go.btime, 900);
    EXPECT_EQ(go.winc, 10);
    EXPECT_EQ(go.binc, 20);
    EXPECT_EQ(go.movesToGo, 7);
    EXPECT_EQ(go.depth, 0) << "a number that does not read leaves the field unset";
    EXPECT_EQ(go.nodes, 500);
    EXPECT_TRUE(go.infinite && go.ponder);
    EXPECT_EQ(ReadGoCommand({"go", "movetime", "250"}).moveTime, 250);
}

TEST(TimeManagerTest, BudgetOfTheSideToMove) {
    const TimeBudget white = PlanTime(Clock(10000, 100, 100), true, kOverhead, false);
    const TimeBudget black = PlanTime(Clock(10000, 100, 100), false, kOverhead, false);
    EXPECT_GT(white.softMs, black.softMs);
    EXPECT_LE(white.softMs, white.hardMs);
    EXPECT_LT(white.hardMs, 10000 / 3);
    // movetime: the whole time less the overhead, even below the overhead.
    GoCommand exact;
    exact.moveTime = 500;
    EXPECT_EQ(PlanTime(exact, true, kOverhead, false).hardMs, 470);
    exact.moveTime = 10;
    EXPECT_EQ(PlanTime(exact, true, kOverhead, false).hardMs, 1);
    // No clock, no movetime: no time limit (depth, nodes or stop end the search).
    EXPECT_EQ(PlanTime(GoCommand{}, true, kOverhead, false).hardMs, kNoLimit);
    // A single legal move: no depth after the first.
    EXPECT_EQ(PlanTime(Clock(10000, 10000, 0), true, kOverhead, true).softMs, 0);
}

TEST(TimeManagerTest, NothingLeftMeansAtOnce) {
    for (const int64_t left : {0, 1, 3, 20, 30}) {
        EXPECT_EQ(PlanTime(Clock(left, left, 10), true, kOverhead, false).hardMs, 1) << left;
    }
    // The increment is spent only while the clock still holds it.
    EXPECT_LE(PlanTime(Clock(40, 40, 1000), true, kOverhead, false).hardMs, 10);
}

TEST(TimeManagerTest, LastMoveBeforeTheControlKeepsAReserve) {
    GoCommand go = Clock(10000, 10000, 0);
    go.movesToGo = 1;
    const TimeBudget budget = PlanTime(go, true, kOverhead, false);
    EXPECT_GT(budget.hardMs, 5000);
    EXPECT_LT(budget.hardMs, 10000 - kOverhead);
}

// Plays plies moves for one side on the clock, each spending its whole hard limit plus the
// latency (the time between the programs); returns the lowest the clock went, or -1 when a move
// overstepped it.
int64_t LowestClock(int64_t base, int64_t increment, int64_t latency, int moves) {
    int64_t clock = base, lowest = base;
    for (int i = 0; i < moves; ++i) {
        const int64_t used =
            PlanTime(Clock(clock, clock, increment), true, kOverhead, false).hardMs;
        if (used + latency > clock) return -1;
        clock += increment - used - latency;
        lowest = std::min(lowest, clock);
    }
    return lowest;
}

// While the latency stays below the move overhead and the increment, no move oversteps the
// clock.
TEST(TimeManagerTest, NeverLosesOnTimeWithAnIncrement) {
    EXPECT_GT(LowestClock(1000, 10, 5, 300), 0);
    EXPECT_GT(LowestClock(1000, 10, 9, 300), 0);
    EXPECT_GT(LowestClock(10000, 100, 20, 300), 0);
    EXPECT_GT(LowestClock(60000, 1000, 25, 300), 0);
}

}  // namespace
}  // namespace tarvex::uci
