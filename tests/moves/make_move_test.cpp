// Making single moves: keys, rights, en passant, castling, promotion, legality, the kinds the
// move record is given, the reports of bad moves, and the end of the key history.
#include "moves/make_move.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "board/attack_boards.h"
#include "board/hash.h"
#include "core/console.h"
#include "core/settings.h"
#include "moves/initial_position.h"
#include "moves/key_history.h"
#include "moves/line_tables.h"
#include "moves/piece_ops.h"
#include "moves/position_checks.h"
#include "moves/test_positions.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

constexpr unsigned Sq(char file, int rank) {
    return static_cast<unsigned>(file - 'a') * 8 + rank - 1;
}

// Makes the move into a fresh child and checks the child's consistency.
int Make(Position& child, const Position& parent, Move& move) {
    const int result = MakeMove(child, parent, move);
    if (result == 1) {
        const std::string problem = CompletedPositionProblem(child);
        EXPECT_EQ(problem, "") << MoveText(move);
    }
    return result;
}

TEST(MakeMove2D, DoubleStepSetsTheEnPassantSquareOnlyWhenAPawnCanTake) {
    GameKindScope kind(kGame2D);
    Position start, child;
    ASSERT_EQ(SetUpInitialPosition(start), 1);
    Move e4 = MakeMoveRecord(kPawn, Sq('e', 2), Sq('e', 4), '-');
    ASSERT_EQ(Make(child, start, e4), 1);
    EXPECT_EQ(child.epSquare, 0u);
    EXPECT_EQ(child.hashKey, start.hashKey ^ 1 ^ kHashTables.primary[kPawn + 6][Sq('e', 2)] ^
                                 kHashTables.primary[kPawn + 6][Sq('e', 4)]);

    // The same with Black's d-pawn already on d4.
    start.board[Sq('d', 7)] = 0;
    start.board[Sq('d', 4)] = -kPawn;
    ASSERT_EQ(BuildPosition(start), 1);
    ASSERT_EQ(Make(child, start, e4), 1);
    EXPECT_EQ(child.epSquare, Sq('e', 3));
    EXPECT_EQ(child.epSquare, 34u);
    EXPECT_EQ(child.hashKey, start.hashKey ^ 1 ^ (34u << 8) ^
                                 kHashTables.primary[kPawn + 6][Sq('e', 2)] ^
                                 kHashTables.primary[kPawn + 6][Sq('e', 4)]);
}

TEST(MakeMove2D, EnPassantCapturesOfBothSidesBecomeX) {
    GameKindScope kind(kGame2D);
    Position p, afterDouble, afterCapture;
    // White: e5 takes d5 after d7-d5.
    ASSERT_TRUE(BuildFrom(
        p, {{kPawn, Sq('e', 5)}, {-kPawn, Sq('d', 7)}, {kKing, Sq('a', 1)}, {-kKing, Sq('h', 8)}},
        {.ply = 1}));
    Move d5 = MakeMoveRecord(-kPawn, Sq('d', 7), Sq('d', 5), '-');
    ASSERT_EQ(Make(afterDouble, p, d5), 1);
    ASSERT_EQ(afterDouble.epSquare, Sq('d', 6));
    Move ep = MakeMoveRecord(kPawn, Sq('e', 5), Sq('d', 6), 'e');
    ASSERT_EQ(Make(afterCapture, afterDouble, ep), 1);
    EXPECT_EQ(ep.kind, 'x');
    EXPECT_EQ(afterCapture.board[Sq('d', 5)], 0);
    EXPECT_EQ(afterCapture.board[Sq('d', 6)], kPawn);
    EXPECT_EQ(afterCapture.quietPlies, 1u);
    EXPECT_EQ(afterCapture.epSquare, 0u);
    EXPECT_EQ(afterCapture.parent, nullptr);  // completed at once by a full regeneration

    // Black: d4 takes c3 after c2-c4, generated as 'E'.
    ASSERT_TRUE(BuildFrom(
        p, {{kPawn, Sq('c', 2)}, {-kPawn, Sq('d', 4)}, {kKing, Sq('a', 1)}, {-kKing, Sq('h', 8)}}));
    Move c4 = MakeMoveRecord(kPawn, Sq('c', 2), Sq('c', 4), '-');
    ASSERT_EQ(Make(afterDouble, p, c4), 1);
    ASSERT_EQ(afterDouble.epSquare, Sq('c', 3));
    Move blackEp = MakeMoveRecord(-kPawn, Sq('d', 4), Sq('c', 3), 'E');
    ASSERT_EQ(Make(afterCapture, afterDouble, blackEp), 1);
    EXPECT_EQ(blackEp.kind, 'x');
    EXPECT_EQ(afterCapture.board[Sq('c', 4)], 0);
}

