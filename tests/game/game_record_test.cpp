// Undo and replay: the game is rebuilt from its start by playing the record again.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "game/game_flow.h"
#include "game_test_support.h"

namespace tarvex::testing {
namespace {

class GameRecordTest : public ControllerTest {
protected:
    void SetUp() override { NewGame(kGame2D); }

    void Play(std::initializer_list<std::pair<const char*, const char*>> moves) {
        for (const auto& [from, to] : moves) {
            const uint32_t ply = P().ply;
            User(from, to);
            ASSERT_EQ(P().ply, ply + 1) << from << "-" << to;
        }
    }
};

TEST_F(GameRecordTest, ANewGameAnnouncesItself) {
    ConsoleCapture out;
    controller_.NewGame(kGame2D);
    EXPECT_EQ(out.Text().rfind("\nBoard Hashes Reset\nTarvex V", 0), 0u) << out.Text();
}

TEST_F(GameRecordTest, UndoTakesBackPliesAndRebuildsTextsAndCaptures) {
    Play({{"e2", "e4"}, {"d7", "d5"}, {"e4", "d5"}, {"d8", "d5"}});
    const uint32_t keyAtFour = P().hashKey;
    Play({{"b1", "c3"}});
    ConsoleCapture out;
    controller_.Undo(1);
    EXPECT_EQ(out.Text(), "\nmove undone");
    EXPECT_EQ(P().ply, 4u);
    EXPECT_EQ(P().hashKey, keyAtFour);
    EXPECT_STREQ(MoveTextAt(G(), 4), "Qxd5");
    EXPECT_STREQ(MoveTextAt(G(), 0), "Qxd5");
    const CapturedList& captured = G().block.captured;
    ASSERT_EQ(captured.count, 2);
    EXPECT_EQ(captured.codes[0], -kPawn);
    EXPECT_EQ(captured.codes[1], kPawn);
    // The engine plays nobody after an undo.
    EXPECT_EQ(controller_.Options().engineSide, 0);
    out.Clear();
    controller_.Undo(5);  // not below the start, and still said
    EXPECT_EQ(out.Text(), "\nmove undone");
    EXPECT_EQ(P().ply, 0u);
    out.Clear();
    controller_.Undo(0);
    EXPECT_EQ(out.Text(), "");
}

TEST_F(GameRecordTest, ReplayStepsThroughTheGameAndEndsAtItsEnd) {
    Play({{"e2", "e4"}, {"e7", "e5"}, {"g1", "f3"}, {"b8", "c6"}, {"f1", "b5"}});
    const uint32_t finalKey = P().hashKey;
    ConsoleCapture quiet;
    const int steps[] = {-1, -1, -200, +200, +1};
    const int shown[] = {5, 4, 0, 5, 5};  // the first step shows the whole game
    for (int i = 0; i < 5; ++i) {
        controller_.Replay(steps[i]);
        EXPECT_EQ(G().replayIndex, shown[i]);
        EXPECT_EQ(P().ply, 5u);  // the game keeps its length
        if (i == 1) {
            EXPECT_EQ(P().board[Sq("f1")], kBishop);
        } else if (i == 2) {
            EXPECT_EQ(P().board[Sq("e2")], kPawn);
        }
    }
    controller_.EndReplay();
    EXPECT_EQ(G().replayIndex, kNoReplay);
    EXPECT_EQ(P().hashKey, finalKey);
}

TEST_F(GameRecordTest, ASetUpPositionIsWhereUndoAndReplayBegin) {
    controller_.SetUpPosition(BuiltAtPly("Ke1 ke8 Ra1 na5", 6));
    Play({{"a1", "a5"}, {"e8", "e7"}, {"a5", "a6"}});
    EXPECT_EQ(G().block.record[6].to, Sq("a5"));
    ConsoleCapture quiet;
    controller_.Undo(1);
    EXPECT_EQ(P().ply, 8u);
    EXPECT_EQ(P().board[Sq("a5")], kRook);
    EXPECT_EQ(G().block.captured.count, 1);
    controller_.Replay(-1);
    controller_.Replay(-200);
    EXPECT_EQ(G().replayIndex, 6);
    EXPECT_EQ(P().board[Sq("a5")], -kKnight);
    controller_.EndReplay();
    controller_.Undo(5);
    EXPECT_EQ(P().ply, 6u);
    EXPECT_EQ(P().board[Sq("a5")], -kKnight);
    EXPECT_EQ(G().block.captured.count, 0);
}

}  // namespace
}  // namespace tarvex::testing
