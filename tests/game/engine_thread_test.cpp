#include "game/engine_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "core/settings.h"
#include "platform/thread.h"

namespace tarvex::game {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Generous, so that slow sanitizer builds on a busy machine still pass.
constexpr auto kPatience = std::chrono::seconds(20);

// Waits until the thread has polled `count` more times than `before`; false on timeout.
bool WaitForPolls(const EngineThread& engine, long before, long count) {
    const auto deadline = steady_clock::now() + kPatience;
    while (engine.Polls() < before + count) {
        if (steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(milliseconds(5));
    }
    return true;
}

class EngineThreadsTest : public ::testing::Test {
protected:
    void TearDown() override { GetSettings().stopRequest.store(0); }
};

TEST_F(EngineThreadsTest, StartsAndStopsRepeatedly) {
    EngineThread engine;
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(engine.Polls(), 0);
    for (int round = 0; round < 25; ++round) {
        engine.Start();
        engine.Start();  // a start while running keeps the thread
        EXPECT_TRUE(engine.Running());
        engine.Stop();
        EXPECT_FALSE(engine.Running());
    }
}

TEST_F(EngineThreadsTest, PollsAgainAfterARestart) {
    EngineThread engine;
    for (int round = 0; round < 3; ++round) {
        const long before = engine.Polls();
        engine.Start();
        EXPECT_TRUE(WaitForPolls(engine, before, 2));
        engine.Stop();
    }
}

TEST_F(EngineThreadsTest, NoPollsAfterStop) {
    EngineThread engine;
    engine.Start();
    ASSERT_TRUE(WaitForPolls(engine, 0, 1));
    engine.Stop();
    const long stopped = engine.Polls();
    std::this_thread::sleep_for(2 * EngineThread::kPollPeriod);
    EXPECT_EQ(engine.Polls(), stopped);
}

TEST_F(EngineThreadsTest, StopRaisesTheStopRequestAndTheTerminateFlag) {
    EngineThread engine;
    engine.Stop();  // without a thread: changes nothing
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(GetSettings().stopRequest.load(), 0);
    engine.Start();
    EXPECT_FALSE(engine.Terminate().Raised());
    engine.Stop();
    EXPECT_EQ(GetSettings().stopRequest.load(), 1);
    EXPECT_TRUE(engine.Terminate().Raised());
    engine.Start();
    EXPECT_FALSE(engine.Terminate().Raised());
}

TEST_F(EngineThreadsTest, DestructionStopsARunningThread) {
    auto engine = std::make_unique<EngineThread>();
    engine->Start();
    ASSERT_TRUE(WaitForPolls(*engine, 0, 1));
    engine.reset();
    EXPECT_EQ(GetSettings().stopRequest.load(), 1);
}

TEST(StopFlagThreadsTest, WaitTimesOutWhileLoweredAndRaisingWakesAWaiter) {
    platform::StopFlag flag;
    EXPECT_FALSE(flag.WaitFor(milliseconds(1)));
    EXPECT_FALSE(flag.Raised());
    platform::Thread raiser;
    raiser.Start([&flag] {
        std::this_thread::sleep_for(milliseconds(10));
        flag.Raise();
    });
    // Far longer than the raiser takes: only the raise can end the wait with true.
    EXPECT_TRUE(flag.WaitFor(std::chrono::duration_cast<milliseconds>(kPatience)));
    raiser.Join();
    flag.Lower();
    EXPECT_FALSE(flag.Raised());
}

TEST(StopFlagThreadsTest, ThreadRunsItsBodyAndJoins) {
    int runs = 0;
    platform::Thread worker;
    EXPECT_FALSE(worker.Running());
    worker.Start([&runs] { ++runs; });
    EXPECT_TRUE(worker.Running());
    worker.Join();
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(runs, 1);
    worker.Start([&runs] { ++runs; });
    worker.Start([&runs] { ++runs; });
    worker.Join();
    EXPECT_EQ(runs, 3);
}

}  // namespace
}  // namespace tarvex::game
