#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/settings.h"
#include "game/game_controller.h"
#include "game/game_flow.h"
#include "game/user_move.h"
#include "game_test_support.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

class GameRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        ConsoleCapture quiet;
        controller_.NewGame(kGame2D);
        GetSettings().engineSide.store(0);
    }

    void Play(std::initializer_list<std::pair<unsigned, unsigned>> moves) {
        ConsoleCapture quiet;
        for (const auto& [from, to] : moves) {
            ASSERT_EQ(controller_.UserMove(BuildUserMove(controller_.Current(), from, to)), 1)
                << from << "-" << to;
        }
    }

    GameKindScope kind_{kGame2D};
    GameController controller_;
};

TEST_F(GameRecordTest, UndoTakesBackPliesAndRebuildsTheTexts) {
    Play({{33, 35}, {38, 36}, {48, 42}, {15, 21}});
    const uint32_t keyAfterTwo = [&] {
        GameController other;
        ConsoleCapture quiet;
        other.NewGame(kGame2D);
        other.UserMove(BuildUserMove(other.Current(), 33, 35));
        other.UserMove(BuildUserMove(other.Current(), 38, 36));
        return other.Current().hashKey;
    }();
    ConsoleCapture out;
    controller_.Undo(2);
    EXPECT_EQ(out.Text(), "\nmove undone");
    EXPECT_EQ(controller_.Current().ply, 2u);
    EXPECT_EQ(controller_.Current().hashKey, keyAfterTwo);
    EXPECT_STREQ(MoveTextAt(controller_.CurrentGame(), 2), "e5");
    EXPECT_STREQ(MoveTextAt(controller_.CurrentGame(), 0), "e5");
    EXPECT_EQ(GetSettings().engineSide.load(), 0);
    EXPECT_EQ(GetSettings().stopRequest.load(), 1);
}

TEST_F(GameRecordTest, UndoAtTheStartStillSaysSo) {
    ConsoleCapture out;
    controller_.Undo(1);
    EXPECT_EQ(out.Text(), "\nmove undone");
    EXPECT_EQ(controller_.Current().ply, 0u);
    out.Clear();
    controller_.Undo(0);
    EXPECT_EQ(out.Text(), "");
}

TEST_F(GameRecordTest, CapturesAreCountedOnceAfterUndo) {
    Play({{33, 35}, {30, 28}, {35, 28}, {31, 28}});  // e4 d5 exd5 Qxd5
    ConsoleCapture quiet;
    controller_.Undo(0);
    const CapturedList& captured = controller_.CurrentGame().block.captured;
    ASSERT_EQ(captured.count, 2);
    EXPECT_EQ(captured.codes[0], -kPawn);
    EXPECT_EQ(captured.codes[1], kPawn);
}

TEST_F(GameRecordTest, ReplayStepsThroughTheGameAndEndsAtItsEnd) {
    Play({{33, 35}, {38, 36}, {48, 42}, {15, 21}, {40, 12}});
    const uint32_t finalKey = controller_.Current().hashKey;
    Game& game = controller_.CurrentGame();
    ConsoleCapture quiet;
    controller_.Replay(-1);
    EXPECT_EQ(game.replayIndex, 5);
    controller_.Replay(-1);
    EXPECT_EQ(game.replayIndex, 4);
    EXPECT_EQ(controller_.Current().ply, 5u);  // the game keeps its length
    EXPECT_EQ(controller_.Current().board[12], 0);
    EXPECT_EQ(controller_.Current().board[40], kBishop);
    controller_.Replay(-200);
    EXPECT_EQ(game.replayIndex, 0);
    EXPECT_EQ(controller_.Current().board[33], kPawn);
    controller_.Replay(+200);
    EXPECT_EQ(game.replayIndex, 5);
    controller_.Replay(+1);
    EXPECT_EQ(game.replayIndex, 5);
    controller_.EndReplay();
    EXPECT_EQ(game.replayIndex, kNoReplay);
    EXPECT_EQ(controller_.Current().hashKey, finalKey);
}

TEST_F(GameRecordTest, AnEditedStartIsWhereUndoAndReplayBegin) {
    Game& game = controller_.CurrentGame();
    // Edited at ply 6 with White to move: kings, a White rook and a Black knight.
    game.block.start = Build({{32, kKing}, {39, -kKing}, {0, kRook}, {4, -kKnight}}, 6);
    game.block.startEdited = 1;
    game.block.current = game.block.start;
    Play({{0, 4}, {39, 38}, {4, 5}});  // Rxa5 Kd8... Ra6
    EXPECT_EQ(game.block.record[6].to, 4u);
    EXPECT_EQ(controller_.Current().ply, 9u);
    {
        ConsoleCapture out;
        controller_.Undo(1);
        EXPECT_EQ(out.Text(), "\nmove undone");
    }
    EXPECT_EQ(controller_.Current().ply, 8u);
    EXPECT_EQ(controller_.Current().board[4], kRook);
    EXPECT_EQ(game.block.captured.count, 1);
    {
        ConsoleCapture quiet;
        controller_.Undo(5);  // not below the edited start
    }
    EXPECT_EQ(controller_.Current().ply, 6u);
    EXPECT_EQ(controller_.Current().board[4], -kKnight);
    EXPECT_EQ(game.block.captured.count, 0);
}

TEST(GameRecordThreads, RebuildsRunWithTheEngineThreadStopped) {
    GameKindScope kind(kGame2D);
    game::EngineThread engine;
    GameController controller(&engine);
    int redraws = 0, redrawsWhileRunning = 0;
    ControllerHooks hooks;
    hooks.redraw = [&] {
        ++redraws;
        if (engine.Running()) ++redrawsWhileRunning;
    };
    ConsoleCapture quiet;
    controller.SetHooks(hooks);
    controller.NewGame(kGame2D);
    EXPECT_TRUE(engine.Running());
    GetSettings().engineSide.store(0);
    controller.UserMove(BuildUserMove(controller.Current(), 33, 35));
    const int beforeRebuilds = redraws - redrawsWhileRunning;
    controller.Undo(1);
    EXPECT_TRUE(engine.Running());
    controller.Replay(-1);
    EXPECT_FALSE(engine.Running());
    controller.EndReplay();
    EXPECT_TRUE(engine.Running());
    // New game, undo, replay: each redrew after its rebuild with the engine stopped.
    EXPECT_EQ(redraws - redrawsWhileRunning - beforeRebuilds, 3);
    engine.Stop();
}

}  // namespace
}  // namespace tarvex
