// The engine's own thread. Every 100 ms it asks the game controller for work; when the engine
// is to move (or the user asked for a hint) it gets a private copy of the position (taken under
// the game's lock), searches it with its chooser at the game's difficulty and thinking time and
// posts the chosen move to the controller's mailbox, which the main thread drains and commits
// (or keeps as the hint). It never writes the game. The main thread starts it and stops it around
// every rebuild of the game and at the end of the program; stopping is cooperative (the
// terminate flag is raised, the search stops at its next stop test, and the thread is joined).
// A stop request alone (a change of who plays) ends the search but not the thread.
#pragma once

#include <chrono>

#include "core/thread.h"
#include "engine/move_chooser.h"

namespace tarvex {

class GameController;

namespace game {

class EngineThread {
public:
    static constexpr std::chrono::milliseconds kPollPeriod{100};

    EngineThread(GameController& controller, engine::MoveChooser& chooser)
        : controller_(controller), chooser_(chooser) {}
    ~EngineThread() { Stop(); }
    EngineThread(const EngineThread&) = delete;
    EngineThread& operator=(const EngineThread&) = delete;

    // Starts the polling thread; no effect when it already runs.
    void Start();
    // Asks the thread to finish and waits for it; no effect when none runs.
    void Stop();
    bool Running() const { return worker_.Running(); }
    // The search in progress gives up at its next stop test (the thread goes on polling).
    void RequestStop() { stopRequest_.Request(); }
    bool StopRequested() const { return stopRequest_.Requested(); }

private:
    void Loop();

    GameController& controller_;
    engine::MoveChooser& chooser_;
    StopFlag terminate_;
    engine::StopToken stopRequest_;  // cleared when a search begins
    Thread worker_;                  // last member: joined before the others are destroyed
};

}  // namespace game
}  // namespace tarvex
