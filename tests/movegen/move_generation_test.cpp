#include "movegen/move_generation.h"

#include <gtest/gtest.h>

#include <string>

#include "core/console.h"
#include "movegen/board_moves.h"
#include "movegen/move_names.h"
#include "support/positions.h"
#include "text/position_text.h"

namespace tarvex {
namespace {

using testing::FromText;
using testing::Generated;
using testing::Names;
using testing::Squares3D;
using testing::Starting;

constexpr testing::Setup D2 = testing::k2D, T3 = testing::k3DTournament;
const std::string kKings = Squares3D({{42, 'K'}, {45, 'k'}});  // out of every board's way

struct PieceCase {
    testing::Setup game;
    std::string text;
    const char* prefix;
    Names moves;
};

// The order of the list is the order the search tries the moves in; which moves there are is
// checked by perft and the 3D reference comparison.
TEST(GenerateMoves, MovesOfOnePieceInListOrder) {
    const std::string promoting =
        Squares3D({{42, 'K'}, {45, 'k'}, {9, 'P'}}) + " q4w,q5b,k1w,k6b w - -";
    const PieceCase cases[] = {
        // Promotions follow the plain moves, Q B R N.
        {D2,
         "1r5k/P7/8/8/8/8/8/4K3 w - - 0 1",
         "1 ",
         {"1 6-15 x", "1 6-7 -", "1 6-15 Q", "1 6-15 B", "1 6-15 R", "1 6-15 N", "1 6-7 Q",
          "1 6-7 B", "1 6-7 R", "1 6-7 N"}},
        // Board moves: towards White, towards Black, then sideways (Tournament only).
        {T3,
         kKings + " q1w,q6b,k3w,k6b w - -",
         "100 ",
         {"100 32-2 T", "100 32-35 T", "100 32-56 T"}},
        // Carrying a pawn to its last rank promotes.
        {T3,
         promoting,
         "100 ",
         {"100 5-39 T", "100 5-29 T", "100 5-39 Q", "100 5-39 B", "100 5-39 R", "100 5-39 N"}},
    };
    for (const PieceCase& c : cases) {
        EXPECT_EQ(Starting(Generated(FromText(c.text, c.game.game, c.game.rules)), c.prefix),
                  c.moves)
            << c.text;
    }
}

TEST(GenerateAttackBoardMoves, BadBoardsAreReportedAndGoodOnesNot) {
    Position p = FromText(Squares3D({{42, 'K'}, {45, 'k'}}) + " q1w,q3b,k1w,k6b w - -", kGame3D);
    Move moves[kMaxBoardDestinations];
    ConsoleCapture capture;
    EXPECT_EQ(GenerateAttackBoardMoves(p, 100, moves), 1) << "q3 holds a board: skipped silently";
    EXPECT_EQ(capture.Text(), "");
    int direction = 0;
    EXPECT_FALSE(BoardCanMove(p, 101, direction));
    EXPECT_EQ(capture.Text(), "\nbad board @ BoardCanMove\nUNSTABLE");
    capture.Clear();
    EXPECT_EQ(GenerateAttackBoardMoves(p, 99, moves), 0);
    EXPECT_EQ(capture.Text(),
              "\nBad which_ab @ GenAtBoMoves\n\nbad board @ BoardCanMove\nUNSTABLE");
    capture.Clear();
    p.abPin[0] = 33;  // no pin
    EXPECT_EQ(GenerateAttackBoardMoves(p, 100, moves), 0);
    EXPECT_EQ(capture.Text(), "\nError! Where is AB @ GenAtBoMoves?\nUNSTABLE");
}

}  // namespace
}  // namespace tarvex
