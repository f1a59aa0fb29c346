// Setting up positions (slots, refusals, rights) and making single moves: en passant, rights,
// promotion, legality, the end of the key history and the 3D attack-board move.
#include "rules/make_move.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "board/attack_boards.h"
#include "board/hash.h"
#include "core/console.h"
#include "rules/initial_position.h"
#include "rules/line_tables.h"
#include "rules/piece_ops.h"
#include "rules/position_checks.h"
#include "rules/position_setup.h"
#include "rules/repetition.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

// Makes the move into a fresh child and checks the child's consistency.
int Make(Position& child, const Position& parent, Move& move, const MoveContext& context = {}) {
    const int result = MakeMove(child, parent, move, context);
    if (result == 1) {
        EXPECT_EQ(CompletedPositionProblem(child), "") << MoveText(move);
    }
    return result;
}

TEST(MakeMove2D, DoubleStepSetsTheEnPassantSquareOnlyWhenAPawnCanTake) {
    // Make checks that the key carries the en-passant term exactly when the square is set.
    Position start = Initial(kGame2D), child;
    Move e4 = MakeMoveRecord(kPawn, Sq("e2"), Sq("e4"), MoveKind::kQuiet);
    ASSERT_EQ(Make(child, start, e4), 1);
    EXPECT_EQ(child.epSquare, 0u);
    // The same with Black's d-pawn already on d4.
    start.board[Sq("d7")] = 0;
    start.board[Sq("d4")] = -kPawn;
    ASSERT_TRUE(BuildPosition(start));
    ASSERT_EQ(Make(child, start, e4), 1);
    EXPECT_EQ(child.epSquare, Sq("e3"));
}

// The 2D en-passant capture itself (its kind becoming 'x', the pawn taken, the counters) is
// checked on every one the random games play.
// An edited board may come with an en-passant square that has no pawn beside it.
TEST(MakeMove2D, EnPassantSquareWithoutAPawnBesideItTakesNothing) {
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "Pe5 Ka1 kh8", {.epSquare = Sq("d6")}));
    Move ep = MakeMoveRecord(kPawn, Sq("e5"), Sq("d6"), MoveKind::kEnPassant);
    ASSERT_EQ(Make(child, p, ep), 1);
    EXPECT_EQ(child.board[Sq("d6")], kPawn);
    EXPECT_EQ(child.pieceMask, p.pieceMask);
}

// A king move drops both rights of its side, a rook leaving or taken on its home square that
// rook's right; the keys follow (checked by Make) and the change completes the child at once.
TEST(MakeMove2D, RightsFollowKingAndRookMovesAndCaptures) {
    const struct {
        Move move;
        uint32_t left;
    } cases[] = {
        {MakeMoveRecord(kBishop, Sq("b7"), Sq("a8"), MoveKind::kQuiet),
         kCastlingRights & ~kBlackQueenSide},
        {MakeMoveRecord(kKing, Sq("e1"), Sq("e2"), MoveKind::kQuiet),
         kBlackKingSide | kBlackQueenSide},
        {MakeMoveRecord(kRook, Sq("h1"), Sq("h4"), MoveKind::kQuiet),
         kCastlingRights & ~kWhiteKingSide},
    };
    for (auto c : cases) {
        Position p, child;
        ASSERT_TRUE(BuildFrom(p, "Ke1 Ra1 Rh1 Bb7 ke8 ra8 rh8", {.flags = kCastlingRights}));
        ASSERT_EQ(Make(child, p, c.move), 1);
        EXPECT_EQ(child.flags & kCastlingRights, c.left) << c.move.from;
        EXPECT_EQ(child.flags & (kWhiteCastled | kBlackCastled), 0u);
        EXPECT_EQ(child.parent, nullptr);
    }
}

