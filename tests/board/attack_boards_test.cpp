#include "board/attack_boards.h"

#include <gtest/gtest.h>

#include <string>

#include "board/position.h"
#include "board/settings_scope.h"
#include "core/console.h"

namespace tarvex {
namespace {

constexpr int kUnknownIds[] = {0, 99, 101, 105, 107, 116 + 1, 121, 123, -100, 6};

// The boards at their home pins with their default owners, and nothing on the board.
Position HomePosition() {
    Position position{};
    const uint32_t pins[4] = {kPinQ1, kPinQ6, kPinK1, kPinK6};
    for (int i = 0; i < kBoardCount; ++i) {
        position.abPin[i] = pins[i];
        position.abWhite[i] = kDefaultOwnerWhite[i];
    }
    return position;
}

std::string Reported(const std::string& text, bool unstable) {
    std::string report = "\n";
    report.append(text).append("\n").append(unstable ? "UNSTABLE" : "");
    return report;
}

TEST(AttackBoardIdentityTest, IdentifiersIndexesAndBaseSquares) {
    EXPECT_EQ(BoardIndexOf(100), 0);
    EXPECT_EQ(BoardIndexOf(106), 1);
    EXPECT_EQ(BoardIndexOf(116), 2);
    EXPECT_EQ(BoardIndexOf(122), 3);
    for (int id : kUnknownIds) EXPECT_EQ(BoardIndexOf(id), -1) << id;
    for (int i = 0; i < kBoardCount; ++i) {
        EXPECT_EQ(kBoardIds[i], 100 + static_cast<int>(kBoardBase[i]));
        for (unsigned offset : {0u, 1u, 8u, 9u}) {
            EXPECT_EQ(AttackBoardOfSquare(kBoardBase[i] + offset), i) << offset;
        }
    }
}

TEST(AttackBoardHomeTest, InitialPlacementIsHomeWithDefaultOwners) {
    const Position position = HomePosition();
    EXPECT_EQ(PinOfBoard(position, 100), kPinQ1);
    EXPECT_EQ(PinOfBoard(position, 106), kPinQ6);
    EXPECT_EQ(PinOfBoard(position, 116), kPinK1);
    EXPECT_EQ(PinOfBoard(position, 122), kPinK6);
    for (int id : kBoardIds) EXPECT_TRUE(IsAttackBoardHome(position, id)) << id;
    EXPECT_TRUE(WhiteOwns(position, 100));
    EXPECT_FALSE(WhiteOwns(position, 106));
    EXPECT_TRUE(WhiteOwns(position, 116));
    EXPECT_FALSE(WhiteOwns(position, 122));
}

TEST(AttackBoardHomeTest, ABoardAwayFromItsPinIsNotHomeEvenOnAnotherHomePin) {
    Position position = HomePosition();
    position.abPin[0] = kPinQ3;
    EXPECT_FALSE(IsAttackBoardHome(position, 100));
    EXPECT_TRUE(IsAttackBoardHome(position, 106));
    position.abPin[0] = kPinQ6;  // the other queen's-side board's home
    position.abPin[1] = kPinQ1;
    EXPECT_FALSE(IsAttackBoardHome(position, 100));
    EXPECT_FALSE(IsAttackBoardHome(position, 106));
}

TEST(AttackBoardHomeTest, BoardAtPinFindsTheBoardOrNone) {
    const Position position = HomePosition();
    EXPECT_EQ(BoardAtPin(position, kPinQ1), 0u);
    EXPECT_EQ(BoardAtPin(position, kPinK6), 3u);
    EXPECT_EQ(BoardAtPin(position, kPinQ2), kNoBoard);
    EXPECT_EQ(BoardAtPin(position, 0), kNoBoard);
    EXPECT_EQ(BoardAtPin(position, kNoSquare), kNoBoard);
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

TEST(AttackBoardErrorTest, KnownIdentifiersReportNothing) {
    const Position position = HomePosition();
    ConsoleCapture capture;
    for (int id : kBoardIds) {
        PinOfBoard(position, id);
        WhiteOwns(position, id);
        IsAttackBoardHome(position, id);
    }
    EXPECT_EQ(capture.Text(), "");
}

TEST(AttackBoardLevelTest, LevelFollowsThePinRow) {
    Position position = HomePosition();
    const struct {
        unsigned pin;
        int level;
    } cases[] = {{kPinQ1, 3}, {kPinQ2, 3}, {kPinK1, 3}, {kPinK2, 3}, {kPinQ3, 5}, {kPinQ4, 5},
                 {kPinK3, 5}, {kPinK4, 5}, {kPinQ5, 7}, {kPinQ6, 7}, {kPinK5, 7}, {kPinK6, 7}};
    for (const auto& c : cases) {
        for (int board = 0; board < kBoardCount; ++board) {
            Position moved = position;
            moved.abPin[board] = c.pin;
            EXPECT_EQ(GetAttackBoardLevel(moved, board), c.level) << c.pin << " " << board;
        }
    }
}

TEST(AttackBoardLevelTest, BadBoardIndexOrPinIsReportedAsUnstable) {
    Position position = HomePosition();
    const std::string message = Reported("Error! Bad which_ab @ GetAttackBoardLevel", true);
    for (int board : {-1, 4, 100}) {
        ConsoleCapture capture;
        EXPECT_EQ(GetAttackBoardLevel(position, board), 0) << board;
        EXPECT_EQ(capture.Text(), message) << board;
    }
    position.abPin[2] = 33;  // a White-level square that is no pin
    ConsoleCapture capture;
    EXPECT_EQ(GetAttackBoardLevel(position, 2), 0);
    EXPECT_EQ(capture.Text(), message);
}

TEST(AttackBoardCoordsTest, SquaresOfEachBoardAtEachPin) {
    // Pin, board index, square (column, row) -> expected x, y, z.
    const struct {
        unsigned pin;
        int board;
        unsigned column, row;
        float x, y, z;
    } cases[] = {
        {kPinQ1, 0, 0, 0, -3, -5, -1}, {kPinQ1, 0, 1, 1, -2, -4, -1}, {kPinQ3, 0, 0, 1, -3, -2, 1},
        {kPinQ2, 1, 0, 6, -3, -1, -1}, {kPinQ4, 1, 1, 7, -2, 2, 1},   {kPinQ5, 1, 0, 6, -3, -1, 3},
        {kPinQ6, 1, 1, 7, -2, 4, 3},   {kPinK1, 2, 2, 0, 1, -5, -1},  {kPinK1, 2, 3, 1, 2, -4, -1},
        {kPinK3, 2, 3, 0, 2, -3, 1},   {kPinK6, 3, 2, 6, 1, 3, 3},    {kPinK6, 3, 3, 7, 2, 4, 3},
    };
    Position position = HomePosition();
    for (const auto& c : cases) {
        position.abPin[c.board] = c.pin;
        Coords out{9, 9, 9};
        GetAttackBoardCoords(position, c.column, c.row, c.board, out);
        EXPECT_EQ(out.x, c.x) << c.pin << " " << c.column << "," << c.row;
        EXPECT_EQ(out.y, c.y) << c.pin << " " << c.column << "," << c.row;
        EXPECT_EQ(out.z, c.z) << c.pin << " " << c.column << "," << c.row;
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
}

TEST(AttackBoardNameTest, UnknownPinGivesNoNameAndAReport) {
    for (unsigned pin : {0u, 33u, 64u, kNoSquare}) {
        ConsoleCapture capture;
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

TEST(GetABStringTest, BoardSquareNamesThePinOfItsBoard) {
    SettingScope notation(GetSettings().notation, kNotationTournament);
    Position position = HomePosition();
    ConsoleCapture capture;
    EXPECT_STREQ(GetABString(position, 9), "QL1");
    EXPECT_STREQ(GetABString(position, 31), "KL6");
    position.abPin[0] = kPinK3;  // a board keeps its squares wherever it stands
    EXPECT_STREQ(GetABString(position, 9), "KL3");
    EXPECT_EQ(capture.Text(), "");
}

TEST(GetABStringTest, PinSquareNamesTheBoardStandingThere) {
    SettingScope notation(GetSettings().notation, kNotationTournament);
    Position position = HomePosition();
    position.abPin[1] = kPinQ2;
    ConsoleCapture capture;
    EXPECT_STREQ(GetABString(position, 35), "QL2");
    EXPECT_STREQ(GetABString(position, kPinK1), "KL1");
    EXPECT_EQ(capture.Text(), "");
}

TEST(GetABStringTest, AlgebraicNotationUsesTheShortCapitalNames) {
    SettingScope notation(GetSettings().notation, kNotationAlgebraic);
    Position position = HomePosition();
    position.abPin[1] = kPinQ2;
    EXPECT_STREQ(GetABString(position, 35), "Q2");
    EXPECT_STREQ(GetABString(position, 9), "Q1");
    SettingScope standard(GetSettings().notation, kNotationStandard);
    EXPECT_STREQ(GetABString(position, 35), "QL2");
}

TEST(GetABStringTest, NeitherBoardSquareNorOccupiedPinFallsBackToBoard122) {
    SettingScope notation(GetSettings().notation, kNotationTournament);
    const Position position = HomePosition();
    for (unsigned square : {40u, 35u, 2u, 64u, kNoSquare}) {
        ConsoleCapture capture;
        EXPECT_STREQ(GetABString(position, square), "KL6") << square;
        std::string expected = "\n";
        expected.append(std::to_string(square))
            .append(Reported("Non-AB for string @ GetABString!", false));
        EXPECT_EQ(capture.Text(), expected);
    }
}

TEST(GetABStringTest, BoardAtNoPinGivesAWarningAndNoName) {
    Position position = HomePosition();
    position.abPin[3] = 40;
    ConsoleCapture capture;
    EXPECT_STREQ(GetABString(position, 31), "");
    EXPECT_EQ(capture.Text(), Reported("Warning: Can't find AB string!", true));
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

class BoardOwnersTest : public ::testing::Test {
protected:
    void SetOwners(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
        position_.abWhite[0] = a;
        position_.abWhite[1] = b;
        position_.abWhite[2] = c;
        position_.abWhite[3] = d;
    }
    Position position_ = HomePosition();
};

TEST_F(BoardOwnersTest, EmptyBoardsRevertToTheirDefaultOwners) {
    SetOwners(0, 1, 0, 1);
    ComputeBoardOwners(position_);
    for (int i = 0; i < kBoardCount; ++i) EXPECT_EQ(position_.abWhite[i], kDefaultOwnerWhite[i]);
}

TEST_F(BoardOwnersTest, OnePieceGivesTheBoardToItsSide) {
    position_.board[9] = -kPawn;    // board 100, a White board by default
    position_.board[17] = -kKing;   // board 116
    position_.board[14] = kKnight;  // board 106, a Black board by default
    position_.board[22] = kQueen;   // board 122
    ComputeBoardOwners(position_);
    EXPECT_EQ(position_.abWhite[0], 0u);
    EXPECT_EQ(position_.abWhite[1], 1u);
    EXPECT_EQ(position_.abWhite[2], 0u);
    EXPECT_EQ(position_.abWhite[3], 1u);
}

TEST_F(BoardOwnersTest, TwoOrMorePiecesKeepThePreviousOwner) {
    position_.board[0] = kRook;  // both colours on board 100
    position_.board[1] = -kRook;
    position_.board[6] = kPawn;  // two White pieces on board 106, which Black owns
    position_.board[7] = kPawn;
    position_.board[16] = kPawn;  // all four squares of board 116, owned by Black
    position_.board[17] = kPawn;
    position_.board[24] = kPawn;
    position_.board[25] = kPawn;
    SetOwners(0, 0, 0, 0);
    ComputeBoardOwners(position_);
    EXPECT_EQ(position_.abWhite[0], 0u);
    EXPECT_EQ(position_.abWhite[1], 0u);
    EXPECT_EQ(position_.abWhite[2], 0u);
    EXPECT_EQ(position_.abWhite[3], 0u);  // empty: default owner is Black
    SetOwners(1, 1, 1, 1);
    ComputeBoardOwners(position_);
    EXPECT_EQ(position_.abWhite[0], 1u);
    EXPECT_EQ(position_.abWhite[1], 1u);
    EXPECT_EQ(position_.abWhite[2], 1u);
    EXPECT_EQ(position_.abWhite[3], 0u);
}

TEST_F(BoardOwnersTest, PiecesOffTheBoardSquaresDoNotCount) {
    // Neutral and main-level squares next to the boards' squares.
    for (unsigned square : {2u, 10u, 5u, 13u, 18u, 26u, 21u, 29u, 32u, 63u}) {
        position_.board[square] = -kQueen;
    }
    SetOwners(0, 1, 0, 1);
    ComputeBoardOwners(position_);
    for (int i = 0; i < kBoardCount; ++i) EXPECT_EQ(position_.abWhite[i], kDefaultOwnerWhite[i]);
}

TEST_F(BoardOwnersTest, OwnerFollowsTheBoardNotThePin) {
    position_.abPin[0] = kPinQ5;  // board 100 moved to the Black end
    ComputeBoardOwners(position_);
    EXPECT_EQ(position_.abWhite[0], 1u);
    position_.board[8] = -kBishop;
    ComputeBoardOwners(position_);
    EXPECT_EQ(position_.abWhite[0], 0u);
}

}  // namespace
}  // namespace tarvex
