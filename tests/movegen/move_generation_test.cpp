#include "movegen/move_generation.h"

#include <gtest/gtest.h>

#include "board/hash.h"
#include "core/console.h"
#include "movegen/attacks.h"
#include "movegen/random_positions.h"
#include "movegen/test_positions.h"
#include "moves/attack_generation.h"
#include "moves/initial_position.h"
#include "moves/make_move.h"
#include "moves/piece_ops.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

using testing::Contains;
using testing::FromText;
using testing::Generated;
using testing::Squares3D;
using Strings = std::vector<std::string>;

Strings MovesOfPiece(const Strings& names, const std::string& prefix) {
    Strings out;
    for (const std::string& name : names) {
        if (name.rfind(prefix, 0) == 0) out.push_back(name);
    }
    return out;
}

TEST(GenerateMoves, InitialPosition2DHasSixteenPawnMovesAndFourKnightMoves) {
    GameKindScope game(kGame2D);
    Position p;
    ASSERT_EQ(SetUpInitialPosition(p), 1);
    const Strings names = Generated(p);
    EXPECT_EQ(names.size(), 20u);
    EXPECT_EQ(MovesOfPiece(names, "1 ").size(), 16u);
    EXPECT_EQ(MovesOfPiece(names, "2 "),
              (Strings{"2 8-2 -", "2 8-18 -", "2 48-42 -", "2 48-58 -"}));
    EXPECT_TRUE(Contains(names, "1 33-35 -")) << "e2-e4";
}

TEST(GenerateMoves, PromotionsFollowAtTheEndInOrderQueenBishopRookKnight) {
    GameKindScope game(kGame2D);
    // White pawn a7 (6), Black rook b8 (15): a7xb8 from the attack masks, a7-a8 as a push.
    const Strings names = Generated(FromText("1r5k/P7/8/8/8/8/8/4K3 w - - 0 1"));
    ASSERT_GE(names.size(), 10u);
    EXPECT_TRUE(Contains(names, "1 6-15 x"));
    EXPECT_TRUE(Contains(names, "1 6-7 -"));
    EXPECT_EQ(Strings(names.end() - 8, names.end()),
              (Strings{"1 6-15 Q", "1 6-15 B", "1 6-15 R", "1 6-15 N", "1 6-7 Q", "1 6-7 B",
                       "1 6-7 R", "1 6-7 N"}));
}

TEST(GenerateMoves, PawnOnItsStartSquareDoubleStepsInAnEditedPosition) {
    GameKindScope game(kGame2D);
    // The only White pawn: it stands on e2 and may still go to e4.
    const Strings names = Generated(FromText("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1"));
    EXPECT_EQ(MovesOfPiece(names, "1 "), (Strings{"1 33-34 -", "1 33-35 -"}));
}

TEST(GenerateMoves, CastlingNeedsAKingThatIsNotAttackedAndASafePath) {
    GameKindScope game(kGame2D);
    EXPECT_TRUE(Contains(Generated(FromText("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1")), "6 32-48 S"));
    EXPECT_TRUE(Contains(Generated(FromText("4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1")), "6 32-16 L"));
    // A rook on e8 attacks the king: neither castling.
    Strings names = Generated(FromText("4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1"));
    EXPECT_FALSE(Contains(names, "6 32-48 S"));
    EXPECT_FALSE(Contains(names, "6 32-16 L"));
    // A rook on f8 covers f1: no short castling; b1 may be attacked.
    names = Generated(FromText("1r3rk1/8/8/8/8/8/8/R3K2R w KQ - 0 1"));
    EXPECT_FALSE(Contains(names, "6 32-48 S"));
    EXPECT_TRUE(Contains(names, "6 32-16 L"));
}

TEST(GenerateMoves, Castling3DExchangesKingAndRookUnlessTheKingIsAttacked) {
    GameKindScope game(kGame3D);
    const std::string pieces = Squares3D({{0, 'R'}, {16, 'K'}, {24, 'R'}, {45, 'k'}});
    Strings names = Generated(FromText(pieces + " q1w,q6b,k1w,k6b w KQ -"));
    EXPECT_TRUE(Contains(names, "6 16-24 S"));
    EXPECT_TRUE(Contains(names, "6 16-8 L"));
    // A Black rook on the e-file attacks e0 (the king's square 16) through e1 and e2.
    std::string checked = pieces;
    checked[59] = 'r';  // e4 on the White level
    names = Generated(FromText(checked + " q1w,q6b,k1w,k6b w KQ -"));
    EXPECT_FALSE(Contains(names, "6 16-24 S"));
    EXPECT_FALSE(Contains(names, "6 16-8 L"));
}

