// Undo and replay: the game is rebuilt from its start by playing the record again.
#include <gtest/gtest.h>

#include <string>

#include "game/game_flow.h"
#include "game_test_support.h"

namespace tarvex::testing {
namespace {

class GameRecordTest : public ControllerTest {
protected:
    void SetUp() override { NewGame(kGame2D); }
};

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

}  // namespace
}  // namespace tarvex::testing