// An edited board may come with an en-passant square that has no pawn beside it.
TEST(MakeMove2D, EnPassantSquareWithoutAPawnBesideItTakesNothing) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kPawn, Sq('e', 5)}, {kKing, Sq('a', 1)}, {-kKing, Sq('h', 8)}},
                          {.epSquare = Sq('d', 6)}));
    Move ep = MakeMoveRecord(kPawn, Sq('e', 5), Sq('d', 6), 'e');
    ASSERT_EQ(Make(child, p, ep), 1);
    EXPECT_EQ(child.board[Sq('d', 6)], kPawn);
    EXPECT_EQ(child.pieceMask, p.pieceMask);
}

TEST(MakeMove2D, CapturingARookOnItsHomeSquareRemovesThatRight) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p,
                          {{kKing, Sq('e', 1)},
                           {kRook, Sq('a', 1)},
                           {kRook, Sq('h', 1)},
                           {kBishop, Sq('b', 7)},
                           {-kKing, Sq('e', 8)},
                           {-kRook, Sq('a', 8)},
                           {-kRook, Sq('h', 8)}},
                          {.flags = kCastlingRights}));
    ASSERT_EQ(p.flags & kCastlingRights, kCastlingRights);
    Move capture = MakeMoveRecord(kBishop, Sq('b', 7), Sq('a', 8), '-');
    ASSERT_EQ(Make(child, p, capture), 1);
    EXPECT_EQ(capture.kind, 'x');
    EXPECT_EQ(child.flags & kCastlingRights, kCastlingRights & ~kBlackQueenSide);
    // The key lost the right: the same child with the right restored keys 8 << 16 apart.
    Position restored = child;
    restored.flags |= kBlackQueenSide;
    EXPECT_EQ(child.hashKey ^ ComputeHashKey(restored), kBlackQueenSide << 16);
    EXPECT_EQ(child.parent, nullptr);  // a change of rights completes at once
}

TEST(MakeMove2D, KingMoveThatIsNotCastlingDropsBothRights) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p,
                          {{kKing, Sq('e', 1)},
                           {kRook, Sq('a', 1)},
                           {kRook, Sq('h', 1)},
                           {-kKing, Sq('e', 8)},
                           {-kRook, Sq('a', 8)},
                           {-kRook, Sq('h', 8)}},
                          {.flags = kCastlingRights}));
    Move step = MakeMoveRecord(kKing, Sq('e', 1), Sq('e', 2), '-');
    ASSERT_EQ(Make(child, p, step), 1);
    EXPECT_EQ(child.flags & kCastlingRights, kBlackKingSide | kBlackQueenSide);
    EXPECT_EQ(child.flags & (kWhiteCastled | kBlackCastled), 0u);
    EXPECT_EQ(child.quietPlies, p.quietPlies + 1);
}

TEST(MakeMove2D, CastlingMovesTheRookAndMarksTheSide) {
    GameKindScope kind(kGame2D);
    struct Case {
        int king;
        unsigned from, to, rookFrom, rookTo;
        char kind;
        uint32_t castled, rightsLeft;
    };
    const Case cases[] = {
        {kKing, 32, 48, 56, 40, 'S', kWhiteCastled, kBlackKingSide | kBlackQueenSide},
        {kKing, 32, 16, 0, 24, 'L', kWhiteCastled, kBlackKingSide | kBlackQueenSide},
        {-kKing, 39, 55, 63, 47, 'S', kBlackCastled, kWhiteKingSide | kWhiteQueenSide},
        {-kKing, 39, 23, 7, 31, 'L', kBlackCastled, kWhiteKingSide | kWhiteQueenSide},
    };
    for (const Case& c : cases) {
        Position p, child;
        ASSERT_TRUE(BuildFrom(
            p, {{kKing, 32}, {kRook, 0}, {kRook, 56}, {-kKing, 39}, {-kRook, 7}, {-kRook, 63}},
            {.flags = kCastlingRights, .ply = c.king > 0 ? 0u : 1u}));
        Move castle = MakeMoveRecord(c.king, c.from, c.to, c.kind);
        ASSERT_EQ(Make(child, p, castle), 1) << c.kind;
        EXPECT_EQ(castle.kind, c.kind);
        EXPECT_EQ(child.board[c.to], c.king);
        EXPECT_EQ(child.board[c.rookTo], c.king / kKing * kRook);
        EXPECT_EQ(child.board[c.rookFrom], 0);
        EXPECT_EQ(child.flags & (kWhiteCastled | kBlackCastled), c.castled);
        EXPECT_EQ(child.flags & kCastlingRights, c.rightsLeft);
    }
}

