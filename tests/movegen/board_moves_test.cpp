#include "movegen/board_moves.h"

#include <gtest/gtest.h>

#include "board/attack_boards.h"
#include "core/console.h"
#include "movegen/move_generation.h"
#include "movegen/test_positions.h"
#include "moves/make_move.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

using testing::FromText;
using testing::Names;
using testing::Squares3D;
using Strings = std::vector<std::string>;

// Kings on main levels, out of every board's way.
const std::string kKings = Squares3D({{42, 'K'}, {45, 'k'}});

Strings BoardMoves(const Position& position, int id) {
    Move moves[kMaxBoardDestinations];
    const int count = GenAtBoMoves(position, id, moves);
    return Names(moves, count);
}

TEST(GenAtBoMoves, EmptyBoardOfTheSideToMoveGoesToFreePinsInTableOrder) {
    {
        GameKindScope game(kGame3D, kRulesTournament);
        const Position p = FromText(kKings + " q1w,q6b,k3w,k6b w - -");
        EXPECT_EQ(BoardMoves(p, 100), (Strings{"100 32-2 T", "100 32-35 T", "100 32-56 T"}));
        EXPECT_EQ(BoardMoves(p, 106), Strings{}) << "Black's board with White to move";
    }
    {
        GameKindScope game(kGame3D, kRulesStandard);
        const Position p = FromText(kKings + " q1w,q6b,k3w,k6b w - -");
        EXPECT_EQ(BoardMoves(p, 100), (Strings{"100 32-2 T", "100 32-35 T"})) << "no sideways move";
    }
}

TEST(GenAtBoMoves, PinsHoldingABoardAreSkippedSilently) {
    GameKindScope game(kGame3D, kRulesTournament);
    const Position p = FromText(kKings + " q1w,q3b,k1w,k6b w - -");
    ConsoleCapture capture;
    EXPECT_EQ(BoardMoves(p, 100), Strings{"100 32-35 T"});
    EXPECT_EQ(capture.Text(), "");
}

TEST(BoardCanMove, LoadLimitsOfTheTwoRuleSets) {
    struct Case {
        const char* name;
        std::initializer_list<std::pair<unsigned, char>> load;
        bool tournament, standard;
        int direction;
    };
    const Case cases[] = {
        {"one knight", {{0, 'N'}}, true, false, 2},
        {"one pawn", {{9, 'P'}}, true, true, 1},
        {"knight and pawn", {{0, 'N'}, {9, 'P'}}, false, false, 0},
        {"two pawns", {{1, 'P'}, {9, 'P'}}, false, false, 0},
    };
    for (const Case& c : cases) {
        for (int rules : {kRulesTournament, kRulesStandard}) {
            GameKindScope game(kGame3D, rules);
            std::string squares = kKings;
            for (const auto& [square, letter] : c.load) squares[square] = letter;
            const Position p = FromText(squares + " q1w,q6b,k1w,k6b w - -");
            int direction = -99;
            const bool expected = rules == kRulesTournament ? c.tournament : c.standard;
            EXPECT_EQ(BoardCanMove(p, 100, direction), expected) << c.name << " rules " << rules;
            if (expected) {
                EXPECT_EQ(direction, c.direction) << c.name;
            }
        }
    }
}

TEST(GenAtBoMoves, DirectionValueChoosesTheWay) {
    GameKindScope game(kGame3D, kRulesTournament);
    // A White pawn on a board at q3: towards Black and sideways, never back to q1.
    Position p = FromText(Squares3D({{42, 'K'}, {45, 'k'}, {8, 'P'}}) + " q3w,q6b,k1w,k6b w - -");
    EXPECT_EQ(BoardMoves(p, 100), (Strings{"100 2-35 T", "100 2-5 T", "100 2-36 T", "100 2-26 T"}));
    // A Black knight on a board at q4: towards White only (and sideways).
    p = FromText(Squares3D({{42, 'K'}, {45, 'k'}, {6, 'n'}}) + " q1w,q4b,k1w,k6b b - -");
    EXPECT_EQ(BoardMoves(p, 106), (Strings{"106 5-35 T", "106 5-2 T", "106 5-36 T", "106 5-29 T"}));
    // An empty board goes both ways: towards White first.
    p = FromText(kKings + " q1w,q6b,k1w,k4b b - -");
    EXPECT_EQ(BoardMoves(p, 122),
              (Strings{"122 29-59 T", "122 29-26 T", "122 29-60 T", "122 29-63 T", "122 29-5 T"}));
}

TEST(GenAtBoMoves, CarryingAPawnToTheLastRankPromotes) {
    GameKindScope game(kGame3D, kRulesTournament);
    Position p = FromText(Squares3D({{42, 'K'}, {45, 'k'}, {9, 'P'}}) + " q4w,q5b,k1w,k6b w - -");
    EXPECT_TRUE(BoardMovePromotes(p, 100, kPinQ6));
    EXPECT_FALSE(BoardMovePromotes(p, 100, kPinQ2));
    Move moves[kMaxMoves];
    const int count = GenerateMoves(p, moves);
    const Strings names = Names(moves, count);
    // The plain board move stays, and its four promotions come last.
    ASSERT_GE(count, 4);
    EXPECT_TRUE(testing::Contains(names, "100 5-39 T"));
    EXPECT_EQ(Strings(names.end() - 4, names.end()),
              (Strings{"100 5-39 Q", "100 5-39 B", "100 5-39 R", "100 5-39 N"}));
    Move knight = MakeMoveRecord(100, kPinQ4, kPinQ6, 'N');
    Position child;
    ASSERT_EQ(MakeMove(child, p, knight), 1);
    EXPECT_EQ(child.board[9], kKnight);
    EXPECT_NE(child.flags & kWhitePromoted, 0u);
}

TEST(GenAtBoMoves, BadBoardsAreReported) {
    GameKindScope game(kGame3D, kRulesTournament);
    Position p = FromText(kKings + " q1w,q6b,k1w,k6b w - -");
    ConsoleCapture capture;
    int direction = 0;
    EXPECT_FALSE(BoardCanMove(p, 101, direction));
    EXPECT_EQ(capture.Text(), "\nbad board @ BoardCanMove\nUNSTABLE");
    capture.Clear();
    EXPECT_EQ(BoardMoves(p, 99), Strings{});
    EXPECT_EQ(capture.Text(),
              "\nBad which_ab @ GenAtBoMoves\n\nbad board @ BoardCanMove\nUNSTABLE");
    capture.Clear();
    p.abPin[0] = 33;  // no pin
    EXPECT_EQ(BoardMoves(p, 100), Strings{});
    EXPECT_EQ(capture.Text(), "\nError! Where is AB @ GenAtBoMoves?\nUNSTABLE");
}

}  // namespace
}  // namespace tarvex
