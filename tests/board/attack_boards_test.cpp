#include "board/attack_boards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "board/position.h"
#include "board/reference_geometry.h"
#include "core/console.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using testing::HomePosition;

std::string Reported(const std::string& text, bool unstable) {
    return "\n" + text + "\n" + (unstable ? "UNSTABLE" : "");
}

// Known boards report nothing; unknown identifiers are reported by each lookup. A board on
// another board's home pin is not home.
TEST(AttackBoardIdentityTest, HomePinsOwnersAndUnknownIds) {
    Position position = HomePosition();
    ConsoleCapture capture;
    for (int i = 0; i < kBoardCount; ++i) {
        EXPECT_EQ(BoardAtPin(position, PinOfBoard(position, kBoardIds[i])),
                  static_cast<unsigned>(i));
        EXPECT_EQ(WhiteOwns(position, kBoardIds[i]), i % 2 == 0);
        EXPECT_TRUE(IsAttackBoardHome(position, kBoardIds[i]));
    }
    EXPECT_EQ(capture.Text(), "");
    EXPECT_EQ(BoardAtPin(position, kPinQ2), kNoBoard);
    // The display bits of free pins: q2 the fourth, k5 the ninth; a held pin none.
    EXPECT_EQ(FreePinBit(position, kPinQ2), 8u);
    EXPECT_EQ(FreePinBit(position, kPinK5), 256u);
    EXPECT_EQ(FreePinBit(position, kPinQ1), 0u);
    position.abPin[0] = kPinQ6;
    position.abPin[1] = kPinQ1;
    EXPECT_FALSE(IsAttackBoardHome(position, 100));
    for (int id : {0, 101, 121, -100}) {
        capture.Clear();
        EXPECT_EQ(PinOfBoard(position, id), kNoSquare);
        EXPECT_EQ(capture.Text(), Reported("Bad which_ab @ GenAtBoMoves", false)) << id;
        capture.Clear();
        EXPECT_FALSE(WhiteOwns(position, id));
        EXPECT_EQ(capture.Text(), Reported("WhiteOwns can't find board", false)) << id;
        capture.Clear();
        EXPECT_FALSE(IsAttackBoardHome(position, id));
        EXPECT_EQ(capture.Text(), Reported("Error! Bad attack board @ IsAttackBoardHome", true))
            << id;
    }
}

// "q3" names pin 3 of the queen's side in the short style, "Q3" in the algebraic, "QL3" in the
// long one.
TEST(AttackBoardNameTest, PinNamesInAllStyles) {
    ConsoleCapture capture;
    for (const reference::Pin& pin : reference::kPinTable) {
        const std::string upper = {static_cast<char>(std::toupper(pin.name[0])), pin.name[1]};
        EXPECT_STREQ(ShortPinName(pin.square), pin.name);
        EXPECT_EQ(PinName(pin.square, true), upper);
        EXPECT_EQ(PinName(pin.square, false), upper.substr(0, 1) + "L" + upper.substr(1));
    }
    EXPECT_EQ(capture.Text(), "");
    for (unsigned pin : {0u, 33u, 64u, kNoSquare}) {
        EXPECT_STREQ(PinName(pin, false), "");
        EXPECT_EQ(capture.Text(), Reported("Can't find AB string!1", false));
        capture.Clear();
        EXPECT_STREQ(PinName(pin, true), "");
        EXPECT_EQ(capture.Text(), Reported("Can't find AB string!2", false));
        capture.Clear();
        EXPECT_STREQ(ShortPinName(pin), "??");
        EXPECT_EQ(capture.Text(), "");
    }
}

// An empty board reverts to its default owner, a lone piece gives it to its side, two or more
// keep the previous owner; pieces beside the boards do not count, and the owner follows the
// board, not its pin.
TEST(BoardOwnersTest, OwnersFollowTheLonePieceOfEachBoard) {
    using Owners = std::array<uint32_t, 4>;
    struct Case {
        std::vector<std::pair<unsigned, int>> pieces;
        Owners before, after;
        unsigned pin0 = kPinQ1;
    };
    const std::vector<std::pair<unsigned, int>> crowded = {{0, kRook},  {1, -kRook}, {6, kPawn},
                                                           {7, kPawn},  {16, kPawn}, {17, kPawn},
                                                           {24, kPawn}, {25, kPawn}};
    const Case cases[] = {
        {{}, {0, 1, 0, 1}, {1, 0, 1, 0}},
        {{{9, -kPawn}, {17, -kKing}, {14, kKnight}, {22, kQueen}}, {1, 0, 1, 0}, {0, 1, 0, 1}},
        {crowded, {1, 1, 1, 1}, {1, 1, 1, 0}},
        {{{2, -kQueen}, {13, -kQueen}, {18, -kQueen}, {29, -kQueen}}, {0, 1, 0, 1}, {1, 0, 1, 0}},
        {{{8, -kBishop}}, {1, 0, 1, 0}, {0, 0, 1, 0}, kPinQ5},
    };
    for (const Case& c : cases) {
        Position position = HomePosition();
        position.abPin[0] = c.pin0;
        for (auto [square, code] : c.pieces) position.board[square] = code;
        std::copy(c.before.begin(), c.before.end(), position.abWhite);
        ComputeBoardOwners(position);
        EXPECT_EQ((Owners{position.abWhite[0], position.abWhite[1], position.abWhite[2],
                          position.abWhite[3]}),
                  c.after)
            << c.pieces.size() << " pieces, board 100 at " << c.pin0;
    }
}

}  // namespace
}  // namespace tarvex
