// Standard algebraic notation and PGN: the texts of awkward moves (disambiguation, castling,
// en passant, promotions, check and mate), reading every text back to its move, and whole games
// written and read again.
#include "text/pgn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "rules/make_move.h"
#include "support/positions.h"

namespace tarvex::testing {
namespace {

std::vector<std::string> Texts(std::string_view fen) {
    const auto position = std::make_unique<Position>(FromText(fen));
    std::vector<std::string> texts;
    for (const SanMove& move : SanMoves(*position)) texts.push_back(move.text);
    std::sort(texts.begin(), texts.end());
    return texts;
}

bool Has(const std::vector<std::string>& texts, std::string_view text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(SanTest, TextsOfAwkwardMoves) {
    const auto rooks = Texts("4k3/8/8/8/8/8/4K3/R6R w - - 0 1");
    EXPECT_TRUE(Has(rooks, "Rad1") && Has(rooks, "Rhd1") && !Has(rooks, "Rd1"));
    EXPECT_TRUE(Has(rooks, "Rh8+") && Has(rooks, "Ra8+"));  // one rook each: no prefix
    const auto stacked = Texts("4k3/R7/8/8/8/8/4K3/R7 w - - 0 1");
    EXPECT_TRUE(Has(stacked, "R1a4") && Has(stacked, "R7a4") && Has(stacked, "Rb7"));
    const auto queens = Texts("1k6/8/8/8/4Q2Q/8/2K5/4Q3 w - - 0 1");
    EXPECT_TRUE(Has(queens, "Qe4h1") && Has(queens, "Q1h1"));
    // A pinned knight is no rival: only one knight can go to d5.
    const auto pinned = Texts("4k3/4r3/8/8/1N6/4N3/8/4K3 w - - 0 1");
    EXPECT_TRUE(Has(pinned, "Nd5") && !Has(pinned, "Nbd5") && !Has(pinned, "Ned5"));

    // Castling, en passant, promotions, check and mate.
    const auto castling = Texts("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_TRUE(Has(castling, "O-O") && Has(castling, "O-O-O") && Has(castling, "Rxa8+"));
    EXPECT_TRUE(Has(Texts("5k2/8/8/8/8/8/8/4K2R w K - 0 1"), "O-O+"));
    const auto passing = Texts("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
    EXPECT_TRUE(Has(passing, "exd6") && Has(passing, "e6"));
    const auto promotions = Texts("3r3k/4P3/8/8/8/8/8/K7 w - - 0 1");
    EXPECT_TRUE(Has(promotions, "e8=Q+") && Has(promotions, "e8=B") && Has(promotions, "exd8=N"));
    // The knight promotion that mates, where the queen's does not even check.
    const auto knight = Texts("8/R5P1/5K1k/7p/8/8/8/8 w - - 0 1");
    EXPECT_TRUE(Has(knight, "g8=N#") && Has(knight, "g8=Q") && Has(knight, "g8=R"));
}

TEST(SanTest, ReadingRefusesWhatNamesNoneOrMany) {
    const auto rooks = std::make_unique<Position>(FromText("4k3/8/8/8/8/8/4K3/R6R w - - 0 1"));
    std::string error;
    EXPECT_FALSE(ReadSan(*rooks, "Rd1", error));
    EXPECT_EQ(error, "ambiguous move 'Rd1'");
    EXPECT_FALSE(ReadSan(*rooks, "Nf3", error));
    EXPECT_EQ(error, "no legal move 'Nf3'");
    EXPECT_FALSE(ReadSan(*rooks, "zz9", error));
    EXPECT_EQ(error, "bad move 'zz9'");
    const auto pawn = std::make_unique<Position>(FromText("3r3k/4P3/8/8/8/8/8/K7 w - - 0 1"));
    EXPECT_FALSE(ReadSan(*pawn, "e8", error)) << "a promotion must name its piece";
    // Marks and annotations are not read; a promotion letter without "=" is.
    const std::optional<Move> knight = ReadSan(*pawn, "exd8N!?", error);
    ASSERT_TRUE(knight);
    EXPECT_EQ(knight->kind, MoveKind::kPromoteKnight);
    EXPECT_TRUE(ReadSan(*pawn, "e8=Q#", error));
}

constexpr const char* kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Plays the texts of a game from its start; returns the moves.
std::vector<Move> Replay(const PgnGame& game) {
    auto position = std::make_unique<Position>(FromText(game.Tag("FEN").value_or(kStart)));
    auto next = std::make_unique<Position>();
    std::vector<Move> moves;
    for (const std::string& token : game.moves) {
        std::string error;
        std::optional<Move> move = ReadSan(*position, token, error);
        if (!move) {
            ADD_FAILURE() << error;
            break;
        }
        EXPECT_TRUE(MakeMove(*next, *position, *move));
        *position = *next;
        position->parent = nullptr;
        moves.push_back(*move);
    }
    return moves;
}

// Quotes in a tag are escaped and read back; an illegal move is refused, not written. (The
// tool tests compare whole files.)
TEST(PgnTest, QuotedTagsAndIllegalMoves) {
    const auto start = std::make_unique<Position>(FromText(kStart));
    PgnGame opening;
    opening.moves = {"e4", "e5"};
    std::vector<Move> moves = Replay(opening);
    PgnHeader header;
    header.event = "Test \"quoted\"";
    std::string text, error;
    ASSERT_TRUE(WritePgn(header, *start, moves, "*", text, error)) << error;
    EXPECT_NE(text.find("[Event \"Test \\\"quoted\\\"\"]\n"), std::string::npos) << text;
    std::vector<PgnGame> games;
    ASSERT_TRUE(ReadPgn(text, games, error)) << error;
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].Tag("Event"), header.event);
    EXPECT_EQ(Replay(games[0]).size(), moves.size());
    moves.push_back(moves[0]);
    EXPECT_FALSE(WritePgn(header, *start, moves, "*", text, error));
    EXPECT_EQ(error, "move 3 is not legal");
}

TEST(PgnTest, ReadingSkipsCommentsVariationsAndGlyphs) {
    const char* text =
        "[Event \"x\"]\n[Result \"*\"]\n\n% escaped line\n1. e4 {best (by test)} e5 ; rest\n"
        "2.Nf3 $1 (2. f4 exf4 (2... d5) 3. Nf3) 2... Nc6!? *\n";
    std::vector<PgnGame> games;
    std::string error;
    ASSERT_TRUE(ReadPgn(text, games, error)) << error;
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].moves, (std::vector<std::string>{"e4", "e5", "Nf3", "Nc6!?"}));
    EXPECT_EQ(Replay(games[0]).size(), 4u);
    EXPECT_FALSE(ReadPgn("1. e4 {open", games, error));
    EXPECT_EQ(error, "unclosed comment or variation");
    EXPECT_FALSE(ReadPgn("[Event \"x\"]\n1. e4 e5", games, error));
    EXPECT_EQ(error, "a game ends without a result");
}

TEST(PgnTest, ResultOfTheBoard) {
    EXPECT_STREQ(PgnResultOf(FromText("7k/5Q2/7K/8/8/8/8/8 b - - 0 1")), "1/2-1/2");
    EXPECT_STREQ(PgnResultOf(FromText("7k/8/8/5Q2/8/8/8/6K1 b - - 0 1")), "*");
}

}  // namespace
}  // namespace tarvex::testing
