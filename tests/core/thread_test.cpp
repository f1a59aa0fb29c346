#include "core/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace tarvex {
namespace {

using std::chrono::milliseconds;

TEST(StopFlagThreads, WaitTimesOutWhileLoweredAndARaiseWakesTheWaiter) {
    StopFlag flag;
    EXPECT_FALSE(flag.WaitFor(milliseconds(1)));
    Thread raiser;
    raiser.Start([&flag] { flag.Raise(); });
    // Far longer than the raiser takes: only the raise ends the wait in time.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(flag.WaitFor(milliseconds(20000)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(10000));
    raiser.Join();
    EXPECT_TRUE(flag.WaitFor(milliseconds(0)));  // stays raised
    flag.Lower();
    EXPECT_FALSE(flag.Raised());
}

TEST(ThreadThreads, RunsEachBodyAndJoinsThePreviousFirst) {
    std::atomic<int> runs{0};
    Thread worker;
    EXPECT_FALSE(worker.Running());
    worker.Start([&runs] { ++runs; });
    EXPECT_TRUE(worker.Running());
    worker.Start([&runs] { ++runs; });
    worker.Join();
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(runs.load(), 2);
    worker.Join();  // no thread: no effect
}

}  // namespace
}  // namespace tarvex