TEST(GenerateMoves, Castling3DDropsARightWhoseRookHasLeft) {
    GameKindScope game(kGame3D);
    Position p = FromText(Squares3D({{0, 'R'}, {16, 'K'}, {24, 'R'}, {45, 'k'}}) +
                          " q1w,q6b,k1w,k6b w KQ -");
    RemovePiece(p, p.squareSlot[24]);  // the king-side rook vanishes without a move
    ASSERT_EQ(RegenToPieces(p), 1);
    ASSERT_NE(p.flags & kWhiteKingSide, 0u);
    const Strings names = Generated(p);
    Move moves[kMaxMoves];
    GenerateMoves(p, moves);
    EXPECT_EQ(p.flags & kCastlingRights, kWhiteQueenSide);
    EXPECT_EQ(p.hashKey, ComputeHashKey(p));
    EXPECT_FALSE(Contains(names, "6 16-24 S"));
    EXPECT_TRUE(Contains(names, "6 16-8 L"));
}

// The moves of one White pawn in 3D positions.
TEST(GenerateMoves, PawnSteps3D) {
    const std::string home = " q1w,q6b,k1w,k6b w - -";
    // A Black knight on the White level's c3 (42) blocks one of the two single steps of the pawn
    // on c2 (41); the neutral level's c3 (10) is free. Standard rules keep the White level closed
    // (c4 there is out) and open the neutral level's c4 (11).
    const std::string blocked = Squares3D({{41, 'P'}, {42, 'n'}, {56, 'K'}, {63, 'k'}}) + home;
    // The pawn on square 9 (b1 on board 100) has one single step, to the White level's b2 (33),
    // where a knight stands: no jump to b3 on the neutral level under either rule.
    const std::string jump = Squares3D({{9, 'P'}, {33, 'N'}, {42, 'K'}, {45, 'k'}}) + home;
    const std::string onBoard = Squares3D({{9, 'P'}, {42, 'K'}, {45, 'k'}});
    const struct {
        std::string text;
        int rules;
        Strings moves;
    } cases[] = {
        {blocked, kRulesTournament, {"1 41-10 -"}},
        {blocked, kRulesStandard, {"1 41-10 -", "1 41-11 -"}},
        {jump, kRulesTournament, {}},
        {jump, kRulesStandard, {}},
        {onBoard + home, kRulesTournament, {"1 9-33 -", "1 9-34 -", "1 9-2 -"}},
        // Board 100 at q3 puts square 9 on b3: single steps to b4 on two levels, nothing further.
        {onBoard + " q3w,q6b,k1w,k6b w - -", kRulesTournament, {"1 9-35 -", "1 9-3 -"}},
    };
    for (const auto& c : cases) {
        GameKindScope game(kGame3D, c.rules);
        EXPECT_EQ(MovesOfPiece(Generated(FromText(c.text)), "1 "), c.moves)
            << c.text << ", rules " << c.rules;
    }
}

TEST(GenerateMoves, EnPassant3DOnlyWithASquareAndOnlyOntoEmptySquares) {
    GameKindScope game(kGame3D, kRulesTournament);
    // Black pawn c7 (46), White pawn d5 on the neutral level (20), a Black knight on the
    // neutral level's c6 (13).
    const std::string pieces = Squares3D({{46, 'p'}, {20, 'P'}, {13, 'n'}, {56, 'K'}, {63, 'k'}});
    Position p = FromText(pieces + " q1w,q6b,k1w,k6b b - -");
    Move doubleStep = MakeMoveRecord(-kPawn, 46, 44, '-');
    Position child;
    {
        ConsoleCapture quiet;
        ASSERT_EQ(MakeMove(child, p, doubleStep), 1);
    }
    ASSERT_EQ(child.epSquare, 45u) << "c6 on the Black level";
    const Strings names = MovesOfPiece(Generated(child), "1 ");
    EXPECT_TRUE(Contains(names, "1 20-45 e")) << "onto the empty c6";
    EXPECT_TRUE(Contains(names, "1 20-13 x")) << "an ordinary capture of the knight";
    EXPECT_FALSE(Contains(names, "1 20-13 e"));
    // The same pawns with no en-passant square: no diagonal move onto an empty square.
    Position none = FromText(Squares3D({{44, 'p'}, {20, 'P'}, {13, 'n'}, {56, 'K'}, {63, 'k'}}) +
                             " q1w,q6b,k1w,k6b w - -");
    EXPECT_EQ(MovesOfPiece(Generated(none), "1 20-45"), Strings{});
}