TEST(MakeMove2D, CastlingWithoutItsRookReportsAndMovesOnlyTheKing) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kKing, 32}, {kRook, 0}, {-kKing, 39}}, {.flags = kWhiteQueenSide}));
    Move castle = MakeMoveRecord(kKing, 32, 48, 'S');
    ConsoleCapture out;
    ASSERT_EQ(Make(child, p, castle), 1);
    EXPECT_EQ(out.Text(), "\nNULL @ MovePiece\n");
    EXPECT_EQ(child.board[48], kKing);
    EXPECT_EQ(child.board[40], 0);
    EXPECT_EQ(child.board[0], kRook);
}

TEST(MakeMove2D, PromotionKindsAndTheQueenSlot) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(
        p, {{kPawn, Sq('b', 7)}, {-kRook, Sq('a', 8)}, {kKing, Sq('e', 1)}, {-kKing, Sq('h', 8)}}));
    const int pawnSlot = p.squareSlot[Sq('b', 7)];
    // A capturing promotion keeps its letter.
    Move knight = MakeMoveRecord(kPawn, Sq('b', 7), Sq('a', 8), 'N');
    ASSERT_EQ(Make(child, p, knight), 1);
    EXPECT_EQ(knight.kind, 'N');
    EXPECT_EQ(child.board[Sq('a', 8)], kKnight);
    EXPECT_EQ(child.squareSlot[Sq('a', 8)], pawnSlot);
    EXPECT_NE(child.flags & kWhitePromoted, 0u);
    // A plain move onto the last rank becomes a queen, which takes the free queen slot.
    Move push = MakeMoveRecord(kPawn, Sq('b', 7), Sq('b', 8), '-');
    ASSERT_EQ(Make(child, p, push), 1);
    EXPECT_EQ(push.kind, 'Q');
    EXPECT_EQ(child.board[Sq('b', 8)], kQueen);
    EXPECT_EQ(child.squareSlot[Sq('b', 8)], kSlotQueen);
    // With the queen slot taken, the new queen stays in the pawn's slot.
    ASSERT_TRUE(BuildFrom(
        p, {{kPawn, Sq('b', 7)}, {kQueen, Sq('d', 1)}, {kKing, Sq('e', 1)}, {-kKing, Sq('h', 8)}}));
    Move crowded = MakeMoveRecord(kPawn, Sq('b', 7), Sq('b', 8), 'Q');
    ASSERT_EQ(Make(child, p, crowded), 1);
    EXPECT_EQ(child.squareSlot[Sq('b', 8)], p.squareSlot[Sq('b', 7)]);
}

TEST(MakeMove2D, MovesThatLeaveTheKingAttackedAreRefused) {
    GameKindScope kind(kGame2D);
    Position p, child;
    // Completed at once (a promotion): DoMove itself refuses the pinned pawn.
    ASSERT_TRUE(BuildFrom(
        p, {{kKing, Sq('a', 7)}, {kPawn, Sq('b', 7)}, {-kRook, Sq('h', 7)}, {-kKing, Sq('h', 2)}}));
    Move promote = MakeMoveRecord(kPawn, Sq('b', 7), Sq('b', 8), 'Q');
    EXPECT_EQ(DoMove(child, p, promote), 0);
    // Left pending: DoMove cannot tell yet, FinishMove refuses.
    ASSERT_TRUE(BuildFrom(p, {{kKing, Sq('e', 1)}, {-kRook, Sq('e', 8)}, {-kKing, Sq('a', 8)}}));
    Move step = MakeMoveRecord(kKing, Sq('e', 1), Sq('e', 2), '-');
    ASSERT_EQ(DoMove(child, p, step), 1);
    EXPECT_NE(child.flags & kAttacksPending, 0u);
    EXPECT_EQ(FinishMove(child, step), 0);
    EXPECT_EQ(FinishMove(child, step), 1);  // nothing pending any more
}

