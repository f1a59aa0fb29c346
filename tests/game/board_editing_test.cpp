// Board editing: pieces removed and added by hand; every applied edit makes the position the
// game's start, from which undo and replay begin.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "game_test_support.h"

namespace tarvex::testing {
namespace {

constexpr EditAction kRemove = EditAction::kRemove;
constexpr EditAction kAddBlackQueen = AddPieceAction(-kQueen),
                     kAddWhiteKnight = AddPieceAction(kKnight);

class BoardEditingTest : public ControllerTest {
protected:
    void SetUp() override { NewGame(kGame2D); }

    std::string Edit(EditAction action, unsigned square) {
        ConsoleCapture out;
        result_ = controller_.ApplyEdit(action, square);
        return out.Text();
    }

    bool result_ = false;
};

// A seventeenth white man has no place in the piece list: the add is taken back whole, and the
// game plays on from the position as it was.
TEST_F(BoardEditingTest, APieceMoreThanTheListHoldsIsNotAdded) {
    const Game before = G();
    EXPECT_EQ(Edit(kAddWhiteKnight, Sq("e4")),
              "\nset white N at 35\ntoo many pieces for the piece list");
    EXPECT_TRUE(result_);
    EXPECT_EQ(std::memcmp(&before.block, &G().block, sizeof(GameBlock)), 0);
    EXPECT_EQ(User("e2", "e4"), "\n1. e4");
    // A click on no square only clears the action.
    const Game played = G();
    EXPECT_EQ(Edit(kAddBlackQueen, 65), "");
    EXPECT_FALSE(result_);
    EXPECT_EQ(std::memcmp(&played.block, &G().block, sizeof(GameBlock)), 0);
}

// The side chosen after the last added piece is the side the game starts with: undo goes back
// to Black's first move, not to a start with White to move.
TEST_F(BoardEditingTest, TheSideChosenLastIsTheStartsSide) {
    controller_.EditClearBoard();
    Edit(AddPieceAction(kKing), Sq("e1"));
    Edit(AddPieceAction(kRook), Sq("a1"));
    Edit(AddPieceAction(-kKing), Sq("e8"));
    controller_.EditSideToMove(false);
    EXPECT_EQ(User("e8", "f8"), "\n1. ... Kf8");
    EXPECT_EQ(User("a1", "a8"), "\n2. Ra8+");
    ConsoleCapture out;
    controller_.Undo(1);
    EXPECT_EQ(out.Text().find("Illegal"), std::string::npos) << out.Text();
    EXPECT_EQ(P().ply, 2u);
    EXPECT_EQ(P().board[Sq("a1")], kRook);
    EXPECT_EQ(P().board[Sq("f8")], -kKing);
}

// The engine never searches a position an edit left unplayable: handed it, the engine stands
// down and says why, on the console and through the window's hook.
TEST_F(BoardEditingTest, TheEngineStandsDownFromAnUnplayablePosition) {
    std::vector<std::string> shown;
    ControllerHooks hooks = controller_.Hooks();
    hooks.cannotPlay = [&shown](const char* text) { shown.emplace_back(text); };
    controller_.SetHooks(hooks);
    const auto handOver = [this] {
        controller_.SetEngineSide(SideSign(P()));
        auto job = std::make_unique<EngineJob>();
        EXPECT_FALSE(controller_.TakeEngineJob(*job));
        ConsoleCapture out;
        controller_.Tick();
        EXPECT_EQ(controller_.Options().engineSide, 0);
        return out.Text();
    };
    Edit(kRemove, Sq("e8"));
    EXPECT_EQ(handOver(), "\nI cannot play from here: Black has no king");
    Load("4k3/8/8/8/8/8/4Q3/4K3 b - - 0 1");
    controller_.EditSideToMove(true);
    EXPECT_EQ(handOver(), "\nI cannot play from here: Black in check, White to move");
    EXPECT_EQ(shown,
              (std::vector<std::string>{"I cannot play from here: Black has no king",
                                        "I cannot play from here: Black in check, White to move"}));
}

}  // namespace
}  // namespace tarvex::testing
