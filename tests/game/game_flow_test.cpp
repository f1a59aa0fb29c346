#include "game/game_flow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/settings.h"
#include "game/game_controller.h"
#include "game/user_move.h"
#include "game_test_support.h"
#include "moves/key_history.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

// A controller on a fresh game of one kind, with the engine playing nobody.
class GameFlowTest : public ::testing::Test {
protected:
    void Start(int kind, int rules = kRulesTournament) {
        settings_ = std::make_unique<GameKindScope>(kind, rules);
        ConsoleCapture quiet;
        controller_.NewGame(kind);
        GetSettings().engineSide.store(0);
    }

    // Plays "from to" as the user; returns what the console got.
    std::string User(unsigned from, unsigned to) {
        ConsoleCapture out;
        controller_.UserMove(BuildUserMove(controller_.Current(), from, to));
        return out.Text();
    }

    std::string Engine(unsigned from, unsigned to) {
        ConsoleCapture out;
        controller_.CommitEngineMove(BuildUserMove(controller_.Current(), from, to));
        return out.Text();
    }

    const Position& P() { return controller_.Current(); }
    Game& G() { return controller_.CurrentGame(); }

    std::unique_ptr<GameKindScope> settings_;
    GameController controller_;
};

TEST_F(GameFlowTest, MovesArePrintedInMoveNumberForm) {
    Start(kGame2D);
    EXPECT_EQ(User(33, 35), "\n1. e4");
    EXPECT_EQ(User(30, 28), "\n1. ... d5");
    EXPECT_EQ(User(35, 28), "\n2. exd5");
    EXPECT_EQ(P().ply, 3u);
    EXPECT_STREQ(MoveTextAt(G(), 3), "exd5");
    EXPECT_STREQ(MoveTextAt(G(), 0), "exd5");
    EXPECT_EQ(G().block.record[2].from, 35u);
    ASSERT_EQ(G().block.captured.count, 1);
    EXPECT_EQ(G().block.captured.codes[0], -kPawn);
    EXPECT_EQ(G().block.captured.blackPawns, 1);
}

TEST_F(GameFlowTest, RefusedMovesChangeNothing) {
    Start(kGame2D);
    EXPECT_EQ(User(33, 36), "\n!LegalMove");                    // e2-e5
    EXPECT_EQ(User(34, 35), "\nnot selecting?\n\n!LegalMove");  // an empty square
    EXPECT_EQ(P().ply, 0u);
    EXPECT_EQ(User(33, 35), "\n1. e4");
    EXPECT_EQ(User(35, 36), "\n!LegalMove");  // White again
}

TEST_F(GameFlowTest, ACaptureEnteredAsAQuietMoveIsAccepted) {
    Start(kGame2D);
    User(33, 35);
    User(30, 28);
    Move move = MakeMoveRecord(kPawn, 35, 28, '-');
    ConsoleCapture out;
    EXPECT_EQ(controller_.UserMove(move), 1);
    EXPECT_EQ(out.Text(), "\n2. exd5");
    EXPECT_EQ(G().block.captured.count, 1);
}

TEST_F(GameFlowTest, EnginesMateIsFoundBeforeItIsPlayed) {
    Start(kGame2D);
    GetSettings().engineSide.store(-1);
    User(41, 42);  // f3
    EXPECT_EQ(Engine(38, 36), "\n1. ... e5");
    User(49, 51);                             // g4
    const std::string text = Engine(31, 59);  // Qh4 mate
    EXPECT_NE(text.find("\nWhite is mated"), std::string::npos) << text;
    EXPECT_NE(text.find("\n2. ... Qh4"), std::string::npos) << text;
    EXPECT_EQ(P().winner, -1);
    EXPECT_EQ(GetSettings().engineSide.load(), 0);
}

TEST_F(GameFlowTest, StalemateAfterTheEnginesMove) {
    Start(kGame2D);
    Position& p = G().block.current;
    // White: Kh1... Black: Kf2, Qg4 to g3 stalemates the White king on h1.
    p = Build({{56, kKing}, {41, -kKing}, {51, -kQueen}}, 1);
    GetSettings().engineSide.store(-1);
    KeyHistoryScope history(G().block.keyHistory);
    const std::string text = Engine(51, 50);
    EXPECT_NE(text.find("\nStalemate"), std::string::npos) << text;
    EXPECT_NE(text.find("\nStalemate - draw"), std::string::npos) << text;
    EXPECT_EQ(P().winner, 2);
}

TEST_F(GameFlowTest, InsufficientMaterialBeforeTheEnginesMove) {
    Start(kGame2D);
    G().block.current = Build({{32, kKing}, {39, -kKing}, {20, -kBishop}}, 1);
    GetSettings().engineSide.store(-1);
    const std::string text = Engine(39, 38);
    EXPECT_NE(text.find("\nDraw - insufficient material"), std::string::npos) << text;
    EXPECT_EQ(P().winner, 2);
}

// Knights out and back: Nf3 Nf6 Ng1 Ng8. The fourth occurrence of a position is a draw.
TEST_F(GameFlowTest, TheEngineRepeatingIsReportedAsItsOwn) {
    Start(kGame2D);
    GetSettings().engineSide.store(-1);
    std::string text;
    for (int round = 0; round < 3; ++round) {
        User(48, 42);
        text += Engine(55, 45);
        User(42, 48);
        text += Engine(45, 55);
    }
    EXPECT_EQ(text.find("\nDraw - you're repeating"), std::string::npos) << text;
    EXPECT_NE(text.find("\nDraw - I'm repeating"), std::string::npos) << text;
    EXPECT_EQ(P().ply, 12u);
    EXPECT_EQ(P().winner, 2);
}

TEST_F(GameFlowTest, TheUserRepeatingIsFoundWhenTheEngineIsNextToMove) {
    Start(kGame2D);
    GetSettings().engineSide.store(-1);
    User(33, 35);  // e4, so that the user's moves complete the cycles
    std::string text;
    for (int round = 0; round < 3; ++round) {
        text += Engine(55, 45);
        User(48, 42);
        text += Engine(45, 55);
        User(42, 48);
    }
    EXPECT_EQ(text.find("repeating"), std::string::npos) << text;
    text = Engine(55, 45);
    EXPECT_EQ(text,
              "\nDraw - you're repeating\nMoveThread: Tarvex cannot move\n\nTarvexLoses:Black");
    EXPECT_EQ(P().ply, 13u);
}

TEST_F(GameFlowTest, MoreThan101QuietPliesIsADraw) {
    Start(kGame2D);
    Position& p = G().block.current;
    p = Build({{32, kKing}, {39, -kKing}, {0, kRook}}, 1);
    p.quietPlies = 102;
    GetSettings().engineSide.store(-1);
    const std::string text = Engine(39, 38);
    EXPECT_NE(text.find("\nDraw - you're repeating"), std::string::npos) << text;
}

TEST_F(GameFlowTest, AGameStopsAtTheLengthOfItsRecord) {
    Start(kGame2D);
    Position& p = G().block.current;
    p = Build({{32, kKing}, {39, -kKing}, {0, kRook}}, kGameRecordSize - 1);
    const std::string text = User(32, 40);
    EXPECT_EQ(text, "\ngame record full @ PlayerMoved\n");
    EXPECT_EQ(P().ply, kGameRecordSize - 1);
    p.ply = kGameRecordSize - 2;
    p.hashKey ^= 1;
    EXPECT_EQ(User(32, 40), "\n500. Kf1");
}

}  // namespace
}  // namespace tarvex
