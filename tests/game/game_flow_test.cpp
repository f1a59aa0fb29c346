// The gate of every move and the game-end decisions, through the game controller, with the
// exact console text the program prints.
#include "game/game_flow.h"

#include <gtest/gtest.h>

#include <string>

#include "board/attack_boards.h"
#include "engine/evaluation.h"
#include "engine/first_legal_chooser.h"
#include "game_test_support.h"
#include "rules/attack_generation.h"

namespace tarvex::testing {
namespace {

// The game evaluates every position its moves make (the drawish-material flag it reports comes
// from the evaluation).
class GameFlowTest : public ControllerTest {};

// A capture entered as a quiet move passes the gate, which compares piece and squares.
TEST_F(GameFlowTest, ACaptureEnteredAsAQuietMoveIsPlayed) {
    NewGame(kGame2D);
    EXPECT_EQ(User("e2", "e4"), "\n1. e4");
    EXPECT_EQ(User("d7", "d5"), "\n1. ... d5");
    ConsoleCapture out;
    EXPECT_EQ(controller_.UserMove(MakeMoveRecord(kPawn, Sq("e4"), Sq("d5"), MoveKind::kQuiet)), 1);
    EXPECT_EQ(out.Text(), "\n2. exd5");
    EXPECT_STREQ(MoveTextAt(G(), 0), "exd5");
    ASSERT_EQ(G().block.captured.count, 1);
    EXPECT_EQ(G().block.captured.codes[0], -kPawn);
    EXPECT_EQ(G().block.captured.blackPawns, 1);
    EXPECT_EQ(User("e3", "e4"), "\nnot selecting?\n\n!LegalMove");  // an empty square
    EXPECT_EQ(User("d5", "d6"), "\n!LegalMove");                    // White again
    EXPECT_EQ(P().ply, 3u);
}

// The engine's move is judged before it is played; each finding stops the engine.
TEST_F(GameFlowTest, TheEnginesMoveEndsTheGame) {
    struct Case {
        const char* fen;
        const char *from, *to;
        const char* text;
        int winner;
    };
    const Case cases[] = {
        {"rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2", "d8", "h4",
         "\nWhite is mated\n2. ... Qh4+", -1},
        {"8/8/8/8/6q1/8/5k2/7K b - - 0 1", "g4", "g3", "\nStalemate\nStalemate - draw\n1. ... Qg3",
         2},
        {"4k3/8/8/2b5/8/8/8/4K3 b - - 0 1", "e8", "e7",
         "\nDraw - insufficient material\nDraw\nStalemate - draw\n1. ... Ke7", 2},
        // More than 101 quiet plies: decided before the move, which is not played.
        {"4k3/8/8/8/8/8/8/R3K3 b - - 101 60", "e8", "e7", "\nDraw - you're repeating", 2},
    };
    for (const Case& c : cases) {
        NewGame(kGame2D, kRulesTournament, kNotationTournament, -1);
        Load(c.fen);
        EXPECT_EQ(Engine(c.from, c.to), c.text) << c.fen;
        EXPECT_EQ(P().winner, c.winner) << c.fen;
        EXPECT_EQ(controller_.Options().engineSide, 0) << c.fen;
    }
}

// Knights out and back, Nf3 Nf6 Ng1 Ng8: the fourth occurrence of a position is a draw, the
// engine's own ("I'm repeating") when its move makes it, the user's when the engine finds it.
TEST_F(GameFlowTest, RepetitionIsBlamedOnTheSideThatRepeats) {
    for (const bool userFirst : {false, true}) {
        NewGame(kGame2D, kRulesTournament, kNotationTournament, -1);
        if (userFirst) User("e2", "e4");  // the user's moves complete the cycles
        std::string text;
        for (int round = 0; round < 3; ++round) {
            if (!userFirst) User("g1", "f3");
            text += Engine("g8", "f6");
            User(userFirst ? "g1" : "f3", userFirst ? "f3" : "g1");
            text += Engine("f6", "g8");
            if (userFirst) User("f3", "g1");
        }
        if (userFirst) {
            EXPECT_EQ(text.find("repeating"), std::string::npos) << text;
            // Decided before the engine moves: it stands down without giving up.
            EXPECT_EQ(Engine("g8", "f6"), "\nDraw - you're repeating");
            EXPECT_EQ(P().ply, 13u);
        } else {
            EXPECT_EQ(text.find("\nDraw - you're repeating"), std::string::npos) << text;
            EXPECT_NE(text.find("\nDraw - I'm repeating\nStalemate - draw\n6. ... Ng8"),
                      std::string::npos)
                << text;
            EXPECT_EQ(P().ply, 12u);
        }
        EXPECT_EQ(P().winner, 2);
    }
}

// In the 3D game a position includes the attack boards' pins: White's empty board 116 tours
// k1, k2, k4, k3 and back while Black's knight goes to and fro. No position occurs more than
// twice, though the pieces stand as before every other ply; then the knights alone repeat.
TEST_F(GameFlowTest, ThreeDRepetitionCountsTheBoardsPins) {
    NewGame(kGame3D, kRulesTournament, kNotationTournament, -1);
    Load(
        "................................."
        "P....p.K......kN......n........ q1w,q6b,k1w,k6b w - -",
        kGame3D);
    std::string text;
    const unsigned tour[] = {kPinK2, kPinK4, kPinK3, kPinK4, kPinK2, kPinK1};
    for (int i = 0; i < 6; ++i) {
        text += UserBoard(116, tour[i]);
        text += i % 2 == 0 ? Engine(55, 45) : Engine(45, 55);
    }
    EXPECT_EQ(text.find("repeating"), std::string::npos) << text;
    EXPECT_EQ(P().winner, 0);
    for (int round = 0; round < 2; ++round) {
        User(48, 42);
        Engine(55, 45);
        User(42, 48);
        text = Engine(45, 55);
    }
    EXPECT_EQ(text, "\nDraw - I'm repeating\nStalemate - draw\n10. ... Nc8B");
}

// The user's move stalemates the engine: committing the engine's turn gives the verdict, and the
// engine stands down without giving up (the user's mate is in the play transcripts).
TEST_F(GameFlowTest, TheUserStalematesTheEngine) {
    NewGame(kGame2D, kRulesTournament, kNotationTournament, -1);
    Load("k7/8/1K6/8/8/8/8/2Q5 w - - 0 1");
    User("c1", "c7");
    engine::FirstLegalChooser chooser;
    ConsoleCapture out;
    EXPECT_TRUE(controller_.PlayEngineMove(chooser));
    EXPECT_EQ(out.Text(), "\nStalemate");
    EXPECT_EQ(P().winner, 2);
    EXPECT_EQ(controller_.Options().engineSide, 0);
    EXPECT_FALSE(controller_.PlayEngineMove(chooser));
}

TEST_F(GameFlowTest, AnEngineWithoutAMoveInALiveGameGivesUp) {
    NewGame(kGame2D, kRulesTournament, kNotationTournament, -1);
    User("e2", "e4");
    ConsoleCapture out;
    controller_.CommitEngineMove(Move{});
    EXPECT_EQ(out.Text(), "\nMoveThread after\n\nTarvexLoses:Black");
    EXPECT_EQ(P().winner, 1);
}

TEST_F(GameFlowTest, AGameStopsAtTheLengthOfItsRecord) {
    NewGame(kGame2D);
    controller_.SetUpPosition(BuiltAtPly("Ke1 ke8 Ra1", kGameRecordSize - 1));
    EXPECT_EQ(User("e1", "f1"), "\ngame record full @ PlayerMoved\n");
    EXPECT_EQ(P().ply, kGameRecordSize - 1);
    controller_.SetUpPosition(BuiltAtPly("Ke1 ke8 Ra1", kGameRecordSize - 2));
    EXPECT_EQ(User("e1", "f1"), "\n500. Kf1");
}

}  // namespace
}  // namespace tarvex::testing
