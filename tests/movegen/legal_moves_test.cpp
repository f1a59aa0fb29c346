#include "movegen/legal_moves.h"

#include <gtest/gtest.h>

#include "movegen/test_positions.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

using testing::FromText;
using testing::Generated;
using testing::Legal;
using Strings = std::vector<std::string>;

Strings Filter(const Strings& names, const std::string& prefix) {
    Strings out;
    for (const std::string& name : names) {
        if (name.rfind(prefix, 0) == 0) out.push_back(name);
    }
    return out;
}

TEST(ListLegalMoves, APromotionCountsOncePerPiece) {
    GameKindScope game(kGame2D);
    const Position p = FromText("4k3/P7/8/8/8/8/8/4K3 w - - 0 1");
    const Strings legal = Legal(p);
    EXPECT_EQ(Filter(legal, "1 6-7"), (Strings{"1 6-7 B", "1 6-7 N", "1 6-7 Q", "1 6-7 R"}));
    EXPECT_EQ(legal.size(), 4u + 5u) << "four promotions and five king moves";
}

TEST(ListLegalMoves, APlainPromotingEvasionStandsForFour) {
    GameKindScope game(kGame2D);
    // Rook a8 checks the king on h8: b7xa8, b7-b8 and c7-c8 promote, the king may go to g7, h7.
    const Position p = FromText("r6K/1PP5/8/8/8/8/8/k7 w - - 0 1");
    ASSERT_NE(p.flags & kInCheck, 0u);
    for (const std::string& name : Generated(p)) {
        EXPECT_FALSE(IsPromotionKind(name.back()))
            << name << ": evasions carry no promotion letters";
    }
    const Strings legal = Legal(p);
    EXPECT_EQ(Filter(legal, "1 14-7"), (Strings{"1 14-7 B", "1 14-7 N", "1 14-7 Q", "1 14-7 R"}));
    EXPECT_EQ(Filter(legal, "1 14-15").size(), 4u);
    EXPECT_EQ(Filter(legal, "1 22-23").size(), 4u);
    EXPECT_EQ(legal.size(), 14u);
}

TEST(ListLegalMoves, MatchesPerftAndTheVectorForm) {
    GameKindScope game(kGame2D);
    Position p = FromText("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    LegalMoveList list;
    EXPECT_EQ(ListLegalMoves(p, list), 48);
    EXPECT_EQ(LegalMoves(p).size(), 48u);
    EXPECT_EQ(Perft(p, 1), 48u);
    EXPECT_EQ(Perft(p, 0), 1u);
}

TEST(SeenMoves, EachMoveOnceWhateverItsKind) {
    detail::SeenMoves seen;
    EXPECT_TRUE(seen.Insert(MakeMoveRecord(kKnight, 8, 18, '-')));
    EXPECT_FALSE(seen.Insert(MakeMoveRecord(kKnight, 8, 18, 'x'))) << "kind is no part of it";
    EXPECT_TRUE(seen.Insert(MakeMoveRecord(kPawn, 6, 7, 'Q')));
    EXPECT_TRUE(seen.Insert(MakeMoveRecord(kPawn, 6, 7, 'N')));
    EXPECT_FALSE(seen.Insert(MakeMoveRecord(kPawn, 6, 7, 'Q')));
    // A board move between pins that are also squares of a piece move.
    EXPECT_TRUE(seen.Insert(MakeMoveRecord(kRook, 32, 2, '-')));
    EXPECT_TRUE(seen.Insert(MakeMoveRecord(100, 32, 2, 'T')));
    EXPECT_FALSE(seen.Insert(MakeMoveRecord(100, 32, 2, 'T')));
}

}  // namespace
}  // namespace tarvex
