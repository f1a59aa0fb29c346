#include "rules/position_setup.h"

#include <gtest/gtest.h>

#include <utility>

#include "board/hash.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

// A pawn on its start square gets its file's slot, and so keeps its double step, even when an
// extra officer (a third rook) needs a pawn slot too. 3D square 17 is e1 of board 116 at k1.
TEST(BuildPosition, PawnsOnStartSquaresKeepTheirDoubleStepBesideExtraOfficers) {
    const struct {
        const char* pieces;
        const testing::Setup& setup;
        unsigned pawn;
    } cases[] = {
        {"Ke1 Ra1 Rh1 Rd3 Pa2 ke8", k2D, Sq("a2")},
        {"K16 R0 R24 R42 P1 P9 P17 P25 P33 P41 k23", k3DStandard, 17},
    };
    for (const auto& c : cases) {
        const Position p = Built(c.pieces, c.setup);
        EXPECT_TRUE(PawnMayDoubleStep(p.squareSlot[c.pawn], c.pawn)) << c.pieces;
    }
}

// No king, or more pawns and extra officers than a side's eight pawn slots, is refused.
TEST(BuildPosition, RefusesBoardsWithoutKingsOrTooManyPieces) {
    for (const char* pieces : {"Ke1", "Ke1 ke8 Pa2 Pb2 Pc2 Pd2 Pe2 Pf2 Pg2 Ph3 Ra1 Rh1 Rd4"}) {
        Position p;
        EXPECT_FALSE(BuildFrom(p, pieces)) << pieces;
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