TEST(MakeMove2D, GivesCheckAgreesWithTheInCheckBit) {
    GameKindScope kind(kGame2D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kKing, Sq('e', 1)}, {kRook, Sq('a', 2)}, {-kKing, Sq('h', 8)}}));
    Move check = MakeMoveRecord(kRook, Sq('a', 2), Sq('a', 8), '-');
    check.givesCheck = 7;
    ASSERT_EQ(Make(child, p, check), 1);
    EXPECT_EQ(check.givesCheck, 1);
    EXPECT_NE(child.flags & kInCheck, 0u);
    Move quiet = MakeMoveRecord(kRook, Sq('a', 2), Sq('a', 3), '-');
    quiet.givesCheck = 7;
    ASSERT_EQ(Make(child, p, quiet), 1);
    EXPECT_EQ(quiet.givesCheck, 0);
    EXPECT_EQ(child.flags & kInCheck, 0u);
    // The reply is made out of check.
    Position reply;
    Move out = MakeMoveRecord(-kKing, Sq('h', 8), Sq('g', 7), '-');
    ASSERT_EQ(Make(child, p, check), 1);
    ASSERT_EQ(Make(reply, child, out), 1);
    EXPECT_NE(reply.flags & kMovedOutOfCheck, 0u);
}

TEST(MakeMoveErrors, MoveFromAnEmptyOrOffBoardSquareIsABadPiece) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, {{kKing, Sq('e', 1)}, {-kKing, Sq('e', 8)}}));
    for (unsigned from : {Sq('d', 4), 70u}) {
        Position child;
        Move bad = MakeMoveRecord(kQueen, from, Sq('d', 5), '-');
        ConsoleCapture out;
        ASSERT_EQ(DoMove(child, p, bad), 1);
        EXPECT_EQ(out.Text(), "\nbad piece @ DoMove\nUNSTABLE");
        // The parent with the move passed: same board, the ply advanced, pending.
        EXPECT_EQ(std::memcmp(child.board, p.board, sizeof p.board), 0);
        EXPECT_EQ(child.ply, p.ply + 1);
        EXPECT_NE(child.flags & kAttacksPending, 0u);
        EXPECT_EQ(FinishMove(child, bad), 1);
        EXPECT_EQ(CompletedPositionProblem(child), "");
    }
}

TEST(MakeMoveErrors, MovePieceWithoutASlotMovesNothing) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_TRUE(BuildFrom(p, {{kKing, Sq('e', 1)}, {-kKing, Sq('e', 8)}}));
    const Position before = p;
    ConsoleCapture out;
    MovePiece(p, -1, Sq('d', 4));
    MovePiece(p, kNoSlot, Sq('d', 4));
    EXPECT_EQ(out.Text(), "\nNULL @ MovePiece\n\nNULL @ MovePiece\n");
    EXPECT_TRUE(DifferingFields(p, before).empty());
}

// The key history holds 1000 plies: a move from ply 998 writes entries 998 and 999, a move
// from ply 999 would write past the end and is refused with nothing written.
TEST(MakeMoveKeyHistory, MovesBeyondTheLastEntryAreRefused) {
    GameKindScope kind(kGame2D);
    auto history = std::make_unique<KeyHistory>();
    std::memset(history->keys, 0xEE, sizeof history->keys);
    KeyHistoryScope scope(*history);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kKing, Sq('e', 1)}, {-kKing, Sq('e', 8)}}, {.ply = 998}));
    Move step = MakeMoveRecord(kKing, Sq('e', 1), Sq('e', 2), '-');
    ASSERT_EQ(Make(child, p, step), 1);
    EXPECT_EQ(history->keys[998], p.hashKey);
    EXPECT_EQ(history->keys[999], child.hashKey ^ 1);
    EXPECT_EQ(child.ply, 999u);

    const KeyHistory before = *history;
    Position grandchild;
    std::memset(static_cast<void*>(&grandchild), 0x5A, sizeof grandchild);
    const Position untouched = grandchild;
    Move reply = MakeMoveRecord(-kKing, Sq('e', 8), Sq('e', 7), '-');
    ConsoleCapture out;
    EXPECT_EQ(DoMove(grandchild, child, reply), 0);
    EXPECT_EQ(MakeMove(grandchild, child, reply), 0);
    EXPECT_EQ(out.Text(), "\ngame record full @ DoMove\n\ngame record full @ DoMove\n");
    EXPECT_TRUE(DifferingFields(grandchild, untouched).empty());
    EXPECT_EQ(grandchild.parent, untouched.parent);
    const Position full = child;
    EXPECT_EQ(DoMove(child, child, reply), 0);  // in place
    EXPECT_TRUE(DifferingFields(child, full).empty());
    EXPECT_EQ(std::memcmp(history.get(), &before, sizeof before), 0);
}

