// Making single moves: keys, rights, en passant, castling, promotion, legality, the kinds the
// move record is given, the reports of bad moves, and the end of the key history.
#include "rules/make_move.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "board/attack_boards.h"
#include "core/console.h"
#include "rules/initial_position.h"
#include "rules/piece_ops.h"
#include "rules/position_checks.h"
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

// Castling itself is checked on every castling of the random games.
TEST(MakeMove2D, CastlingWithoutItsRookReportsAndMovesOnlyTheKing) {
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "K32 R0 k39", {.flags = kWhiteQueenSide}));
    Move castle = MakeMoveRecord(kKing, 32, 48, MoveKind::kCastleShort);
    ConsoleCapture out;
    ASSERT_EQ(Make(child, p, castle), 1);
    EXPECT_EQ(out.Text(), "\nNULL @ MovePiece\n");
    EXPECT_EQ(child.board[48], kKing);
    EXPECT_EQ(child.board[40], 0);
    EXPECT_EQ(child.board[0], kRook);
}

TEST(MakeMove2D, PromotionKindsAndTheQueenSlot) {
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "Pb7 ra8 Ke1 kh8"));
    const int pawnSlot = p.squareSlot[Sq("b7")];
    // A capturing promotion keeps its letter.
    Move knight = MakeMoveRecord(kPawn, Sq("b7"), Sq("a8"), MoveKind::kPromoteKnight);
    ASSERT_EQ(Make(child, p, knight), 1);
    EXPECT_EQ(knight.kind, MoveKind::kPromoteKnight);
    EXPECT_EQ(child.board[Sq("a8")], kKnight);
    EXPECT_EQ(child.squareSlot[Sq("a8")], pawnSlot);
    EXPECT_NE(child.flags & kWhitePromoted, 0u);
    // A plain move onto the last rank becomes a queen, which takes the free queen slot.
    Move push = MakeMoveRecord(kPawn, Sq("b7"), Sq("b8"), MoveKind::kQuiet);
    ASSERT_EQ(Make(child, p, push), 1);
    EXPECT_EQ(push.kind, MoveKind::kPromoteQueen);
    EXPECT_EQ(child.board[Sq("b8")], kQueen);
    EXPECT_EQ(child.squareSlot[Sq("b8")], kSlotQueen);
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
    // With the queen slot taken, the new queen stays in the pawn's slot.
    ASSERT_TRUE(BuildFrom(p, "Pb7 Qd1 Ke1 kh8"));
    Move crowded = MakeMoveRecord(kPawn, Sq("b7"), Sq("b8"), MoveKind::kPromoteQueen);
    ASSERT_EQ(Make(child, p, crowded), 1);
    EXPECT_EQ(child.squareSlot[Sq("b8")], p.squareSlot[Sq("b7")]);
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

// The check bit itself is checked on every move of the random games.
TEST(MakeMove2D, ReplyToCheckIsMadeOutOfCheck) {
    Position p, child, reply;
    ASSERT_TRUE(BuildFrom(p, "Ke1 Ra2 kh8"));
    Move check = MakeMoveRecord(kRook, Sq("a2"), Sq("a8"), MoveKind::kQuiet);
    ASSERT_EQ(Make(child, p, check), 1);
    EXPECT_EQ(check.givesCheck, 1);
    Move out = MakeMoveRecord(-kKing, Sq("h8"), Sq("g7"), MoveKind::kQuiet);
    ASSERT_EQ(Make(reply, child, out), 1);
    EXPECT_NE(reply.flags & kMovedOutOfCheck, 0u);
}

TEST(MakeMoveErrors, MoveFromAnEmptyOrOffBoardSquareIsABadPiece) {
    Position p;
    ASSERT_TRUE(BuildFrom(p, "Ke1 ke8"));
    for (unsigned from : {Sq("d4"), 70u}) {
        Position child;  // a used record: nothing of its old contents may survive
        std::memset(static_cast<void*>(&child), 0xA5, sizeof child);
        Move bad = MakeMoveRecord(kQueen, from, Sq("d5"), MoveKind::kQuiet);
        ConsoleCapture out;
        ASSERT_TRUE(DoMove(child, p, bad, {}));
        EXPECT_EQ(out.Text(), "\nbad piece @ DoMove\nUNSTABLE");
        // The parent with the move passed: same board, the ply advanced, pending.
        EXPECT_EQ(std::memcmp(child.board, p.board, sizeof p.board), 0);
        EXPECT_EQ(child.ply, p.ply + 1);
        EXPECT_NE(child.flags & kAttacksPending, 0u);
        EXPECT_TRUE(FinishMove(child, bad));
        EXPECT_EQ(CompletedPositionProblem(child), "");
    }
    // MovePiece without a slot moves nothing.
    const Position before = p;
    ConsoleCapture out;
    MovePiece(p, -1, Sq("d4"));
    MovePiece(p, kNoSlot, Sq("d4"));
    EXPECT_EQ(out.Text(), "\nNULL @ MovePiece\n\nNULL @ MovePiece\n");
    EXPECT_TRUE(DifferingFields(p, before).empty());
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
    ASSERT_EQ(Make(child, p, step), 1);  // no history in the context: nothing written
    EXPECT_EQ(history->keys[998], 0xEEEEEEEEu);
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
    EXPECT_FALSE(DoMove(grandchild, child, reply, context));
    EXPECT_FALSE(MakeMove(grandchild, child, reply, context));
    EXPECT_EQ(out.Text(), "\ngame record full @ DoMove\n\ngame record full @ DoMove\n");
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
}

