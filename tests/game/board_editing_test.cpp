// Board editing: pieces removed and added by hand; every applied edit makes the position the
// game's start, from which undo and replay begin.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/settings.h"
#include "game_test_support.h"
#include "save_test_support.h"

namespace tarvex::testing {
namespace {

constexpr int kRemove = 1, kAddBlackQueen = 9, kAddWhiteKnight = 12;

class BoardEditingTest : public ControllerTest {
protected:
    void SetUp() override { NewGame(kGame2D); }

    std::string Edit(int action, unsigned square) {
        ConsoleCapture out;
        GetSettings().editAction.store(action);
        result_ = controller_.ApplyEdit(action, square);
        return out.Text();
    }
    bool StartIsCurrent() const {
        return G().block.startEdited == 1 &&
               std::memcmp(&G().block.start, &P(), sizeof(Position)) == 0;
    }

    SettingsKeeper keeper_;
    int result_ = -1;
};

TEST_F(BoardEditingTest, AnAddedPieceReplacesWhatStoodThere) {
    Edit(kRemove, Sq("d7"));  // room in Black's piece list
    EXPECT_EQ(Edit(kAddBlackQueen, Sq("e2")), "\nset black Q at 33");
    EXPECT_EQ(result_, 1);
    EXPECT_EQ(P().board[Sq("e2")], -kQueen);
    EXPECT_EQ(P().pieces[P().squareSlot[Sq("e2")]].code, -kQueen);
    EXPECT_EQ(P().flags & kInCheck, kInCheck);  // the queen on e2 checks the king on e1
    EXPECT_EQ(GetSettings().editAction.load(), 0);
    EXPECT_TRUE(StartIsCurrent());
    EXPECT_EQ(Edit(kAddWhiteKnight, Sq("e2")), "\nset white N at 33");
    EXPECT_EQ(P().board[Sq("e2")], kKnight);
    EXPECT_EQ(P().flags & kInCheck, 0u);
}

TEST_F(BoardEditingTest, RemovingFromAnEmptySquareStillMakesTheStart) {
    const uint32_t key = P().hashKey;
    EXPECT_EQ(Edit(kRemove, Sq("e4")), "");
    EXPECT_EQ(result_, 1);
    EXPECT_EQ(P().hashKey, key);
    EXPECT_TRUE(StartIsCurrent());
}

TEST_F(BoardEditingTest, RemovingAKingLeavesTheEditApplied) {
    EXPECT_EQ(Edit(kRemove, Sq("e8")), "\nno king\nedited board may be unstable");
    EXPECT_EQ(result_, 1);
    EXPECT_EQ(P().board[Sq("e8")], 0);
    EXPECT_EQ(G().block.startEdited, 1);
    EXPECT_EQ(G().block.start.board[Sq("e8")], 0);
}

// A seventeenth white man has no place in the piece list: the add is taken back whole, and the
// game plays on from the position as it was.
TEST_F(BoardEditingTest, APieceMoreThanTheListHoldsIsNotAdded) {
    const Game before = G();
    EXPECT_EQ(Edit(kAddWhiteKnight, Sq("e4")),
              "\nset white N at 35\ntoo many pieces for the piece list");
    EXPECT_EQ(result_, 1);
    EXPECT_EQ(GetSettings().editAction.load(), 0);
    EXPECT_EQ(std::memcmp(&before.block, &G().block, sizeof(GameBlock)), 0);
    EXPECT_EQ(User("e2", "e4"), "\n1. e4");
}

TEST_F(BoardEditingTest, AClickOnNoSquareOnlyClearsTheAction) {
    const Game before = G();
    EXPECT_EQ(Edit(kAddBlackQueen, 65), "");
    EXPECT_EQ(result_, 0);
    EXPECT_EQ(GetSettings().editAction.load(), 0);
    EXPECT_EQ(std::memcmp(&before.block, &G().block, sizeof(GameBlock)), 0);
}

// Clearing the board and choosing the side recompute nothing; the next applied edit builds the
// position from what the board then holds.
TEST_F(BoardEditingTest, ClearAndSideToMoveWaitForTheNextEdit) {
    const uint32_t pieces = P().pieceMask;
    controller_.EditClearBoard();
    controller_.EditSideToMove(false);
    EXPECT_EQ(P().board[Sq("e1")], 0);
    EXPECT_EQ(P().pieceMask, pieces);
    EXPECT_EQ(P().ply, 1u);
    Edit(16, Sq("a1"));
    EXPECT_EQ(Edit(10, Sq("h8")), "\nset black K at 63");
    EXPECT_EQ(P().pieceMask, 1u | 1u << kBlackSlots);
    EXPECT_TRUE(BlackToMove(P()));
    // Two bare kings: the game's evaluation finds the material drawish.
    EXPECT_EQ(User("h8", "g8"), "\nDraw\n1. ... Kg8");
}

// The side chosen after the last added piece is the side the game starts with: undo goes back
// to Black's first move, not to a start with White to move.
TEST_F(BoardEditingTest, TheSideChosenLastIsTheStartsSide) {
    controller_.EditClearBoard();
    Edit(16, Sq("e1"));
    Edit(14, Sq("a1"));
    Edit(10, Sq("e8"));
    controller_.EditSideToMove(false);
    EXPECT_EQ(User("e8", "f8"), "\n1. ... Kf8");
    EXPECT_EQ(User("a1", "a8"), "\n2. Ra8");
    ConsoleCapture out;
    controller_.Undo(1);
    EXPECT_EQ(out.Text().find("Illegal"), std::string::npos) << out.Text();
    EXPECT_EQ(P().ply, 2u);
    EXPECT_EQ(P().board[Sq("a1")], kRook);
    EXPECT_EQ(P().board[Sq("f8")], -kKing);
}

TEST_F(BoardEditingTest, UndoAndReplayStartFromTheEditedPosition) {
    User("e2", "e4");
    User("d7", "d5");
    Edit(kRemove, Sq("d1"));  // at ply 2: the game now starts here
    EXPECT_EQ(User("e4", "d5"), "\n2. exd5");
    EXPECT_EQ(User("d8", "d5"), "\n2. ... Qxd5");
    ConsoleCapture quiet;
    controller_.Undo(1);
    EXPECT_EQ(P().ply, 3u);
    EXPECT_EQ(P().board[Sq("d5")], kPawn);
    EXPECT_EQ(G().block.captured.count, 1);
    controller_.Undo(10);  // no further back than the edit
    EXPECT_EQ(P().ply, 2u);
    EXPECT_EQ(P().board[Sq("d1")], 0);
    EXPECT_EQ(P().board[Sq("d5")], -kPawn);
    EXPECT_EQ(G().block.captured.count, 0);
    User("e4", "d5");
    controller_.Replay(-1);
    controller_.Replay(-200);
    EXPECT_EQ(G().replayIndex, 2);
    EXPECT_EQ(P().board[Sq("e4")], kPawn);
    controller_.EndReplay();
    EXPECT_EQ(P().board[Sq("d5")], kPawn);
}

}  // namespace
}  // namespace tarvex::testing
