#include "movegen/legal_moves.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/console.h"
#include "movegen/move_names.h"
#include "support/positions.h"
#include "text/position_text.h"

namespace tarvex {
namespace {

using testing::FromText;
using testing::Squares3D;

// The legality gate: by piece, from and to; the result as making the move leaves it. In check
// it searches the evasions.
TEST(FindLegalMove, FindsOnlyLegalMovesAndNamesTheirKind) {
    ConsoleCapture quiet;
    const std::string home = " q1w,q6b,k1w,k6b w - ";
    const Position start = testing::Initial(kGame2D);
    const Position capture = FromText("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1");
    const Position pinned = FromText("4k3/4r3/8/8/8/8/4N3/4K3 w - - 0 1");
    const Position promote = FromText("4k3/P7/8/8/8/8/8/4K3 w - - 0 1");
    const Position check2D = FromText("4k3/8/8/8/8/8/4r3/4K3 w - - 0 1");
    // The d4 pawn that has just double-stepped checks the king on c5; e4 takes it en passant.
    const Position ep2D = FromText("8/8/8/2k5/3Pp3/8/8/3K4 b - d3 0 1");
    // The c7 pawn's double step over c6 (45) checks the king on d4; the d5 pawn takes it en
    // passant onto c6 on either level.
    const Position ep3D =
        FromText(Squares3D({{44, 'p'}, {52, 'P'}, {51, 'K'}, {63, 'k'}}) + home + "45", kGame3D);
    // Rook b6 checks the king on b2 down the b-file; board 100 carries the knight on its b0
    // (square 8) from q1 to q2, where that square becomes b4 and closes the file.
    const Position board3D =
        FromText(Squares3D({{33, 'K'}, {8, 'N'}, {5, 'r'}, {63, 'k'}}) + home + "-", kGame3D);
    for (const Position* p : {&check2D, &ep2D, &ep3D, &board3D})
        ASSERT_NE(p->flags & kInCheck, 0u) << WritePositionText(*p);
    const struct {
        const char* what;
        const Position& p;
        Move move;
        MoveKind kind;  // of the move found; kNone: none found
    } cases[] = {
        {"Nb1-c3", start, MakeMoveRecord(kKnight, 8, 18, MoveKind::kQuiet), MoveKind::kQuiet},
        {"wrong piece code", start, MakeMoveRecord(kBishop, 8, 18, MoveKind::kQuiet),
         MoveKind::kNone},
        {"black piece, White to move", start, MakeMoveRecord(-kPawn, 38, 37, MoveKind::kQuiet),
         MoveKind::kNone},
        {"capture entered as quiet", capture, MakeMoveRecord(kPawn, 35, 28, MoveKind::kQuiet),
         MoveKind::kCapture},
        {"pinned knight", pinned, MakeMoveRecord(kKnight, 33, 18, MoveKind::kQuiet),
         MoveKind::kNone},
        {"knight promotion", promote, MakeMoveRecord(kPawn, 6, 7, MoveKind::kPromoteKnight),
         MoveKind::kPromoteKnight},
        {"in check: Kxe2", check2D, MakeMoveRecord(kKing, 32, 33, MoveKind::kQuiet),
         MoveKind::kCapture},
        {"in check: 2D en passant", ep2D, MakeMoveRecord(-kPawn, 35, 26, MoveKind::kQuiet),
         MoveKind::kCapture},
        {"in check: 3D en passant", ep3D, MakeMoveRecord(kPawn, 52, 45, MoveKind::kQuiet),
         MoveKind::kEnPassant},
        {"in check: 3D en passant, other level", ep3D,
         MakeMoveRecord(kPawn, 52, 13, MoveKind::kQuiet), MoveKind::kEnPassant},
        {"in check: 3D attack-board move", board3D,
         MakeMoveRecord(100, 32, 35, MoveKind::kBoardMove), MoveKind::kBoardMove},
        {"attack board to no neighbouring pin", board3D,
         MakeMoveRecord(100, 32, 36, MoveKind::kBoardMove), MoveKind::kNone},
    };
    for (const auto& c : cases) {
        const std::optional<Move> found = FindLegalMove(c.p, c.move);
        ASSERT_EQ(found.has_value(), c.kind != MoveKind::kNone) << c.what;
        if (!found) continue;
        EXPECT_TRUE(SameMove(*found, c.move)) << c.what;
        EXPECT_EQ(found->kind, c.kind) << c.what;
    }
    const std::optional<Move> plain =
        FindLegalMove(promote, MakeMoveRecord(kPawn, 6, 7, MoveKind::kQuiet));
    ASSERT_TRUE(plain);
    EXPECT_TRUE(IsPromotionKind(plain->kind)) << "a plain kind gives some promotion";
}

}  // namespace
}  // namespace tarvex
