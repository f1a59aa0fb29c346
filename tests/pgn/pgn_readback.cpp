// pgn_readback PGN RECORD: reads the games of a PGN file back with the program's own move
// generator and compares them with the record that selfplay --record wrote of the same games
// (one line a game: the start position's text, then the moves as "e2e4", "e7e8q").
//
// Every SAN token must name exactly one legal move, be the very text the writer gives that move,
// and be the record's move; the seven tags must come first, in order; the number of games and
// moves must agree. Prints one line per fault and a summary; the exit status is 1 on any fault.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/console.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"
#include "text/pgn.h"
#include "text/position_text.h"
#include "text/square_names.h"

namespace tarvex {
namespace {

constexpr const char* kRoster[] = {"Event", "Site", "Date", "Round", "White", "Black", "Result"};
constexpr int kFenFields = 6;

int faults = 0;

void Fault(size_t game, const std::string& text) {
    std::printf("game %zu: %s\n", game + 1, text.c_str());
    ++faults;
}

std::string ReadFile(const char* name) {
    std::ifstream file(name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The record line: the start text (six fields) and the moves.
struct RecordedGame {
    std::string start;
    std::vector<std::string> moves;
};

std::vector<RecordedGame> ReadRecord(const char* name) {
    std::vector<RecordedGame> games;
    std::istringstream lines(ReadFile(name));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        RecordedGame game;
        std::string word;
        for (int i = 0; i < kFenFields && words >> word; ++i) game.start += (i ? " " : "") + word;
        while (words >> word) game.moves.push_back(word);
        games.push_back(game);
    }
    return games;
}

std::string MoveWord(const Move& move) {
    std::string text = SquareName2D(move.from) + SquareName2D(move.to);
    if (IsPromotionKind(move.kind)) text += static_cast<char>(KindChar(move.kind) - 'A' + 'a');
    return text;
}

void CheckGame(size_t index, const PgnGame& game, const RecordedGame& recorded) {
    for (size_t i = 0; i < std::size(kRoster); ++i) {
        if (i >= game.tags.size() || game.tags[i].first != kRoster[i]) {
            return Fault(index, std::string("tag ") + kRoster[i] + " missing or out of order");
        }
    }
    if (game.Tag("Result") != game.result) Fault(index, "Result tag differs from the result");
    const std::string start = game.Tag("FEN").value_or(std::string(kStartText2D));
    if (start != recorded.start) Fault(index, "start " + start + " is not " + recorded.start);
    auto position = std::make_unique<Position>();
    auto next = std::make_unique<Position>();
    std::string error;
    if (!ReadPositionText(kGame2D, kRulesTournament, start, *position, error)) {
        return Fault(index, "bad FEN: " + error);
    }
    if (game.moves.size() != recorded.moves.size()) {
        Fault(index, std::to_string(game.moves.size()) + " moves, the record has " +
                         std::to_string(recorded.moves.size()));
    }
    for (size_t i = 0; i < game.moves.size() && i < recorded.moves.size(); ++i) {
        const std::string& token = game.moves[i];
        std::optional<Move> move = ReadSan(*position, token, error);
        if (!move) return Fault(index, "ply " + std::to_string(i + 1) + ": " + error);
        if (SanText(*position, *move) != token) {
            Fault(index, "'" + token + "' is written '" + SanText(*position, *move) + "'");
        }
        if (MoveWord(*move) != recorded.moves[i]) {
            return Fault(index, "'" + token + "' is " + MoveWord(*move) + ", the record has " +
                                    recorded.moves[i]);
        }
        if (!MakeMove(*next, *position, *move)) return Fault(index, "cannot make " + token);
        *position = *next;
        position->parent = nullptr;
    }
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    using namespace tarvex;
    if (argc != 3) {
        std::fprintf(stderr, "usage: pgn_readback PGN RECORD\n");
        return 2;
    }
    const ConsoleCapture quiet;
    std::vector<PgnGame> games;
    std::string error;
    if (!ReadPgn(ReadFile(argv[1]), games, error)) {
        std::printf("%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::vector<RecordedGame> recorded = ReadRecord(argv[2]);
    if (games.empty() || games.size() != recorded.size()) {
        std::printf("%zu games in the PGN, %zu in the record\n", games.size(), recorded.size());
        return 1;
    }
    size_t moves = 0;
    for (size_t i = 0; i < games.size(); ++i) {
        CheckGame(i, games[i], recorded[i]);
        moves += games[i].moves.size();
    }
    std::printf("%zu games, %zu moves read back, %d faults\n", games.size(), moves, faults);
    return faults == 0 ? 0 : 1;
}
