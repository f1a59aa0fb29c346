// The levels of play (thinking time beside the difficulty), the engine's thoughts line and the
// hint, through the game controller, the engine thread and the real engine. The names that carry
// "Threads" also run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "engine/engine.h"
#include "engine/score.h"
#include "game/engine_thread.h"
#include "game/thinking.h"
#include "game/thoughts.h"
#include "game_test_support.h"
#include "text/position_text.h"

namespace tarvex::testing {
namespace {

using namespace std::chrono_literals;
using Kind = ThinkingTime::Kind;

constexpr ThinkingTime kOneSecond{Kind::kSeconds, 1};
constexpr ThinkingTime kThirtySeconds{Kind::kSeconds, 30};
constexpr ThinkingTime kFewNodes{Kind::kNodes, 3000};

TEST(LevelsTest, ReadsOnlyTheOfferedBudgets) {
    EXPECT_EQ(ParseThinkingBudget("classic"), ThinkingTime{});
    EXPECT_EQ(ParseThinkingBudget("10"), (ThinkingTime{Kind::kSeconds, 10}));
    EXPECT_EQ(ParseThinkingBudget("nodes:2500"), (ThinkingTime{Kind::kNodes, 2500}));
    for (const char* bad : {"", "2", "-1", "1.5", "Classic", "nodes:", "nodes:0", "nodes:-4",
                            "nodes:12x", "nodes 5"}) {
        EXPECT_EQ(ParseThinkingBudget(bad), std::nullopt) << bad;
    }
}

TEST(ThoughtsTest, ScoresArePawnsOrMovesToMateFromWhitesSide) {
    EXPECT_EQ(WhiteScoreText(3500, true), "+0.35");
    EXPECT_EQ(WhiteScoreText(3500, false), "-0.35");
    EXPECT_EQ(WhiteScoreText(-12000, true), "-1.20");
    EXPECT_EQ(WhiteScoreText(-123456, false), "+12.34");
    EXPECT_EQ(WhiteScoreText(-99, true), "+0.00");  // less than a hundredth has no sign
    EXPECT_EQ(WhiteScoreText(engine::MateIn(5), true), "mate 3");
    EXPECT_EQ(WhiteScoreText(engine::MateIn(5), false), "mate -3");
    EXPECT_EQ(WhiteScoreText(-engine::MateIn(4), true), "mate -2");
    EXPECT_EQ(WhiteScoreText(engine::kScoreKingTaken, true), "mate 1");
}

class LevelsControllerTest : public ControllerTest {
protected:
    // Text of the game as the user sees it: position, record and move texts.
    std::string Snapshot() const {
        std::string text = WritePositionText(P()) + "|" + std::to_string(P().ply);
        for (unsigned ply = 0; ply < P().ply; ++ply) {
            text += "|" + std::to_string(G().block.record[ply].from) + "-" +
                    std::to_string(G().block.record[ply].to) + " " + G().texts.texts[ply];
        }
        return text;
    }

    engine::Engine engine_;
};

// A node budget is deterministic: fresh engines play the same move after the same thoughts.
TEST_F(LevelsControllerTest, NodeBudgetPlaysTheSameMoveEveryTime) {
    std::string first;
    for (int run = 0; run < 3; ++run) {
        engine::Engine engine;
        NewGame(kGame2D, kRulesTournament, kNotationTournament, -1);
        controller_.SetDifficulty(kDifficultyHard);
        controller_.SetThinkingTime({Kind::kNodes, 20000});
        Play({{"d2", "d4"}});
        ConsoleCapture quiet;
        ASSERT_TRUE(controller_.PlayEngineMove(engine));
        const std::string played = Snapshot() + " " + controller_.ThoughtsLine();
        if (run == 0) first = played;
        EXPECT_EQ(played, first);
    }
}

class LevelsThreadsTest : public LevelsControllerTest {
protected:
    void SetUp() override {
        thread_ = std::make_unique<game::EngineThread>(controller_, engine_);
        controller_.SetEngineThread(thread_.get());
        NewGame(kGame2D, kRulesTournament, kNotationTournament, -1);
        controller_.SetDifficulty(kDifficultyHard);
    }
    void TearDown() override {
        thread_.reset();
        controller_.SetEngineThread(nullptr);
    }
    bool TickUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds patience = kPatience) {
        ConsoleCapture quiet;  // the engine's moves
        const auto tick = [this] { controller_.Tick(); };
        return PumpUntil(done, tick, patience);
    }

    std::unique_ptr<game::EngineThread> thread_;
};

// A second a move: the engine's move comes within the second and a margin for a busy machine.
TEST_F(LevelsThreadsTest, OneSecondBudgetEndsInTimeThreads) {
    controller_.SetThinkingTime(kOneSecond);
    User("e2", "e4");
    EXPECT_TRUE(TickUntil([this] { return P().ply == 2; }, 1s + 2s));
    EXPECT_FALSE(controller_.ThoughtsLine().empty());
}

// The engine thread searches the hint on the user's turn and Tick keeps it, the game unchanged.
// A move, or clearing the hint, ends a hint search at once: with thirty seconds a move, the
// engine's answer to the move and the next hint still come within a few seconds, and the
// dropped searches leave no hint.
TEST_F(LevelsThreadsTest, MoveOrClearedHintStopsItsSearchThreads) {
    // Until a depth of the hint search is complete (its thoughts line differs from the last).
    const auto hintSearching = [this] {
        controller_.SetThinkingTime(kThirtySeconds);
        const std::string before = controller_.ThoughtsLine();
        controller_.RequestHint();
        return TickUntil([&] { return controller_.ThoughtsLine() != before; });
    };
    ASSERT_TRUE(hintSearching());
    controller_.SetThinkingTime(kFewNodes);
    User("e2", "e4");
    EXPECT_TRUE(TickUntil([this] { return P().ply == 2; }));
    EXPECT_FALSE(controller_.CurrentHint().has_value());
    ASSERT_TRUE(hintSearching());
    controller_.ClearHint();
    controller_.SetThinkingTime(kFewNodes);
    const std::string before = Snapshot();
    controller_.RequestHint();
    EXPECT_TRUE(TickUntil([this] { return controller_.CurrentHint().has_value(); }));
    EXPECT_EQ(Snapshot(), before);
}

}  // namespace
}  // namespace tarvex::testing
