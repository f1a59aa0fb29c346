// The engine's own thread. It wakes every 100 ms to see whether the engine is to move. The
// main thread starts it and stops it around every rebuild of the game, and at the end of the
// program; stopping is cooperative (the stop request and the terminate flag are raised and the
// thread is joined), so a search never sees a game that is being rebuilt.
#pragma once

#include <atomic>
#include <chrono>

#include "platform/thread.h"

namespace tarvex::game {

class EngineThread {
public:
    static constexpr std::chrono::milliseconds kPollPeriod{100};

    EngineThread() = default;
    ~EngineThread() { Stop(); }
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    // Starts the polling thread; no effect when it already runs.
    void Start();
    // Asks the thread to finish and waits for it; no effect when none runs.
    void Stop();
    bool Running() const { return worker_.Running(); }

    // Read by the search's stop test: raised by Stop and lowered again by the next Start.
    const platform::StopFlag& Terminate() const { return terminate_; }
    // How many times the thread has woken up, over all its runs.
    long Polls() const { return polls_.load(std::memory_order_relaxed); }

private:
    void Loop();

    platform::StopFlag terminate_;
    std::atomic<long> polls_{0};
    platform::Thread worker_;  // last member: joined before the others are destroyed
};

}  // namespace tarvex::game
