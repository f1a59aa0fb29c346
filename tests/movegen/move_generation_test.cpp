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

using testing::Contains;
using testing::FromText;
using testing::Generated;
using testing::Names;
using testing::Squares3D;
using testing::Starting;

constexpr testing::Setup D2 = testing::k2D, T3 = testing::k3DTournament, S3 = testing::k3DStandard;
const std::string kHome = " q1w,q6b,k1w,k6b";
const std::string kKings = Squares3D({{42, 'K'}, {45, 'k'}});  // out of every board's way

// The generated moves whose names start with prefix, in list order.
struct PieceCase {
    testing::Setup game;
    std::string text;
    const char* prefix;
    Names moves;
};

TEST(GenerateMoves, MovesOfOnePieceInListOrder) {
    // Pawn on c2 (41) with a knight on the White level's c3 (42): the neutral c3 (10) is free.
    const std::string blocked =
        Squares3D({{41, 'P'}, {42, 'n'}, {56, 'K'}, {63, 'k'}}) + kHome + " w - -";
    // Pawn on 9 (b1 on board 100 at q1): its one single step, b2 (33), holds a knight.
    const std::string jump =
        Squares3D({{9, 'P'}, {33, 'N'}, {42, 'K'}, {45, 'k'}}) + kHome + " w - -";
    const std::string onBoard = Squares3D({{9, 'P'}, {42, 'K'}, {45, 'k'}});
    const std::string noEp =
        Squares3D({{44, 'p'}, {20, 'P'}, {56, 'K'}, {63, 'k'}}) + kHome + " w - -";
    const std::string boards = kKings + " q1w,q6b,k3w,k6b w - -";
    const std::string pawnAboard =
        Squares3D({{42, 'K'}, {45, 'k'}, {8, 'P'}}) + " q3w,q6b,k1w,k6b w - -";
    const std::string knightAboard =
        Squares3D({{42, 'K'}, {45, 'k'}, {6, 'n'}}) + " q1w,q4b,k1w,k6b b - -";
    const std::string promoting =
        Squares3D({{42, 'K'}, {45, 'k'}, {9, 'P'}}) + " q4w,q5b,k1w,k6b w - -";
    const PieceCase cases[] = {
        {D2, std::string(kStartText2D), "2 ", {"2 8-2 -", "2 8-18 -", "2 48-42 -", "2 48-58 -"}},
        // Promotions follow the plain moves, Q B R N.
        {D2,
         "1r5k/P7/8/8/8/8/8/4K3 w - - 0 1",
         "1 ",
         {"1 6-15 x", "1 6-7 -", "1 6-15 Q", "1 6-15 B", "1 6-15 R", "1 6-15 N", "1 6-7 Q",
          "1 6-7 B", "1 6-7 R", "1 6-7 N"}},
        {D2, "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", "1 ", {"1 33-34 -", "1 33-35 -"}},
        // Tournament: a blocked level stops the double step; Standard: the open level allows it.
        {T3, blocked, "1 ", {"1 41-10 -"}},
        {S3, blocked, "1 ", {"1 41-10 -", "1 41-11 -"}},
        {T3, jump, "1 ", {}},
        {S3, jump, "1 ", {}},
        // A pawn on a board at home may double-step, away from home not.
        {T3, onBoard + kHome + " w - -", "1 ", {"1 9-33 -", "1 9-34 -", "1 9-2 -"}},
        {T3, onBoard + " q3w,q6b,k1w,k6b w - -", "1 ", {"1 9-35 -", "1 9-3 -"}},
        {T3, noEp, "1 20-45", {}},
        // Board moves: towards White, towards Black, then sideways (Tournament only), skipping
        // pins that hold a board; an empty board goes both ways, a loaded one away from its
        // owner's side, never with two pieces (under Standard rules only with a pawn); a board
        // moves only for its owner.
        {T3, boards, "100 ", {"100 32-2 T", "100 32-35 T", "100 32-56 T"}},
        {S3, boards, "100 ", {"100 32-2 T", "100 32-35 T"}},
        {T3, boards, "106 ", {}},
        {T3, kKings + " q1w,q3b,k1w,k6b w - -", "100 ", {"100 32-35 T"}},
        {T3, pawnAboard, "100 ", {"100 2-35 T", "100 2-5 T", "100 2-36 T", "100 2-26 T"}},
        {T3, knightAboard, "106 ", {"106 5-35 T", "106 5-2 T", "106 5-36 T", "106 5-29 T"}},
        {S3, knightAboard, "106 ", {}},
        {T3, Squares3D({{42, 'K'}, {45, 'k'}, {0, 'N'}, {1, 'P'}}) + kHome + " w - -", "100 ", {}},
        {T3,
         kKings + " q1w,q6b,k1w,k4b b - -",
         "122 ",
         {"122 29-59 T", "122 29-26 T", "122 29-60 T", "122 29-63 T", "122 29-5 T"}},
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

TEST(GenerateMoves, CastlingAndEnPassant) {
    const std::string castle3D = Squares3D({{0, 'R'}, {16, 'K'}, {24, 'R'}, {45, 'k'}});
    std::string checked3D = castle3D;
    checked3D[59] = 'r';  // e4 on the White level: attacks the king on e0 through e1 and e2
    // Black's c7-c5 (46-44) passed c6 (45); White's neutral d5 (20) takes onto the empty c6 and
    // captures the knight on the neutral c6 (13) only in the ordinary way.
    const std::string ep3D =
        Squares3D({{44, 'p'}, {20, 'P'}, {13, 'n'}, {56, 'K'}, {63, 'k'}}) + kHome + " w - 45";
    const struct {
        int game;
        std::string text;
        Names offered, refused;
    } cases[] = {
        {kGame2D, "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"6 32-48 S", "6 32-16 L"}, {}},
        {kGame2D, "4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1", {}, {"6 32-48 S", "6 32-16 L"}},
        {kGame2D, "1r3rk1/8/8/8/8/8/8/R3K2R w KQ - 0 1", {"6 32-16 L"}, {"6 32-48 S"}},
        {kGame3D, castle3D + kHome + " w KQ -", {"6 16-24 S", "6 16-8 L"}, {}},
        {kGame3D, checked3D + kHome + " w KQ -", {}, {"6 16-24 S", "6 16-8 L"}},
        {kGame3D, ep3D, {"1 20-45 e", "1 20-13 x"}, {"1 20-13 e"}},
    };
    for (const auto& c : cases) {
        const Names names = Generated(FromText(c.text, c.game));
        for (const std::string& name : c.offered) EXPECT_TRUE(Contains(names, name)) << c.text;
        for (const std::string& name : c.refused) EXPECT_FALSE(Contains(names, name)) << c.text;
    }
}

TEST(GenerateEvasions, DoubleCheckLeavesKingAndAttackBoardMoves) {
    // Rook e8 and bishop b4 check the king on e1; the rook on a4 could take the bishop.
    const Position p2 = FromText("4r2k/8/8/8/Rb6/8/8/4K3 w - - 0 1");
    ASSERT_NE(p2.flags & kInCheck, 0u);
    for (const std::string& name : Generated(p2)) EXPECT_TRUE(name.starts_with("6 32-")) << name;
    // The king on 17 (e1 on board 116 at k1) checked by a rook on e4 (59) and a knight on the
    // neutral d3 (18); the rook on b3 (34) could take the knight.
    const Position p3 = FromText(
        Squares3D({{17, 'K'}, {59, 'r'}, {18, 'n'}, {34, 'R'}, {45, 'k'}}) + kHome + " w - -",
        kGame3D);
    ASSERT_NE(p3.flags & kInCheck, 0u);
    const Names names = Generated(p3);
    EXPECT_TRUE(Contains(names, "116 56-59 T")) << "the king's own board";
    for (const std::string& name : names) {
        EXPECT_TRUE(name.starts_with("6 17-") || std::stoi(name) >= 100) << name;
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
