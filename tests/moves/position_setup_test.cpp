#include "moves/position_setup.h"

#include <gtest/gtest.h>

#include "board/hash.h"
#include "core/console.h"
#include "core/settings.h"
#include "moves/initial_position.h"
#include "moves/test_positions.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

std::vector<unsigned> SlotSquares(const Position& p, int first, int count) {
    std::vector<unsigned> squares;
    for (int slot = first; slot < first + count; ++slot) squares.push_back(p.pieces[slot].square);
    return squares;
}

TEST(BuildPosition, InitialSlotTablesOfBothGames) {
    struct Expected {
        int kind;
        std::vector<unsigned> whiteOfficers, whitePawns, blackOfficers, blackPawns;
    };
    const Expected cases[] = {
        {kGame2D,
         {32, 24, 56, 0, 40, 16, 48, 8},
         {1, 9, 17, 25, 33, 41, 49, 57},
         {39, 31, 63, 7, 47, 23, 55, 15},
         {6, 14, 22, 30, 38, 46, 54, 62}},
        {kGame3D,
         {16, 8, 24, 0, 40, 48, 56, 32},
         {1, 9, 17, 25, 33, 41, 49, 57},
         {23, 15, 31, 7, 47, 55, 63, 39},
         {6, 14, 22, 30, 38, 46, 54, 62}},
    };
    for (const Expected& c : cases) {
        GameKindScope kind(c.kind);
        ConsoleCapture quiet;
        Position p;
        ASSERT_EQ(SetUpInitialPosition(p), 1);
        EXPECT_EQ(SlotSquares(p, 0, 8), c.whiteOfficers) << c.kind;
        EXPECT_EQ(SlotSquares(p, 8, 8), c.whitePawns) << c.kind;
        EXPECT_EQ(SlotSquares(p, 16, 8), c.blackOfficers) << c.kind;
        EXPECT_EQ(SlotSquares(p, 24, 8), c.blackPawns) << c.kind;
        EXPECT_EQ(p.pieceMask, 0xFFFFFFFFu);
        EXPECT_EQ(p.officerMask, 0x00FF00FFu);
        EXPECT_EQ(p.sliderMask, 0x003E003Eu);
        EXPECT_EQ(p.flags & kCastlingRights, kCastlingRights);
        EXPECT_EQ(p.hashKey, ComputeHashKey(p));
        EXPECT_EQ(p.hashKey2, ComputeHashKey2(p));
        EXPECT_EQ(p.hashKey & 1, 0u);
        EXPECT_EQ(p.hashKey >> 16 & 15, 15u);
    }
}

TEST(BuildPosition, MissingRolesLeaveGapsAndBishopsSortByColour) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, "Ke1 ke8 Ra1 Rh1 Ba3"));  // a3: dark, the second bishop slot
    EXPECT_EQ(p.pieces[kSlotQueen].code, 0);
    EXPECT_EQ(p.pieces[kSlotRook1].square, 56u);
    EXPECT_EQ(p.pieces[kSlotRook2].square, 0u);
    EXPECT_EQ(p.pieces[kSlotBishop1].code, 0);
    EXPECT_EQ(p.pieces[kSlotBishop2].square, 2u);
}

TEST(BuildPosition, RefusesBoardsWithoutKingsOrTooManyPieces) {
    GameKindScope kind(kGame2D);
    {
        ConsoleCapture out;
        Position p{};
        p.board[32] = kKing;
        EXPECT_EQ(BuildPosition(p), 0);
        EXPECT_EQ(out.Text(), "\nno king");
    }
    {
        ConsoleCapture out;
        Position p{};
        p.board[32] = kKing;
        p.board[39] = -kKing;
        for (unsigned s : {0u, 8u, 16u, 24u, 40u, 48u, 56u, 3u, 11u}) p.board[s] = kQueen;
        for (unsigned s : {1u, 9u, 17u, 25u, 33u, 41u, 49u}) p.board[s] = kPawn;
        EXPECT_EQ(BuildPosition(p), 0);
        EXPECT_EQ(out.Text(), "\ntoo many pieces for the piece list");
    }
}

TEST(BuildPosition, CastlingRightsNeedKingAndRookAtHome) {
    GameKindScope kind(kGame2D);
    Position p;
    // The king-side rook missing; Black's king away from e8.
    ASSERT_TRUE(BuildFrom(p, "Ke1 Ra1 ke7 ra8 rh8", {.flags = kCastlingRights}));
    EXPECT_EQ(p.flags & kCastlingRights, kWhiteQueenSide);
    EXPECT_EQ(p.hashKey, ComputeHashKey(p));
}

TEST(BuildPosition, CastlingRightsNeedKingAndRookAtHome3D) {
    GameKindScope kind(kGame3D);
    ConsoleCapture quiet;
    Position p;
    ASSERT_EQ(SetUpInitialPosition(p), 1);
    p.board[24] = 0;  // White's short rook gone
    p.board[23] = 0;  // Black's king away from home
    p.board[61] = -kKing;
    p.flags = kCastlingRights;
    ASSERT_EQ(BuildPosition(p), 1);
    EXPECT_EQ(p.flags & kCastlingRights, kWhiteQueenSide);
    EXPECT_EQ(p.hashKey, ComputeHashKey(p));
    EXPECT_EQ(p.hashKey2, ComputeHashKey2(p));
}

TEST(BuildPosition, BlackToMoveSetsTheSideBit) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, "Ke1 ke8", {.ply = 7}));
    EXPECT_EQ(p.hashKey & 1, 1u);
    EXPECT_EQ(p.hashKey, ComputeHashKey(p));
}

TEST(BuildPosition, PawnsOnStartSquaresKeepTheirDoubleStep) {
    for (int game : {kGame2D, kGame3D}) {
        GameKindScope kind(game);
        ConsoleCapture quiet;
        Position p;
        ASSERT_EQ(SetUpInitialPosition(p), 1);
        // Leave one pawn of each side: White's on its fifth file, Black's on its second.
        for (int slot = 8; slot < 16; ++slot) {
            if (slot != 12) p.board[p.pieces[slot].square] = 0;
        }
        for (int slot = 24; slot < 32; ++slot) {
            if (slot != 25) p.board[p.pieces[slot].square] = 0;
        }
        ASSERT_EQ(BuildPosition(p), 1);
        const int white = p.squareSlot[33], black = p.squareSlot[14];
        EXPECT_EQ(white, 12) << game;
        EXPECT_EQ(black, 25) << game;
        EXPECT_TRUE(PawnMayDoubleStep(white, 33));
        EXPECT_TRUE(PawnMayDoubleStep(black, 14));
        EXPECT_FALSE(PawnMayDoubleStep(white, 34));
    }
}

}  // namespace
}  // namespace tarvex
