// The engine's path through the game controller: a private copy of the game (TakeEngineJob),
// the search (a MoveChooser), the mailbox (PostEngineResult) and the main thread's commit
// (Tick). The names carry "Threads": these tests also run under ThreadSanitizer.
#include "game/engine_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/first_legal_chooser.h"
#include "game_test_support.h"

namespace tarvex::testing {
namespace {

using namespace std::chrono_literals;

// A long search: it blocks until released or told to stop, then plays the first legal move,
// as a search cut short plays the best move it has.
class BlockingChooser : public engine::MoveChooser {
public:
    engine::SearchResult Choose(const Position& root, const KeyHistory& history,
                                const engine::SearchLimits& limits) override {
        stopAtStart = limits.stopWhen();
        std::unique_lock lock(mutex_);
        searching = true;
        changed_.notify_all();
        while (!released && !limits.stopWhen() && !Stopper().Requested()) {
            changed_.wait_for(lock, 1ms);
        }
        stopped = !released;
        searching = false;
        return engine::FirstLegalChooser().Choose(root, history, limits);
    }
    void NewGame() override {}

    bool WaitForSearch() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [this] { return searching.load(); });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        released = true;
        changed_.notify_all();
    }

    std::atomic<bool> searching{false}, released{false}, stopped{false}, stopAtStart{false};

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

class EngineThreadsTest : public ControllerTest {
protected:
    void StartWith(engine::MoveChooser& chooser) {
        thread_ = std::make_unique<game::EngineThread>(controller_, chooser);
        controller_.SetEngineThread(thread_.get());
    }
    void StopThread() {
        thread_.reset();
        controller_.SetEngineThread(nullptr);
    }

    engine::FirstLegalChooser firstLegal_;
    std::unique_ptr<game::EngineThread> thread_;  // after the chooser it uses
};

// A rebuild stops and joins the thread before it touches the game; the move of the search it
// interrupted, or the move waiting in the mailbox, is never played in the rebuilt game.
TEST_F(EngineThreadsTest, RebuildsStopTheEngineFirstAndDropItsMove) {
    struct Command {
        std::function<void(GameController&)> run;
        bool runsAfter;  // the thread is started again
    };
    const Command commands[] = {{[](GameController& c) { c.NewGame(kGame2D); }, true},
                                {[](GameController& c) { c.Undo(1); }, true},
                                {[](GameController& c) { c.Replay(-1); }, false}};
    auto probe = std::make_unique<EngineJob>();
    for (const bool posted : {false, true}) {
        for (const Command& command : commands) {
            BlockingChooser chooser;
            StartWith(chooser);
            bool rebuiltWhileSearching = false;
            ControllerHooks hooks;
            hooks.setUp.clearEngineTables = [&] {
                rebuiltWhileSearching |= chooser.searching.load();
            };
            controller_.SetHooks(hooks);
            NewGame(kGame2D, kRulesTournament, kNotationTournament, -1);  // raises a stop request
            User("e2", "e4");
            ASSERT_TRUE(chooser.WaitForSearch());
            EXPECT_FALSE(chooser.stopAtStart.load());  // the job cleared the earlier request
            if (posted) {
                chooser.Release();
                // Nothing more is handed out while a move waits in the mailbox.
                ASSERT_TRUE(PumpUntil([&] { return !controller_.TakeEngineJob(*probe); }, [] {}));
            }
            ConsoleCapture out;
            command.run(controller_);
            EXPECT_FALSE(rebuiltWhileSearching);
            EXPECT_EQ(chooser.stopped.load(), !posted);
            EXPECT_EQ(thread_->Running(), command.runsAfter);
            const uint32_t key = P().hashKey, ply = P().ply;
            for (int i = 0; i < 3; ++i) controller_.Tick();
            EXPECT_EQ(P().hashKey, key);
            EXPECT_EQ(P().ply, ply);
            EXPECT_EQ(out.Text().find("TarvexLoses"), std::string::npos) << out.Text();
            StopThread();
            controller_.SetHooks({});
        }
    }
}

TEST_F(EngineThreadsTest, AMoveFoundForAnEarlierStateOfTheGameIsDropped) {
    NewGame(kGame2D, kRulesTournament, kNotationTournament, -1);
    User("e2", "e4");
    auto job = std::make_unique<EngineJob>();
    ASSERT_TRUE(controller_.TakeEngineJob(*job));
    User("e7", "e5");  // the user moves for the engine meanwhile
    const Move stale = firstLegal_.Choose(job->root, job->history, {}).move;
    controller_.PostEngineResult({stale, 0, job->serial});
    ConsoleCapture out;
    controller_.Tick();
    EXPECT_EQ(out.Text(), "");
    EXPECT_EQ(P().ply, 2u);
    EXPECT_EQ(G().block.record[1].to, Sq("e5"));
    // A move found for the game as it stands is played.
    controller_.SetEngineSide(-1);
    EXPECT_FALSE(controller_.TakeEngineJob(*job));  // not the engine's turn
    controller_.SetEngineSide(1);
    ASSERT_TRUE(controller_.TakeEngineJob(*job));
    const Move fresh = firstLegal_.Choose(job->root, job->history, {}).move;
    controller_.PostEngineResult({fresh, 0, job->serial});
    controller_.Tick();
    EXPECT_EQ(P().ply, 3u);
    EXPECT_TRUE(SameMove(G().block.record[2], fresh));
}

// F10 and "Does not play" while the engine searches: whatever the search posts afterwards, a
// move or none, is never played and never ends the game.
TEST_F(EngineThreadsTest, ASearchTheUserStoppedIsDiscarded) {
    for (const bool withMove : {true, false}) {
        NewGame(kGame2D, kRulesTournament, kNotationTournament, 1);
        auto job = std::make_unique<EngineJob>();
        ASSERT_TRUE(controller_.TakeEngineJob(*job));
        controller_.SetEngineSide(0);
        const Move found = withMove ? firstLegal_.Choose(job->root, job->history, {}).move : Move{};
        controller_.PostEngineResult({found, 0, job->serial});
        ConsoleCapture out;
        controller_.Tick();
        EXPECT_EQ(out.Text(), "");
        EXPECT_EQ(P().ply, 0u);
        EXPECT_EQ(P().winner, 0);
    }
}

// Handing the engine the side to move shows at once: it plays that side and the game has
// changed (the window's timer draws again).
TEST_F(EngineThreadsTest, PlaysBothTakesTheSideToMoveAtOnce) {
    StartWith(firstLegal_);
    NewGame(kGame2D, kRulesTournament, kNotationTournament, 0);
    User("e2", "e4");
    const uint64_t changes = controller_.ChangeCount();
    ConsoleCapture quiet;
    controller_.SetPlaysBoth(true, false);
    EXPECT_EQ(controller_.Options().engineSide, -1);
    EXPECT_NE(controller_.ChangeCount(), changes);
    ASSERT_TRUE(PumpUntil([&] { return P().ply == 5; }, [&] { controller_.Tick(); }));
    EXPECT_EQ(G().block.playsBoth, 1);
}

}  // namespace
}  // namespace tarvex::testing
