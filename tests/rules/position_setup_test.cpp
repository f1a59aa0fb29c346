#include "rules/position_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "board/hash.h"
#include "core/console.h"
#include "rules/initial_position.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

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
        const Position p = Initial(c.kind);
        EXPECT_EQ(SlotSquares(p, 0, 8), c.whiteOfficers) << c.kind;
        EXPECT_EQ(SlotSquares(p, 8, 8), c.whitePawns) << c.kind;
        EXPECT_EQ(SlotSquares(p, 16, 8), c.blackOfficers) << c.kind;
        EXPECT_EQ(SlotSquares(p, 24, 8), c.blackPawns) << c.kind;
        EXPECT_EQ(p.sliderMask, 0x003E003Eu);
        EXPECT_EQ(p.flags & kCastlingRights, kCastlingRights);
        EXPECT_EQ(p.hashKey, ComputeHashKey(p));
        EXPECT_EQ(p.hashKey2, ComputeHashKey2(p));
    }
}

TEST(BuildPosition, MissingRolesLeaveGapsAndBishopsSortByColour) {
    const Position p = Built("Ke1 ke8 Ra1 Rh1 Ba3");  // a3: dark, the second bishop slot
    EXPECT_EQ(p.pieces[kSlotQueen].code, 0);
    EXPECT_EQ(p.pieces[kSlotRook1].square, 56u);
    EXPECT_EQ(p.pieces[kSlotRook2].square, 0u);
    EXPECT_EQ(p.pieces[kSlotBishop1].code, 0);
    EXPECT_EQ(p.pieces[kSlotBishop2].square, 2u);
}

// A pawn on its start square gets its file's slot, and so keeps its double step, even when an
// extra officer (a third rook) needs a pawn slot too; the extra officer takes the lowest free
// one. 3D square 17 is e1 of board 116 at its home pin k1, square 42 the White level's c3.
TEST(BuildPosition, PawnsOnStartSquaresKeepTheirFileSlotBesideExtraOfficers) {
    struct Case {
        const char* pieces;
        const testing::Setup& setup;
        unsigned pawn;
        int pawnSlot, extraSlot;  // the extra rook's slot
        unsigned extra;
    };
    const Case cases[] = {
        {"Ke1 Ra1 Rh1 Rd3 Pa2 ke8", k2D, Sq("a2"), 8, 9, Sq("a1")},
        {"K16 R0 R24 R42 P17 k23", k3DTournament, 17, 10, 8, 0},
        {"K16 R0 R24 R42 P1 P9 P17 P25 P33 P41 k23", k3DStandard, 17, 10, 14, 0},
    };
    for (const Case& c : cases) {
        const Position p = Built(c.pieces, c.setup);
        EXPECT_EQ(p.squareSlot[c.pawn], c.pawnSlot) << c.pieces;
        EXPECT_TRUE(PawnMayDoubleStep(c.pawnSlot, c.pawn)) << c.pieces;
        EXPECT_EQ(p.squareSlot[c.extra], c.extraSlot) << c.pieces;
    }
    const Position fen = FromText("4k3/8/8/8/8/3R4/P7/R3K2R w - - 0 1");
    EXPECT_EQ(fen.squareSlot[Sq("a2")], 8);
}

// No king, or more pawns and extra officers than a side's eight pawn slots, is refused with a
// message.
TEST(BuildPosition, RefusesBoardsWithoutKingsOrTooManyPieces) {
    const struct {
        const char* pieces;
        const char* message;
    } cases[] = {
        {"Ke1", "\nno king"},
        {"Ke1 ke8 Pa2 Pb2 Pc2 Pd2 Pe2 Pf2 Pg2 Ph2 Pa3", "\ntoo many pieces for the piece list"},
        {"Ke1 ke8 Pa2 Pb2 Pc2 Pd2 Pe2 Pf2 Pg2 Ph3 Ra1 Rh1 Rd4",
         "\ntoo many pieces for the piece list"},
        {"Ke1 ke8 qa1 qb1 qc1 qd1 qf1 qg1 qh1 qa3 qb3 pa7", "\ntoo many pieces for the piece list"},
    };
    for (const auto& c : cases) {
        Position p;
        EXPECT_FALSE(BuildFrom(p, c.pieces)) << c.pieces;
        ConsoleCapture out;
        EXPECT_FALSE(BuildPosition(p));  // a refused build leaves the board as it was
        EXPECT_EQ(out.Text(), c.message) << c.pieces;
    }
}

// Castling rights whose king or rook is not at home are dropped, and the keys follow.
TEST(BuildPosition, CastlingRightsNeedKingAndRookAtHome) {
    // 2D: the king-side rook missing, Black's king away from e8. 3D: White's short rook (24)
    // missing, Black's king (home 23) on the Black level.
    for (const auto& [pieces, setup] :
         {std::pair{"Ke1 Ra1 ke7 ra8 rh8", k2D}, std::pair{"K16 R0 k61 r7 r31", k3DTournament}}) {
        testing::Setup rights = setup;
        rights.flags = kCastlingRights;
        const Position p = Built(pieces, rights);
        EXPECT_EQ(p.flags & kCastlingRights, kWhiteQueenSide) << pieces;
        EXPECT_EQ(p.hashKey, ComputeHashKey(p)) << pieces;
    }
}

}  // namespace
}  // namespace tarvex
