#include "moves/position_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board/hash.h"
#include "core/console.h"
#include "movegen/test_positions.h"
#include "moves/initial_position.h"
#include "moves/position_setup.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

using testing::Squares3D;

struct ReadResult {
    bool ok;
    std::string error;
    Position position;
};

ReadResult Read(std::string_view text) {
    ReadResult result{false, "", {}};
    ConsoleCapture quiet;
    result.ok = ReadPositionText(GameKind(), text, result.position, result.error);
    return result;
}

// Texts read and written again: the same text, or the one the position keeps. An en-passant
// square is kept only when a pawn can take, the last two fields of a FEN are optional.
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
        {kGame2D, "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", ""},
        {kGame2D, "rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 3", ""},
        {kGame2D, "4k3/8/8/8/8/8/8/4K2R b K - 37 120", ""},
        {kGame2D, "4k3/8/8/8/8/8/8/4K3 w - -", "4k3/8/8/8/8/8/8/4K3 w - - 0 1"},
        {kGame2D, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
         "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1"},
        {kGame3D, std::string(kStartText3D), ""},
        // Boards away from home, a board owned through the piece it carries, Black to move.
        {kGame3D, Squares3D({{9, 'p'}, {16, 'K'}, {45, 'k'}}) + " q3b,q6b,k4w,k1b b - -", ""},
        {kGame3D, passed + " q1w,q6b,k1w,k6b w - 45", ""},
        {kGame3D, notBeside + " q1w,q6b,k1w,k6b w - 45", notBeside + " q1w,q6b,k1w,k6b w - -"},
    };
    for (const auto& c : cases) {
        GameKindScope game(c.game);
        const ReadResult read = Read(c.text);
        ASSERT_TRUE(read.ok) << c.text << ": " << read.error;
        EXPECT_EQ(WritePositionText(read.position), c.written.empty() ? c.text : c.written);
        EXPECT_EQ(read.position.hashKey, ComputeHashKey(read.position)) << c.text;
    }
}

TEST(PositionText, FenFieldsReachThePosition) {
    GameKindScope game(kGame2D);
    const ReadResult read = Read("rnbqkbnr/ppp1pppp/8/8/3pP3/8/PPPP1PPP/RNBQKBNR b KQkq e3 7 12");
    ASSERT_TRUE(read.ok) << read.error;
    const Position& p = read.position;
    EXPECT_EQ(p.ply, 23u) << "2 (12 - 1) + 1";
    EXPECT_EQ(p.quietPlies, 8u) << "halfmove clock + 1";
    EXPECT_EQ(p.epSquare, 34u);
    EXPECT_EQ(p.flags & kCastlingRights, kCastlingRights);
    EXPECT_EQ(p.board[35], kPawn);
    EXPECT_EQ(p.board[27], -kPawn);
    const ReadResult shortForm = Read("4k3/8/8/8/8/8/8/4K3 w - -");
    ASSERT_TRUE(shortForm.ok) << shortForm.error;
    EXPECT_EQ(shortForm.position.ply, 0u);
    EXPECT_EQ(shortForm.position.quietPlies, 1u);
}

TEST(PositionText, CheckOfTheSideToMoveIsMarked) {
    GameKindScope game(kGame2D);
    const ReadResult read = Read("4k3/8/8/8/8/8/8/4K2r w - - 0 1");
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_NE(read.position.flags & kInCheck, 0u);
    EXPECT_EQ(Read("4k3/8/8/8/8/8/8/4K2R w - - 0 1").position.flags & kInCheck, 0u);
}

