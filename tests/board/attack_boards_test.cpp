#include "board/attack_boards.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "board/position.h"
#include "board/settings_scope.h"
#include "core/console.h"

namespace tarvex {
namespace {

constexpr int kUnknownIds[] = {0, 99, 101, 105, 107, 116 + 1, 121, 123, -100, 6};
constexpr unsigned kHomePins[4] = {kPinQ1, kPinQ6, kPinK1, kPinK6};

// The boards at their home pins with their default owners, and nothing on the board.
Position HomePosition() {
    Position position{};
    for (int i = 0; i < kBoardCount; ++i) {
        position.abPin[i] = kHomePins[i];
        position.abWhite[i] = i % 2 == 0 ? 1 : 0;
    }
    return position;
}

std::string Reported(const std::string& text, bool unstable) {
    return "\n" + text + "\n" + (unstable ? "UNSTABLE" : "");
}

TEST(AttackBoardIdentityTest, IdentifiersIndexesSquaresPinsOwnersAndHome) {
    constexpr int kIds[] = {100, 106, 116, 122};
    constexpr unsigned kLowest[] = {0, 6, 16, 22};
    Position position = HomePosition();
    ConsoleCapture capture;
    for (int i = 0; i < kBoardCount; ++i) {
        EXPECT_EQ(BoardIndexOf(kIds[i]), i);
        EXPECT_EQ(kBoardIds[i], kIds[i]);
        for (unsigned offset : {0u, 1u, 8u, 9u}) {
            EXPECT_EQ(AttackBoardOfSquare(kLowest[i] + offset), i) << offset;
        }
        EXPECT_EQ(PinOfBoard(position, kIds[i]), kHomePins[i]);
        EXPECT_EQ(BoardAtPin(position, kHomePins[i]), static_cast<unsigned>(i));
        EXPECT_EQ(WhiteOwns(position, kIds[i]), i % 2 == 0);
        EXPECT_TRUE(IsAttackBoardHome(position, kIds[i]));
    }
    EXPECT_EQ(capture.Text(), "");  // known identifiers report nothing
    for (int id : kUnknownIds) EXPECT_EQ(BoardIndexOf(id), -1) << id;
    for (unsigned pin : {kPinQ2, 0u, kNoSquare}) EXPECT_EQ(BoardAtPin(position, pin), kNoBoard);
    // A board away from its pin is not home, even on another board's home pin.
    position.abPin[0] = kPinQ3;
    EXPECT_FALSE(IsAttackBoardHome(position, 100));
    EXPECT_TRUE(IsAttackBoardHome(position, 106));
    position.abPin[0] = kPinQ6;
    position.abPin[1] = kPinQ1;
    EXPECT_FALSE(IsAttackBoardHome(position, 100));
    EXPECT_FALSE(IsAttackBoardHome(position, 106));
}

TEST(AttackBoardErrorTest, UnknownIdentifiersAreReportedWithTheirMessages) {
    const Position position = HomePosition();
    for (int id : kUnknownIds) {
        ConsoleCapture capture;
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
// of its squares through SquareCoords.
TEST(AttackBoardLevelTest, BadBoardIndexOrPinIsReportedAsUnstable) {
    Position position = HomePosition();
    position.abPin[2] = 33;  // a White-level square that is no pin
    for (int board : {-1, 4, 100, 2}) {
        ConsoleCapture capture;
        EXPECT_EQ(GetAttackBoardLevel(position, board), 0) << board;
        EXPECT_EQ(capture.Text(), Reported("Error! Bad which_ab @ GetAttackBoardLevel", true))
            << board;
    }
}

TEST(AttackBoardCoordsTest, BadBoardOrPinReportsAndLeavesTheOutputAlone) {
    Position position = HomePosition();
    position.abPin[1] = 40;
    for (int board : {-1, 4, 1}) {
        ConsoleCapture capture;
        Coords out{9, 8, 7};
        GetAttackBoardCoords(position, 0, 6, board, out);
        EXPECT_EQ(capture.Text(), Reported("Bad which_ab @ GetAttackBoardCoords", true)) << board;
        EXPECT_EQ(out.x, 9.0f);
        EXPECT_EQ(out.y, 8.0f);
        EXPECT_EQ(out.z, 7.0f);
    }
}

TEST(AttackBoardNameTest, PinNamesInBothStylesAndShortNames) {
    const struct {
        unsigned pin;
        const char* longName;
        const char* algName;
        const char* shortName;
    } names[] = {{32, "QL1", "Q1", "q1"}, {35, "QL2", "Q2", "q2"}, {2, "QL3", "Q3", "q3"},
                 {5, "QL4", "Q4", "q4"},  {36, "QL5", "Q5", "q5"}, {39, "QL6", "Q6", "q6"},
                 {56, "KL1", "K1", "k1"}, {59, "KL2", "K2", "k2"}, {26, "KL3", "K3", "k3"},
                 {29, "KL4", "K4", "k4"}, {60, "KL5", "K5", "k5"}, {63, "KL6", "K6", "k6"}};
    ConsoleCapture capture;
    for (const auto& n : names) {
        EXPECT_STREQ(PinName(n.pin, false), n.longName);
        EXPECT_STREQ(PinName(n.pin, true), n.algName);
        EXPECT_STREQ(ShortPinName(n.pin), n.shortName);
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

// A board square names the pin its board stands at, a pin square the board standing there;
// anything else falls back to board 122 with a report.
TEST(GetABStringTest, NamesInEachNotationAndTheFallbacks) {
    struct Case {
        int notation;
        int board;  // moved to pin before the lookup; -1: none
        unsigned pin, square;
        const char* name;
        const char* report;
    };
    const Case cases[] = {
        {kNotationTournament, -1, 0, 9, "QL1", ""},
        {kNotationTournament, -1, 0, 31, "KL6", ""},
        {kNotationTournament, 0, kPinK3, 9, "KL3", ""},  // a board keeps its squares
        {kNotationTournament, 1, kPinQ2, 35, "QL2", ""},
        {kNotationTournament, 1, kPinQ2, kPinK1, "KL1", ""},
        {kNotationAlgebraic, 1, kPinQ2, 35, "Q2", ""},
        {kNotationAlgebraic, 1, kPinQ2, 9, "Q1", ""},
        {kNotationStandard, 1, kPinQ2, 35, "QL2", ""},
        {kNotationTournament, -1, 0, 40, "KL6", "\n40\nNon-AB for string @ GetABString!\n"},
        {kNotationTournament, -1, 0, 35, "KL6", "\n35\nNon-AB for string @ GetABString!\n"},
        {kNotationTournament, -1, 0, 2, "KL6", "\n2\nNon-AB for string @ GetABString!\n"},
        {kNotationTournament, -1, 0, 64, "KL6", "\n64\nNon-AB for string @ GetABString!\n"},
        {kNotationTournament, -1, 0, kNoSquare, "KL6", "\n65\nNon-AB for string @ GetABString!\n"},
        {kNotationTournament, 3, 40, 31, "", "\nWarning: Can't find AB string!\nUNSTABLE"},
    };
    for (const Case& c : cases) {
        SettingScope notation(GetSettings().notation, c.notation);
        Position position = HomePosition();
        if (c.board >= 0) position.abPin[c.board] = c.pin;
        ConsoleCapture capture;
        EXPECT_STREQ(GetABString(position, c.square), c.name) << c.square;
        EXPECT_EQ(capture.Text(), c.report) << c.square;
    }
}

TEST(FreePinBitTest, FreePinsGiveTheirCodesOccupiedPinsAndOtherSquaresZero) {
    Position position = HomePosition();
    const struct {
        unsigned pin;
        unsigned bit;
    } codes[] = {{kPinQ1, 1},   {kPinQ3, 2},   {kPinQ5, 4},    {kPinQ2, 8},
                 {kPinQ4, 16},  {kPinQ6, 32},  {kPinK1, 64},   {kPinK3, 128},
                 {kPinK5, 256}, {kPinK2, 512}, {kPinK4, 1024}, {kPinK6, 2048}};
    position.abPin[0] = position.abPin[1] = position.abPin[2] = position.abPin[3] = kNoSquare;
    for (const auto& c : codes) EXPECT_EQ(FreePinBit(position, c.pin), c.bit) << c.pin;
    position = HomePosition();
    EXPECT_EQ(FreePinBit(position, kPinQ1), 0u);
    EXPECT_EQ(FreePinBit(position, kPinK6), 0u);
    EXPECT_EQ(FreePinBit(position, kPinQ2), 8u);
    for (unsigned square : {0u, 33u, 64u, kNoSquare}) EXPECT_EQ(FreePinBit(position, square), 0u);
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
    std::vector<std::pair<unsigned, int>> beside;
    for (unsigned square : {2u, 10u, 5u, 13u, 18u, 26u, 21u, 29u, 32u, 63u}) {
        beside.emplace_back(square, -kQueen);
    }
    const Case cases[] = {
        {{}, {0, 1, 0, 1}, {1, 0, 1, 0}},
        {{{9, -kPawn}, {17, -kKing}, {14, kKnight}, {22, kQueen}}, {1, 0, 1, 0}, {0, 1, 0, 1}},
        {crowded, {0, 0, 0, 0}, {0, 0, 0, 0}},
        {crowded, {1, 1, 1, 1}, {1, 1, 1, 0}},
        {beside, {0, 1, 0, 1}, {1, 0, 1, 0}},
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
