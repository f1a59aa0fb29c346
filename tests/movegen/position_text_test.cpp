#include "text/position_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "board/attack_boards.h"
#include "board/hash.h"
#include "core/console.h"
#include "movegen/legal_moves.h"
#include "movegen/move_names.h"
#include "movegen/random_positions.h"
#include "rules/make_move.h"
#include "rules/position_setup.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using testing::FromText;
using testing::Legal;
using testing::Squares3D;

const std::string kHome = " q1w,q6b,k1w,k6b";

// Texts read and written again: the same text, or the one the position keeps. An en-passant
// square is kept only when a pawn can take; the last two fields of a FEN are optional.
TEST(PositionText, TextsReadAndWrittenAgain) {
    // 3D: a Black pawn on c5 (44) has passed c6 (45); the White pawn on the neutral d5 (20) may
    // take, one on c2 (41) may not.
    const std::string passed = Squares3D({{44, 'p'}, {20, 'P'}, {56, 'K'}, {63, 'k'}});
    const std::string notBeside = Squares3D({{44, 'p'}, {41, 'P'}, {56, 'K'}, {63, 'k'}});
    const struct {
        int game;
        std::string text, written;  // written empty: the text itself
    } cases[] = {
        {kGame2D, std::string(kStartText2D), ""},
        {kGame2D, "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", ""},
        {kGame2D, "rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 3", ""},
        {kGame2D, "4k3/8/8/8/8/8/8/4K2R b K - 37 120", ""},
        {kGame2D, "4k3/8/8/8/8/8/8/4K3 w - -", "4k3/8/8/8/8/8/8/4K3 w - - 0 1"},
        {kGame2D, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1"},
        {kGame3D, std::string(kStartText3D), ""},
        // Boards away from home, a board owned through the piece it carries, Black to move.
        {kGame3D, Squares3D({{9, 'p'}, {16, 'K'}, {45, 'k'}}) + " q3b,q6b,k4w,k1b b - -", ""},
        {kGame3D, passed + kHome + " w - 45", ""},
        {kGame3D, notBeside + kHome + " w - 45", notBeside + kHome + " w - -"},
    };
    for (const auto& c : cases) {
        const Position p = FromText(c.text, c.game);
        EXPECT_EQ(WritePositionText(p), c.written.empty() ? c.text : c.written);
        EXPECT_EQ(p.hashKey, ComputeHashKey(p)) << c.text;
    }
}

struct Refusal {
    std::string text;
    const char* error;
};

void ExpectRefusals(int game, std::initializer_list<Refusal> refusals) {
    for (const Refusal& r : refusals) {
        Position out, before;
        std::memset(static_cast<void*>(&out), 0x5A, sizeof out);
        std::memset(static_cast<void*>(&before), 0x5A, sizeof before);
        std::string error;
        ConsoleCapture capture;
        EXPECT_FALSE(ReadPositionText(game, kRulesTournament, r.text, out, error)) << r.text;
        EXPECT_EQ(error, r.error) << r.text;
        EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0) << "half-built: " << r.text;
        // Nothing is said but, at most, the notice of a newly met attack-board placement.
        EXPECT_TRUE(capture.Text().empty() || capture.Text().starts_with("\nBuilding "))
            << r.text << capture.Text();
    }
}

TEST(PositionText, BadFenIsRefusedByName) {
    ExpectRefusals(
        kGame2D, {
                     {"4k3/8/8/8/8/8/8/4K3 w -", "FEN needs 4 to 6 fields, found 3"},
                     {"4k3/8/8/8/8/8/8/4X3 w - - 0 1", "board: unknown letter 'X'"},
                     {"4k4/8/8/8/8/8/8/4K3 w - - 0 1", "board: rank 8 does not hold 8 squares"},
                     {"4k3/8/8/8/8/8/4K3 w - - 0 1", "board: fewer than 8 ranks"},
                     {"8/8/8/8/8/8/8/4K3 w - - 0 1", "Black has no king"},
                     {"4k3/8/8/8/8/8/8/K3K3 w - - 0 1", "White has more than one king"},
                     {"4k3/8/8/P7/PPPPPPPP/8/8/4K3 w - - 0 1", "White has more than 8 pawns"},
                     {"QQQ1k3/QQQQQQQQ/8/8/8/8/8/4K3 w - - 0 1",
                      "White has more promoted pieces than missing pawns"},
                     {"P3k3/8/8/8/8/8/8/4K3 w - - 0 1", "pawn on a8 cannot stand on that rank"},
                     {"4k3/8/8/8/8/8/8/4K3 x - - 0 1", "side to move must be 'w' or 'b', not 'x'"},
                     {"4k3/8/8/8/8/8/8/4K2R w KX - 0 1", "castling rights: unknown letter 'X'"},
                     {"4k3/8/8/8/8/8/8/4K2R w KK - 0 1", "castling rights: 'K' given twice"},
                     {"4k3/8/8/8/8/8/8/4K3 w K - 0 1",
                      "castling right 'K' needs the king and the rook on their home squares"},
                     {"4k3/8/8/8/8/8/8/4K3 w - e9 0 1",
                      "en-passant square must be '-' or a square name, not 'e9'"},
                     {"4k3/8/8/8/8/8/8/4K3 w - e3 0 1",
                      "en-passant square e3 does not fit the side to move"},
                     {"4k3/8/8/8/8/8/8/4K3 w - e6 0 1",
                      "en-passant square e6: no pawn has just passed over it"},
                     {"4k3/8/8/8/8/8/8/4K3 w - - x 1",
                      "halfmove clock must be a number from 0 to 9999, not 'x'"},
                     {"4k3/8/8/8/8/8/8/4K3 w - - 0 401",
                      "move number must be a number from 1 to 400, not '401'"},
                     {"4k2R/8/8/8/8/8/8/4K3 w - - 0 1", "the side not to move is in check"},
                 });
    // One promoted rook for two missing pawns is fine.
    EXPECT_EQ(FromText("4k3/8/8/8/8/8/PPPPPP2/RR2K2R w - - 0 1").board[8], kRook);
}