TEST(MakeMove2D, PromotionKindsAndTheChooser) {
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "Pb7 ra8 Ke1 kh8"));
    // A capturing promotion keeps its letter.
    Move knight = MakeMoveRecord(kPawn, Sq("b7"), Sq("a8"), MoveKind::kPromoteKnight);
    ASSERT_EQ(Make(child, p, knight), 1);
    EXPECT_EQ(knight.kind, MoveKind::kPromoteKnight);
    EXPECT_EQ(child.board[Sq("a8")], kKnight);
    EXPECT_NE(child.flags & kWhitePromoted, 0u);
    // A plain move onto the last rank becomes a queen.
    Move push = MakeMoveRecord(kPawn, Sq("b7"), Sq("b8"), MoveKind::kQuiet);
    ASSERT_EQ(Make(child, p, push), 1);
    EXPECT_EQ(push.kind, MoveKind::kPromoteQueen);
    EXPECT_EQ(child.board[Sq("b8")], kQueen);
    // The context's chooser is asked only about the user's own move.
    struct Rook : platform::PromotionChoice {
        int Choose() override { return kRook; }
    } rook;
    for (bool user : {true, false}) {
        Move asked = MakeMoveRecord(kPawn, Sq("b7"), Sq("b8"), MoveKind::kQuiet);
        ASSERT_EQ(Make(child, p, asked, {.chooser = &rook, .userMove = user}), 1);
        EXPECT_EQ(asked.kind, user ? MoveKind::kPromoteRook : MoveKind::kPromoteQueen);
        EXPECT_EQ(child.board[Sq("b8")], user ? kRook : kQueen);
    }
}

TEST(MakeMove2D, MovesThatLeaveTheKingAttackedAreRefused) {
    Position p, child;
    // Completed at once (a promotion): DoMove itself refuses the pinned pawn.
    ASSERT_TRUE(BuildFrom(p, "Ka7 Pb7 rh7 kh2"));
    Move promote = MakeMoveRecord(kPawn, Sq("b7"), Sq("b8"), MoveKind::kPromoteQueen);
    EXPECT_FALSE(DoMove(child, p, promote, {}));
    // Left pending: DoMove cannot tell yet, FinishMove refuses.
    ASSERT_TRUE(BuildFrom(p, "Ke1 re8 ka8"));
    Move step = MakeMoveRecord(kKing, Sq("e1"), Sq("e2"), MoveKind::kQuiet);
    ASSERT_TRUE(DoMove(child, p, step, {}));
    EXPECT_NE(child.flags & kAttacksPending, 0u);
    EXPECT_FALSE(FinishMove(child, step));
    EXPECT_TRUE(FinishMove(child, step));  // nothing pending any more
}

// The key history holds 1000 plies: a move from ply 998 writes entries 998 and 999, a move
// from ply 999 would write past the end and is refused with nothing written.
TEST(MakeMoveKeyHistory, MovesBeyondTheLastEntryAreRefused) {
    auto history = std::make_unique<KeyHistory>();
    std::memset(history->keys, 0xEE, sizeof history->keys);
    const MoveContext context{history.get()};
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "Ke1 ke8", {.ply = 998}));
    Move step = MakeMoveRecord(kKing, Sq("e1"), Sq("e2"), MoveKind::kQuiet);
    ASSERT_EQ(Make(child, p, step, context), 1);
    EXPECT_EQ(history->keys[998], p.hashKey);
    EXPECT_NE(history->keys[999], 0xEEEEEEEEu);  // written
    EXPECT_EQ(child.ply, 999u);

    const KeyHistory before = *history;
    Position grandchild;
    std::memset(static_cast<void*>(&grandchild), 0x5A, sizeof grandchild);
    const Position untouched = grandchild;
    Move reply = MakeMoveRecord(-kKing, Sq("e8"), Sq("e7"), MoveKind::kQuiet);
    ConsoleCapture out;
    EXPECT_EQ(MakeMove(grandchild, child, reply, context), 0);
    EXPECT_EQ(out.Text(), "\ngame record full @ DoMove\n");
    EXPECT_TRUE(DifferingFields(grandchild, untouched).empty());
    EXPECT_EQ(grandchild.parent, untouched.parent);
    const Position full = child;
    EXPECT_FALSE(DoMove(child, child, reply, context));  // in place
    EXPECT_TRUE(DifferingFields(child, full).empty());
    EXPECT_EQ(std::memcmp(history.get(), &before, sizeof before), 0);
}