// 3D squares: White level b1..b4 = 32..35, c1..c4 = 40..43, e1..e4 = 56..59; neutral level
// b3..b6 = 2..5; attack board 100 = 0, 1, 8, 9 and 116 = 16, 17, 24, 25 at q1 and k1.
TEST(MakeMove3D, BoardMoveClearsTheEnPassantSquareAndKeepsTheRights) {
    GameKindScope kind(kGame3D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{kKing, 58}, {-kKing, 23}, {-kRook, 31}, {-kRook, 7}},
                          {.flags = kCastlingRights, .epSquare = 34}));
    p.quietPlies = 5;
    ASSERT_EQ(p.flags & kCastlingRights, kBlackKingSide | kBlackQueenSide);
    Move board = MakeMoveRecord(100, kPinQ1, kPinQ3, 'T');
    ConsoleCapture quiet;
    ASSERT_EQ(Make(child, p, board), 1);
    EXPECT_EQ(board.kind, 'T');
    EXPECT_EQ(child.abPin[0], kPinQ3);
    EXPECT_EQ(child.epSquare, 0u);
    EXPECT_EQ(child.flags & kCastlingRights, p.flags & kCastlingRights);
    EXPECT_EQ(child.quietPlies, 6u);
    EXPECT_EQ(child.hashKey, p.hashKey ^ 1 ^ (34u << 8));  // placements are not in the keys
    EXPECT_EQ(child.hashKey2, p.hashKey2);
    EXPECT_EQ(child.flags & kAttacksPending, 0u);
    // The line tables follow the new placement.
    LineTables fresh;
    BuildLineTablesInto(child, fresh);
    EXPECT_EQ(std::memcmp(&LinesFor(child), &fresh, sizeof fresh), 0);
}

TEST(MakeMove3D, ShortCastlingExchangesKingAndRookAndKeepsItsKind) {
    GameKindScope kind(kGame3D);
    Position start, child;
    ConsoleCapture quiet;
    ASSERT_EQ(SetUpInitialPosition(start), 1);
    const int rookSlot = start.squareSlot[24];
    Move castle = MakeMoveRecord(kKing, 16, 24, 'S');
    ASSERT_EQ(Make(child, start, castle), 1);
    EXPECT_EQ(castle.kind, 'S');
    EXPECT_EQ(child.board[24], kKing);
    EXPECT_EQ(child.board[16], kRook);
    EXPECT_EQ(child.squareSlot[16], rookSlot);
    EXPECT_EQ(child.quietPlies, 1u);  // the king's destination held a piece
    EXPECT_EQ(child.flags & kCastlingRights, kBlackKingSide | kBlackQueenSide);
    EXPECT_NE(child.flags & kWhiteCastled, 0u);
    EXPECT_EQ(child.whiteMaterial, start.whiteMaterial);
}

TEST(MakeMove3D, LongCastlingBringsTheRookToTheKingsSquare) {
    GameKindScope kind(kGame3D);
    Position p, child;
    ConsoleCapture quiet;
    ASSERT_EQ(SetUpInitialPosition(p), 1);
    p.board[8] = 0;  // the queen has gone
    ASSERT_EQ(BuildPosition(p), 1);
    Move castle = MakeMoveRecord(kKing, 16, 8, 'L');
    ASSERT_EQ(Make(child, p, castle), 1);
    EXPECT_EQ(castle.kind, 'L');
    EXPECT_EQ(child.board[8], kKing);
    EXPECT_EQ(child.board[16], kRook);
    EXPECT_EQ(child.board[0], 0);
    EXPECT_NE(child.flags & kWhiteCastled, 0u);

    // Without a rook on square 0 the king moves alone, with a report.
    ASSERT_TRUE(
        BuildFrom(p, {{kKing, 16}, {-kKing, 23}, {-kRook, 31}}, {.flags = kCastlingRights}));
    ASSERT_EQ(p.flags & kCastlingRights, kBlackKingSide);
    quiet.Clear();
    ASSERT_EQ(Make(child, p, castle), 1);
    EXPECT_EQ(quiet.Text(), "\nw\n");
    EXPECT_EQ(child.board[8], kKing);
    EXPECT_EQ(child.board[16], 0);
}