// Short castling exchanges king and rook; long castling, with the queen gone from 8, brings
// the rook from 0 to the king's square. The rook keeps its slot.
TEST(MakeMove3D, CastlingKeepsItsKindAndTheRooksSlot) {
    ConsoleCapture quiet;
    for (auto [to, rookFrom, letter] : {std::tuple{24u, 24u, MoveKind::kCastleShort},
                                        std::tuple{8u, 0u, MoveKind::kCastleLong}}) {
        Position p = Initial(kGame3D), child;
        p.board[8] = letter == MoveKind::kCastleLong ? 0 : kQueen;
        ASSERT_TRUE(BuildPosition(p));
        const int rookSlot = p.squareSlot[rookFrom];
        Move castle = MakeMoveRecord(kKing, 16, to, letter);
        ASSERT_EQ(Make(child, p, castle), 1) << KindChar(letter);
        EXPECT_EQ(castle.kind, letter);
        EXPECT_EQ(child.board[to], kKing);
        EXPECT_EQ(child.board[16], kRook);
        EXPECT_EQ(child.squareSlot[16], rookSlot);
        EXPECT_EQ(child.board[rookFrom], rookFrom == to ? kKing : 0);
        // Short castling's destination held a piece.
        EXPECT_EQ(child.quietPlies, letter == MoveKind::kCastleShort ? 1u : p.quietPlies + 1);
        EXPECT_EQ(child.flags & kCastlingRights, kBlackKingSide | kBlackQueenSide);
        EXPECT_NE(child.flags & kWhiteCastled, 0u);
        EXPECT_EQ(child.whiteMaterial, p.whiteMaterial);
    }
    // Without a rook on square 0 the king moves alone, with a report.
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "K16 k23 r31", {.game = kGame3D, .flags = kCastlingRights}));
    ASSERT_EQ(p.flags & kCastlingRights, kBlackKingSide);
    Move castle = MakeMoveRecord(kKing, 16, 8, MoveKind::kCastleLong);
    quiet.Clear();
    ASSERT_EQ(Make(child, p, castle), 1);
    EXPECT_EQ(quiet.Text(), "\nw\n");
    EXPECT_EQ(child.board[8], kKing);
    EXPECT_EQ(child.board[16], 0);
}

// White's b2 pawn (33) steps to b4 (35) beside Black's c4 pawn (43): the passed-over b3 is 34
// on the White level and 2 on the neutral level, where a Black pawn stands on b4 (3).
TEST(MakeMove3D, EnPassantOntoEitherLevelAndWhatIsNoEnPassant) {
    struct Case {
        const char* what;
        std::vector<std::pair<unsigned, int>> edits;  // made after the double step
        unsigned from, to;
        MoveKind kind, madeKind;  // madeKind kNone: not checked
        int behind;               // what stays on 35
        const char* report;
    };
    const Case cases[] = {
        {"capture onto the White level",
         {},
         43,
         34,
         MoveKind::kEnPassantBlack,
         MoveKind::kEnPassant,
         0,
         ""},
        {"capture onto the neutral level",
         {},
         43,
         2,
         MoveKind::kEnPassantBlack,
         MoveKind::kEnPassant,
         0,
         ""},
        // A straight push onto the passed-over file and rank from another level takes nothing.
        {"push onto the neutral level", {}, 3, 2, MoveKind::kQuiet, MoveKind::kQuiet, kPawn, ""},
        {"push onto the White level", {}, 3, 34, MoveKind::kQuiet, MoveKind::kQuiet, kPawn, ""},
        {"occupied: an ordinary capture",
         {{2, kKnight}, {3, 0}},
         43,
         2,
         MoveKind::kEnPassantBlack,
         MoveKind::kCapture,
         kPawn,
         ""},
        {"no pawn behind",
         {{35, 0}, {3, 0}},
         43,
         34,
         MoveKind::kEnPassantBlack,
         MoveKind::kNone,
         0,
         "\nOFFBOARD E.P. capture\n"},
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
        ConsoleCapture out;
        ASSERT_EQ(Make(child, afterStep, move), 1) << c.what;
        EXPECT_EQ(out.Text(), c.report) << c.what;
        EXPECT_EQ(move.kind, c.madeKind != MoveKind::kNone ? c.madeKind : move.kind) << c.what;
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

}  // namespace
}  // namespace tarvex