// 3D squares: White level b1..b4 = 32..35, c1..c4 = 40..43, e1..e4 = 56..59; neutral level
// b3..b6 = 2..5; attack board 100 = 0, 1, 8, 9 and 116 = 16, 17, 24, 25 at q1 and k1.
TEST(MakeMove3D, BoardMoveClearsTheEnPassantSquareAndKeepsTheRights) {
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "K58 k23 r31 r7",
                          {.game = kGame3D, .flags = kCastlingRights, .epSquare = 34}));
    p.quietPlies = 5;
    ASSERT_EQ(p.flags & kCastlingRights, kBlackKingSide | kBlackQueenSide);
    Move board = MakeMoveRecord(100, kPinQ1, kPinQ3, MoveKind::kBoardMove);
    ConsoleCapture quiet;
    ASSERT_EQ(Make(child, p, board), 1);
    EXPECT_EQ(board.kind, MoveKind::kBoardMove);
    EXPECT_EQ(child.abPin[0], kPinQ3);
    EXPECT_EQ(child.epSquare, 0u);
    EXPECT_EQ(child.flags & kCastlingRights, p.flags & kCastlingRights);
    EXPECT_EQ(child.quietPlies, 6u);
    EXPECT_EQ(child.flags & kAttacksPending, 0u);
    // The child steps by the new placement; the parent keeps its own.
    EXPECT_EQ(child.lineTables->key, LineTablesKey(child));
    EXPECT_EQ(p.lineTables->key, LineTablesKey(p));
}

// White's b2 pawn (33) steps to b4 (35) beside Black's c4 pawn (43): the passed-over b3 is 34
// on the White level and 2 on the neutral level, where a Black pawn stands on b4 (3).
TEST(MakeMove3D, EnPassantOntoEitherLevelAndWhatIsNoEnPassant) {
    struct Case {
        const char* what;
        std::vector<std::pair<unsigned, int>> edits;  // made after the double step
        unsigned from, to;
        MoveKind kind, madeKind;
        int behind;  // what stays on 35
    };
    const Case cases[] = {
        {"capture onto the White level",
         {},
         43,
         34,
         MoveKind::kEnPassantBlack,
         MoveKind::kEnPassant,
         0},
        {"capture onto the neutral level",
         {},
         43,
         2,
         MoveKind::kEnPassantBlack,
         MoveKind::kEnPassant,
         0},
        // A straight push onto the passed-over file and rank from another level takes nothing.
        {"push onto the neutral level", {}, 3, 2, MoveKind::kQuiet, MoveKind::kQuiet, kPawn},
        {"occupied: an ordinary capture",
         {{2, kKnight}, {3, 0}},
         43,
         2,
         MoveKind::kEnPassantBlack,
         MoveKind::kCapture,
         kPawn},
    };
    for (const Case& c : cases) {
        Position start, afterStep, child;
        ASSERT_TRUE(BuildFrom(start, "P33 p43 K58 k61 p3", k3DTournament));
        Move step = MakeMoveRecord(kPawn, 33, 35, MoveKind::kQuiet);
        ASSERT_EQ(Make(afterStep, start, step), 1);
        for (auto [square, code] : c.edits) afterStep.board[square] = code;
        ASSERT_TRUE(c.edits.empty() || BuildPosition(afterStep));
        ASSERT_EQ(afterStep.epSquare, 34u) << c.what;
        uint32_t kept = afterStep.pieceMask;  // less the White pieces taken
        if (afterStep.board[c.to] > 0) kept &= ~(1u << afterStep.squareSlot[c.to]);
        if (c.behind == 0 && afterStep.board[35] > 0) kept &= ~(1u << afterStep.squareSlot[35]);
        Move move = MakeMoveRecord(-kPawn, c.from, c.to, c.kind);
        ASSERT_EQ(Make(child, afterStep, move), 1) << c.what;
        EXPECT_EQ(move.kind, c.madeKind) << c.what;
        EXPECT_EQ(child.board[35], c.behind) << c.what;
        EXPECT_EQ(child.board[c.to], -kPawn) << c.what;
        EXPECT_EQ(child.pieceMask, kept) << c.what;
        EXPECT_EQ(child.quietPlies, 1u) << c.what;
    }
}

// With no en-passant square (0) nothing is taken en passant, even by a diagonal step onto
// square 0 itself (a0 of board 100 at q1) with a White pawn right behind it on a1.
TEST(MakeMove3D, NoEnPassantWhileTheSquareIsZero) {
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "p9 P1 K58 k61", {.game = kGame3D, .ply = 1}));
    ASSERT_EQ(p.epSquare, 0u);
    Move diagonal = MakeMoveRecord(-kPawn, 9, 0, MoveKind::kEnPassantBlack);
    ASSERT_EQ(Make(child, p, diagonal), 1);
    EXPECT_EQ(child.board[1], kPawn);
    EXPECT_EQ(child.board[0], -kQueen);  // square 0 at q1 is Black's last rank
}

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
