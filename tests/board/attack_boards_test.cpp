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

namespace tarvex {
namespace {

constexpr int kUnknownIds[] = {0, 99, 101, 105, 107, 116 + 1, 121, 123, -100, 6};

// The boards at their home pins with their default owners, and nothing on the board.
Position HomePosition() {
    Position position{};
    position.gameKind = kGame3D;
    std::copy_n(kHomePin, kBoardCount, position.abPin);
    std::copy_n(kDefaultOwnerWhite, kBoardCount, position.abWhite);
    return position;
}

std::string Reported(const std::string& text, bool unstable) {
    return "\n" + text + "\n" + (unstable ? "UNSTABLE" : "");
}

TEST(AttackBoardIdentityTest, IdentifiersSquaresPinsOwnersHomeAndUnknownIds) {
    Position position = HomePosition();
    ConsoleCapture capture;
    for (int i = 0; i < kBoardCount; ++i) {
        EXPECT_EQ(BoardIndexOf(kBoardIds[i]), i);
        EXPECT_EQ(PinOfBoard(position, kBoardIds[i]), kHomePin[i]);
        EXPECT_EQ(BoardAtPin(position, kHomePin[i]), static_cast<unsigned>(i));
        EXPECT_EQ(WhiteOwns(position, kBoardIds[i]), i % 2 == 0);
        EXPECT_TRUE(IsAttackBoardHome(position, kBoardIds[i]));
    }
    EXPECT_EQ(capture.Text(), "");  // known identifiers report nothing
    for (unsigned pin : {kPinQ2, 0u, kNoSquare}) EXPECT_EQ(BoardAtPin(position, pin), kNoBoard);
    // A board on another board's home pin is not home.
    position.abPin[0] = kPinQ6;
    position.abPin[1] = kPinQ1;
    EXPECT_FALSE(IsAttackBoardHome(position, 100));
    EXPECT_FALSE(IsAttackBoardHome(position, 106));
    for (int id : kUnknownIds) {
        capture.Clear();
        EXPECT_EQ(BoardIndexOf(id), -1) << id;
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

// The level of every board at every pin is checked through SquareLevel, and the coordinates
// of its squares through SquareCoords; here the reports of a bad board index or pin.
TEST(AttackBoardLevelTest, BadBoardIndexOrPinIsReportedAsUnstable) {
    Position position = HomePosition();
    position.abPin[2] = 33;  // a White-level square that is no pin
    for (int board : {-1, 4, 100, 2}) {
        ConsoleCapture capture;
        EXPECT_EQ(GetAttackBoardLevel(position, board), 0) << board;
        EXPECT_EQ(capture.Text(), Reported("Error! Bad which_ab @ GetAttackBoardLevel", true))
            << board;
        capture.Clear();
        Coords out{9, 8, 7};
        GetAttackBoardCoords(position, 0, 6, board, out);
        EXPECT_EQ(capture.Text(), Reported("Bad which_ab @ GetAttackBoardCoords", true)) << board;
        EXPECT_EQ((std::array{out.x, out.y, out.z}), (std::array{9.0f, 8.0f, 7.0f}));
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

// Free pins give their display bits (queen's side 1, 2, 4 for pins 1, 3, 5 and 8, 16, 32 for 2,
// 4, 6; the king's side the same shifted by 6); occupied pins and other squares give 0.
TEST(FreePinBitTest, FreePinsGiveTheirBitsOccupiedPinsAndOtherSquaresZero) {
    Position position = HomePosition();
    EXPECT_EQ(FreePinBit(position, kPinQ1), 0u);
    EXPECT_EQ(FreePinBit(position, kPinQ2), 8u);
    EXPECT_EQ(FreePinBit(position, kPinK5), 256u);
    for (unsigned square : {0u, 33u, 64u, kNoSquare}) EXPECT_EQ(FreePinBit(position, square), 0u);
    position.abPin[3] = kNoSquare;
    EXPECT_EQ(FreePinBit(position, kPinK6), 2048u);
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
        {crowded, {0, 0, 0, 0}, {0, 0, 0, 0}},
        {crowded, {1, 1, 1, 1}, {1, 1, 1, 0}},
        {{{2, -kQueen}, {13, -kQueen}, {18, -kQueen}, {29, -kQueen}}, {0, 1, 0, 1}, {1, 0, 1, 0}},
        {{}, {0, 1, 0, 1}, {1, 0, 1, 0}, kPinQ5},
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