TEST(PositionText, Bad3DTextIsRefusedByName) {
    const std::string kings = Squares3D({{42, 'K'}, {45, 'k'}});
    const std::string& pins = kHome;
    ExpectRefusals(
        kGame3D,
        {
            {"RP..", "3D position text needs 5 or 6 fields, found 1"},
            {"RP.." + pins + " w - -", "squares: expected 64 characters, found 4"},
            {std::string(63, '.') + "x" + pins + " w - -",
             "squares: unknown letter 'x' at index 63"},
            {kings + " q1w,q6b,k1w w - -",
             "pins: expected 4 entries (boards 100, 106, 116, 122), found 3"},
            {kings + " q1w,q7b,k1w,k6b w - -", "pins: unknown pin 'q7'"},
            {kings + " q1w,q6x,k1w,k6b w - -", "pins: owner of 'q6x' must be 'w' or 'b'"},
            {kings + " q1w,q6b,q1w,k6b w - -", "pins: pin q1 given twice"},
            {kings + " q1b,q6b,k1w,k6b w - -", "pins: the board at q1 belongs to White ('w')"},
            {Squares3D({{42, 'K'}}) + pins + " w - -", "Black has no king"},
            {Squares3D({{42, 'K'}, {45, 'k'}, {47, 'P'}}) + pins + " w - -",
             "pawn on 47 cannot stand on that rank"},
            {kings + pins + " w Q -",
             "castling right 'Q' needs the king and the rook on their home squares"},
            {kings + pins + " w - 64",
             "en-passant square must be '-' or an index from 1 to 63, not '64'"},
            {kings + pins + " w - 45", "en-passant square 45: no pawn has just passed over it"},
        });
}

// The en-passant square a position's text keeps: only one a pawn can use.
unsigned UsableEnPassantSquare(const Position& p) {
    Position probe = p;
    MoveBuffer buffer;
    return AppendEnPassant(probe, buffer.moves) > 0 ? p.epSquare : 0;
}

// Every position reached by play is written as text and read back as the same position with
// the same legal moves. The random mover favours pawn moves, so that pawns promote.
TEST(PositionText, PositionsOfRandomGamesReadBackAlike) {
    ConsoleCapture quiet;
    for (const testing::Setup& v : {testing::k2D, testing::k3DTournament, testing::k3DStandard}) {
        testing::Random random(7 + static_cast<uint64_t>(v.game * 10 + v.rules));
        int promoted = 0, compared = 0;
        const auto readBack = [&](const Position& p) {
            const std::string text = WritePositionText(p);
            Position back;
            std::string error;
            ASSERT_TRUE(ReadPositionText(v.game, v.rules, text, back, error)) << text << error;
            EXPECT_EQ(std::memcmp(back.board, p.board, sizeof p.board), 0) << text;
            if (Is3D(p)) {
                EXPECT_EQ(std::memcmp(back.abPin, p.abPin, sizeof p.abPin), 0) << text;
                EXPECT_EQ(std::memcmp(back.abWhite, p.abWhite, sizeof p.abWhite), 0) << text;
            }
            EXPECT_EQ(back.ply & 1, p.ply & 1) << text;
            EXPECT_EQ(back.flags & (kCastlingRights | kInCheck),
                      p.flags & (kCastlingRights | kInCheck))
                << text;
            EXPECT_EQ(back.epSquare, UsableEnPassantSquare(p)) << text;
            promoted += (p.flags & (kWhitePromoted | kBlackPromoted)) != 0;
            ++compared;
            EXPECT_EQ(Legal(back), Legal(p)) << text;
        };
        for (int game = 0; game < 5 && !HasFailure(); ++game) {
            testing::RandomGame(random, testing::Initial(v.game, v.rules), 240, readBack, 40);
        }
        EXPECT_GT(promoted, 0) << v.game << " " << v.rules;
        EXPECT_GT(compared, 500) << v.game << " " << v.rules;
    }
}

// Black's pawn on e1 (56) stands before e0 of board 116 at k1; White moves the board to k2, and
// e1 becomes the pawn's last rank. The position is reached by play, so its text reads back.
TEST(PositionText, PawnLeftOnItsLastRankByABoardMoveReadsBack) {
    const Position p =
        FromText(Squares3D({{56, 'p'}, {42, 'K'}, {45, 'k'}}) + kHome + " w - -", kGame3D);
    std::optional<Move> away =
        FindLegalMove(p, MakeMoveRecord(116, kPinK1, kPinK2, MoveKind::kBoardMove));
    ASSERT_TRUE(away);
    Position child;
    ASSERT_TRUE(MakeMove(child, p, *away));
    const std::string text = WritePositionText(child);
    Position back;
    std::string error;
    EXPECT_TRUE(ReadPositionText(kGame3D, kRulesTournament, text, back, error))
        << text << ": " << error;
}

}  // namespace
}  // namespace tarvex
