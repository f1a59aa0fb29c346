// The engine's public face: what a caller gives a search and what it gets back. The game's
// engine thread, the tools and the tests hold a MoveChooser and nothing else of the engine;
// each chooser owns all of its search state, so two of them can search at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "board/move.h"
#include "board/position.h"
#include "core/game_types.h"
#include "rules/repetition.h"

namespace tarvex::engine {

// What one search reports after each depth it completes.
struct SearchProgress {
    int depth = 0;
    int score = 0;  // from the point of view of the side to move
    uint64_t nodes = 0;
    int64_t milliseconds = 0;
    std::vector<Move> pv;  // the principal variation, read from the table
};

// How far a search may go. The game's engine is bounded by its difficulty (the maximum depth)
// and its effort clock, which counts work instead of time, so that the same position and
// tables give the same move every time; the tools may also bound it by depth, nodes or time.
struct SearchLimits {
    int maxDepth = kDifficultyEasy;  // iterations stop below this depth
    bool effortClock = true;         // the game's budget of clock readings
    uint64_t nodes = 0;              // 0: no limit
    int64_t milliseconds = 0;        // 0: no limit (real time, for the tools)
    // Polled by the stop test after every searched move; true ends the search.
    std::function<bool()> stopWhen;
    // Called after each completed depth.
    std::function<void(const SearchProgress&)> onProgress;
};

struct SearchResult {
    Move move;      // the move to play; the null move when none was found
    int score = 0;  // from the point of view of the side to move
    int depth = 0;  // the last depth completed
    uint64_t nodes = 0;
};

// A request to stop that any thread may raise; the search polls it. The owner clears it before
// a search starts, never the search itself, so that a stop raised early is not lost.
class StopToken {
public:
    void Request() { requested_.store(true, std::memory_order_relaxed); }
    void Clear() { requested_.store(false, std::memory_order_relaxed); }
    bool Requested() const { return requested_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> requested_{false};
};

class MoveChooser {
public:
    virtual ~MoveChooser() = default;

    // Searches a copy of root, whose earlier positions' keys history holds, and chooses a move.
    virtual SearchResult Choose(const Position& root, const KeyHistory& history,
                                const SearchLimits& limits) = 0;
    // A new game: every table that carries knowledge from move to move is cleared.
    virtual void NewGame() = 0;

    StopToken& Stopper() { return stop_; }

protected:
    StopToken stop_;
};

}  // namespace tarvex::engine