TEST(PositionText, StartTextsMatchTheSetUpGames) {
    for (int kind : {kGame2D, kGame3D}) {
        GameKindScope game(kind);
        ConsoleCapture quiet;
        Position start;
        ASSERT_EQ(SetUpInitialPosition(start), 1);
        EXPECT_EQ(WritePositionText(start), StartPositionText(kind));
        const ReadResult read = Read(StartPositionText(kind));
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(std::memcmp(read.position.board, start.board, sizeof start.board), 0);
        EXPECT_EQ(std::memcmp(read.position.pieces, start.pieces, sizeof start.pieces), 0);
        EXPECT_EQ(std::memcmp(read.position.attacks, start.attacks, sizeof start.attacks), 0);
        EXPECT_EQ(read.position.hashKey, start.hashKey);
        EXPECT_EQ(read.position.hashKey2, start.hashKey2);
        EXPECT_EQ(read.position.flags, start.flags);
        EXPECT_EQ(std::memcmp(read.position.abPin, start.abPin, sizeof start.abPin), 0);
        EXPECT_EQ(std::memcmp(read.position.abWhite, start.abWhite, sizeof start.abWhite), 0);
    }
    EXPECT_EQ(kStartText3D,
              "RP....prQP....pqKP....pkRP....prNP....pnBP....pbBP....pbNP....pn q1w,q6b,k1w,k6b w "
              "KQkq -");
}

struct Refusal {
    const char* text;
    const char* error;
};

void ExpectRefusals(std::initializer_list<Refusal> refusals) {
    for (const Refusal& r : refusals) {
        Position out;
        std::memset(static_cast<void*>(&out), 0x5A, sizeof out);
        Position before;
        std::memcpy(static_cast<void*>(&before), &out, sizeof out);
        std::string error;
        ConsoleCapture capture;
        EXPECT_FALSE(ReadPositionText(GameKind(), r.text, out, error)) << r.text;
        EXPECT_EQ(error, r.error) << r.text;
        EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0) << "half-built: " << r.text;
        EXPECT_EQ(capture.Text().find("no king"), std::string::npos) << r.text;
    }
}