TEST(GenerateEvasions, DoubleCheckGivesOnlyKingMoves2D) {
    GameKindScope game(kGame2D);
    // Rook e8 and bishop b4 both check the king on e1; the rook on a4 could take the bishop.
    const Position p = FromText("4r2k/8/8/8/Rb6/8/8/4K3 w - - 0 1");
    ASSERT_NE(p.flags & kInCheck, 0u);
    for (const std::string& name : Generated(p)) EXPECT_EQ(name.rfind("6 32-", 0), 0u) << name;
}

TEST(GenerateEvasions, DoubleCheck3DGivesKingAndAttackBoardMovesOnly) {
    GameKindScope game(kGame3D, kRulesTournament);
    // The White king on square 17 (e1 on board 116 at k1), checked by a rook on e4 (59) and a
    // knight on the neutral level's d3 (18); a White rook on b3 (34) could take the knight.
    const Position p = FromText(Squares3D({{17, 'K'}, {59, 'r'}, {18, 'n'}, {34, 'R'}, {45, 'k'}}) +
                                " q1w,q6b,k1w,k6b w - -");
    ASSERT_NE(p.flags & kInCheck, 0u);
    const Strings names = Generated(p);
    EXPECT_TRUE(Contains(names, "116 56-59 T")) << "the king's own board";
    EXPECT_FALSE(Contains(names, "4 34-18 -"));
    for (const std::string& name : names) {
        const bool king = name.rfind("6 17-", 0) == 0;
        const bool board = name.rfind("1", 0) == 0 && name.size() > 4 && name[3] == ' ';
        EXPECT_TRUE(king || board) << name;
    }
}

TEST(GenerateMoves, ListsStayWithinTheBound) {
    // Crowded random boards of queens and pawns in both games: the generators never write past
    // kMaxMoves (a sanitizer build would catch it), and the counts stay well inside it.
    for (int kind : {kGame2D, kGame3D}) {
        GameKindScope game(kind, kRulesStandard);
        ConsoleCapture quiet;
        testing::Random random(5 + static_cast<uint64_t>(kind));
        int most = 0;
        for (int i = 0; i < 300; ++i) {
            Position p;
            if (!testing::RandomPlacement(random, 15, p)) continue;
            Move moves[kMaxMoves];
            const int count =
                (p.flags & kInCheck) ? GenerateEvasions(p, moves) : GenerateMoves(p, moves);
            most = std::max(most, count);
        }
        EXPECT_LE(most, kMaxMoves);
    }
}

TEST(IsPromotion, LastRanksOfBothGames) {
    {
        GameKindScope game(kGame2D);
        const Position p = FromText("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
        const Move any{};
        EXPECT_TRUE(IsPromotion(p, kPawn, 7, any));
        EXPECT_FALSE(IsPromotion(p, kPawn, 6, any));
        EXPECT_TRUE(IsPromotion(p, -kPawn, 8, any));
        EXPECT_FALSE(IsPromotion(p, kQueen, 7, any));
    }
    GameKindScope game(kGame3D);
    const Position p = FromText(Squares3D({{56, 'K'}, {42, 'k'}}) + " q1w,q6b,k1w,k6b w - -");
    const Move any{};
    EXPECT_TRUE(IsPromotion(p, kPawn, 47, any)) << "c8 on the Black level, no c9";
    EXPECT_FALSE(IsPromotion(p, kPawn, 39, any)) << "b8: board 106 at q6 holds b9";
    EXPECT_TRUE(IsPromotion(p, kPawn, 7, any)) << "b9 on board 106";
    EXPECT_FALSE(IsPromotion(p, kPawn, 6, any)) << "b8 on board 106";
    EXPECT_TRUE(IsPromotion(p, -kPawn, 0, any)) << "a0 on board 100";
    EXPECT_FALSE(IsPromotion(p, -kPawn, 1, any));
}

}  // namespace
}  // namespace tarvex
