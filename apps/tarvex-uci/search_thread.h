// The search thread: one `go` is one search on a thread of its own, so that the main thread
// keeps reading commands and answers `isready` and `stop` while the engine thinks. The thread
// writes an info line after every completed depth and always ends with one bestmove line. An
// infinite or pondering search holds its bestmove back until `stop` (or `ponderhit`).
//
// The engine belongs to the search thread while a search runs; the main thread touches it only
// after Wait.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "engine/engine.h"
#include "time_manager.h"
#include "uci_position.h"

namespace tarvex::uci {

using Clock = std::chrono::steady_clock;

struct SearchJob {
    UciGame game;
    // A level of the game (the Thinking option): its limits replace the clock and the others.
    std::optional<engine::SearchLimits> level;
    int maxDepth = 0;    // the engine's maximum depth: iterations stop below it
    uint64_t nodes = 0;  // 0: no limit
    TimeBudget budget;   // counted from start
    Clock::time_point start;
    bool holdBestMove = false;  // infinite or ponder: no bestmove before stop or ponderhit
    bool pondering = false;     // the budget begins at ponderhit
};

class SearchThread {
public:
    explicit SearchThread(engine::Engine& engine) : engine_(engine) {}
    ~SearchThread() { Stop(); }
    SearchThread(const SearchThread&) = delete;
    SearchThread& operator=(const SearchThread&) = delete;

    // Starts a search; one that is running is stopped first.
    void Start(SearchJob job);
    // Stops the search at once and waits for its bestmove.
    void Stop();
    // The pondered move was played: the budget runs from now, and a finished search answers.
    void PonderHit();
    // Waits until the search thread has ended (it ends by itself unless it holds its bestmove).
    void Wait();
    // The input has ended: a search with a limit finishes and answers; one that would wait for
    // stop is stopped.
    void Finish();

private:
    void Run();
    void Report(const engine::SearchProgress& progress);
    bool TimeIsUp() const;
    void HoldBestMove();
    void SetDeadlines(Clock::time_point from, const TimeBudget& budget);

    engine::Engine& engine_;
    SearchJob job_;
    std::thread thread_;
    // Deadlines as steady-clock ticks, read by the stop test on the search thread.
    std::atomic<int64_t> softDeadline_{0};
    std::atomic<int64_t> hardDeadline_{0};
    std::atomic<bool> softReached_{false};
    std::mutex mutex_;
    std::condition_variable released_;
    bool release_ = false;  // stop or ponderhit came: a held bestmove may go
    bool pondering_ = false;
};

}  // namespace tarvex::uci