TEST(PositionText, BadFenIsRefusedByName) {
    GameKindScope game(kGame2D);
    ExpectRefusals({
        {"", "FEN needs 4 to 6 fields, found 0"},
        {"4k3/8/8/8/8/8/8/4K3 w -", "FEN needs 4 to 6 fields, found 3"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1 x", "FEN needs 4 to 6 fields, found 7"},
        {"4k3/8/8/8/8/8/8/4X3 w - - 0 1", "board: unknown letter 'X'"},
        {"4k4/8/8/8/8/8/8/4K3 w - - 0 1", "board: rank 8 does not hold 8 squares"},
        {"4k3/8/8/8/8/8/8/4K2 w - - 0 1", "board: rank 1 does not hold 8 squares"},
        {"4k3/8/8/8/8/8/4K3 w - - 0 1", "board: fewer than 8 ranks"},
        {"4k3/8/8/8/8/8/8/8/4K3 w - - 0 1", "board: more than 8 ranks"},
        {"8/8/8/8/8/8/8/4K3 w - - 0 1", "Black has no king"},
        {"4k3/8/8/8/8/8/8/K3K3 w - - 0 1", "White has more than one king"},
        {"P3k3/8/8/8/8/8/8/4K3 w - - 0 1", "pawn on a8 cannot stand on that rank"},
        {"4k3/8/8/8/8/8/8/p3K3 w - - 0 1", "pawn on a1 cannot stand on that rank"},
        {"QQQ1k3/QQQQQQQQ/8/8/8/8/8/4K3 w - - 0 1", "White has more pieces than its 16 slots hold"},
        {"4k3/8/8/8/8/8/8/4K3 x - - 0 1", "side to move must be 'w' or 'b', not 'x'"},
        {"4k3/8/8/8/8/8/8/4K2R w KX - 0 1", "castling rights: unknown letter 'X'"},
        {"4k3/8/8/8/8/8/8/4K2R w KK - 0 1", "castling rights: 'K' given twice"},
        {"4k3/8/8/8/8/8/8/4K3 w K - 0 1",
         "castling right 'K' needs the king and the rook on their home squares"},
        {"4k3/8/8/8/8/8/8/4K3 w - e9 0 1",
         "en-passant square must be '-' or a square name, not 'e9'"},
        {"4k3/8/8/8/8/8/8/4K3 w - e3 0 1", "en-passant square e3 does not fit the side to move"},
        {"4k3/8/8/8/8/8/8/4K3 w - e6 0 1", "en-passant square e6: no pawn has just passed over it"},
        {"4k3/8/8/8/8/8/8/4K3 w - - x 1",
         "halfmove clock must be a number from 0 to 9999, not 'x'"},
        {"4k3/8/8/8/8/8/8/4K3 w - - -1 1",
         "halfmove clock must be a number from 0 to 9999, not '-1'"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 0", "move number must be a number from 1 to 400, not '0'"},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 401",
         "move number must be a number from 1 to 400, not '401'"},
        {"4k2R/8/8/8/8/8/8/4K3 w - - 0 1", "the side not to move is in check"},
    });
}

TEST(PositionText, Bad3DTextIsRefusedByName) {
    GameKindScope game(kGame3D);
    const std::string kings = std::string(42, '.') + "K.." + "k" + std::string(18, '.');
    const std::string pins = " q1w,q6b,k1w,k6b";
    ExpectRefusals({
        {"RP..", "3D position text needs 5 fields, found 1"},
        {"RP.. q1w,q6b,k1w,k6b w - -", "squares: expected 64 characters, found 4"},
        {(std::string(63, '.') + "x" + pins + " w - -").c_str(),
         "squares: unknown letter 'x' at index 63"},
        {(kings + " q1w,q6b,k1w w - -").c_str(),
         "pins: expected 4 entries (boards 100, 106, 116, 122), found 3"},
        {(kings + " q1w,q7b,k1w,k6b w - -").c_str(), "pins: unknown pin 'q7'"},
        {(kings + " q1w,q6x,k1w,k6b w - -").c_str(), "pins: owner of 'q6x' must be 'w' or 'b'"},
        {(kings + " q1w,q6b,q1w,k6b w - -").c_str(), "pins: pin q1 given twice"},
        {(kings + " q1b,q6b,k1w,k6b w - -").c_str(),
         "pins: the board at q1 belongs to White ('w')"},
        {(std::string(42, '.') + "K" + std::string(21, '.') + pins + " w - -").c_str(),
         "Black has no king"},
        {(kings.substr(0, 47) + "P" + kings.substr(48) + pins + " w - -").c_str(),
         "pawn on 47 cannot stand on that rank"},
        {(kings + pins + " w Q -").c_str(),
         "castling right 'Q' needs the king and the rook on their home squares"},
        {(kings + pins + " w - 0").c_str(),
         "en-passant square must be '-' or an index from 1 to 63, not '0'"},
        {(kings + pins + " w - 64").c_str(),
         "en-passant square must be '-' or an index from 1 to 63, not '64'"},
        {(kings + pins + " w - 45").c_str(),
         "en-passant square 45: no pawn has just passed over it"},
    });
}

TEST(PositionText, PieceListFitAgreesWithBuilding) {
    // Random officers and pawns for White: the text is accepted exactly when building the same
    // board directly succeeds.
    GameKindScope game(kGame2D);
    constexpr int kOfficers[] = {kQueen, kRook, kBishop, kKnight};
    uint32_t seed = 12345;
    const auto below = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    int refused = 0;
    for (int trial = 0; trial < 300; ++trial) {
        Position direct;
        ClearPosition(direct);
        direct.board[32] = kKing;
        direct.board[39] = -kKing;
        direct.ply = 1;  // Black to move: White's pieces may check
        const int officers = static_cast<int>(below(15));
        for (int i = 0; i < officers; ++i)
            direct.board[3 + 8 * (i % 8) + (i / 8)] = kOfficers[below(4)];
        const int pawns = static_cast<int>(below(9));
        for (int i = 0; i < pawns; ++i) direct.board[1 + 8 * i] = kPawn;
        const std::string text = WritePositionText(direct);
        ConsoleCapture quiet;
        const bool built = BuildPosition(direct) != 0;
        const ReadResult read = Read(text);
        EXPECT_EQ(read.ok, built) << text << ": " << read.error;
        refused += read.ok ? 0 : 1;
    }
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, 300);
}

TEST(PositionText, GameKindMustMatchTheSetting) {
    GameKindScope game(kGame2D);
    Position out;
    std::string error;
    EXPECT_FALSE(ReadPositionText(kGame3D, kStartText3D, out, error));
    EXPECT_EQ(error, "position text is for another game than the one set");
}

}  // namespace
}  // namespace tarvex