// White's b2 pawn (33) steps to b4 (35) beside Black's c4 pawn (43): the passed-over b3 is
// 34 on the White level, and b3 is also 2 on the neutral level.
class EnPassant3D : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(
            BuildFrom(start_, {{kPawn, 33}, {-kPawn, 43}, {kKing, 58}, {-kKing, 61}, extra_}));
        Move step = MakeMoveRecord(kPawn, 33, 35, '-');
        ASSERT_EQ(Make(afterStep_, start_, step), 1);
        ASSERT_EQ(afterStep_.epSquare, 34u);
    }
    GameKindScope kind_{kGame3D};
    Placed extra_{-kPawn, 3};  // a Black pawn on the neutral level's b4
    Position start_, afterStep_, child_;
};

TEST_F(EnPassant3D, CaptureOnEitherLevelTakesThePassingPawnAndIsE) {
    for (unsigned to : {34u, 2u}) {
        Move ep = MakeMoveRecord(-kPawn, 43, to, 'E');
        ASSERT_EQ(Make(child_, afterStep_, ep), 1) << to;
        EXPECT_EQ(ep.kind, 'e');
        EXPECT_EQ(child_.board[35], 0);
        EXPECT_EQ(child_.board[to], -kPawn);
        EXPECT_EQ(child_.quietPlies, 1u);
    }
}

// A straight push onto the passed-over file and rank from another level is no capture.
TEST_F(EnPassant3D, StraightPushOntoThePassedOverSquareTakesNothing) {
    for (unsigned to : {2u, 34u}) {
        Move push = MakeMoveRecord(-kPawn, 3, to, '-');
        ASSERT_EQ(Make(child_, afterStep_, push), 1) << to;
        EXPECT_EQ(push.kind, '-');
        EXPECT_EQ(child_.board[35], kPawn) << to;
        EXPECT_EQ(child_.board[to], -kPawn);
    }
}

// An en-passant destination that holds a piece makes an ordinary capture of that piece.
TEST_F(EnPassant3D, OccupiedDestinationIsAnOrdinaryCapture) {
    afterStep_.board[2] = kKnight;
    afterStep_.board[3] = 0;
    ASSERT_EQ(BuildPosition(afterStep_), 1);
    ASSERT_EQ(afterStep_.epSquare, 34u);
    Move ep = MakeMoveRecord(-kPawn, 43, 2, 'E');
    ASSERT_EQ(Make(child_, afterStep_, ep), 1);
    EXPECT_EQ(ep.kind, 'x');
    EXPECT_EQ(child_.board[35], kPawn);
    EXPECT_EQ(child_.board[2], -kPawn);
    EXPECT_EQ(child_.pieceMask & 0xFFFFu,
              afterStep_.pieceMask & 0xFFFFu & ~(1u << afterStep_.squareSlot[2]));
}

TEST_F(EnPassant3D, NoPawnBehindTheSquareIsReported) {
    afterStep_.board[35] = 0;
    afterStep_.board[3] = 0;
    ASSERT_EQ(BuildPosition(afterStep_), 1);
    Move ep = MakeMoveRecord(-kPawn, 43, 34, 'E');
    ConsoleCapture out;
    ASSERT_EQ(Make(child_, afterStep_, ep), 1);
    EXPECT_EQ(out.Text(), "\nOFFBOARD E.P. capture\n");
    EXPECT_EQ(child_.board[34], -kPawn);
    EXPECT_EQ(child_.pieceMask, afterStep_.pieceMask);
}

// With no en-passant square (0) nothing is taken en passant, even by a diagonal step onto
// square 0 itself (a0 of board 100 at q1) with a White pawn right behind it on a1.
TEST(MakeMove3D, NoEnPassantWhileTheSquareIsZero) {
    GameKindScope kind(kGame3D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, {{-kPawn, 9}, {kPawn, 1}, {kKing, 58}, {-kKing, 61}}, {.ply = 1}));
    ASSERT_EQ(p.epSquare, 0u);
    Move diagonal = MakeMoveRecord(-kPawn, 9, 0, 'E');
    ASSERT_EQ(Make(child, p, diagonal), 1);
    EXPECT_EQ(child.board[1], kPawn);
    EXPECT_EQ(child.board[0], -kQueen);  // square 0 at q1 is Black's last rank
}

}  // namespace
}  // namespace tarvex
