#include "uci_position.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "core/console.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"
#include "text/position_text.h"
#include "text/square_names.h"

namespace tarvex::uci {
namespace {

// The start position of a command, from its FEN (the initial position's for startpos).
bool ReadStart(const std::string& text, UciGame& game, std::string& error) {
    // The rules print nothing for the 2D game; anything they might say stays off the protocol.
    ConsoleCapture quiet;
    if (!ReadPositionText(kGame2D, kRulesTournament, text, *game.position, error)) {
        error = "bad FEN '" + text + "': " + error;
        return false;
    }
    *game.history = KeyHistory{};
    return true;
}

// Plays moves[from...] on game, each checked against the legal moves.
bool PlayMoves(const std::vector<std::string>& moves, size_t from, UciGame& game,
               std::string& error) {
    const MoveContext context{game.history.get()};
    auto next = std::make_unique<Position>();
    for (size_t i = from; i < moves.size(); ++i) {
        Move move = FindUciMove(*game.position, moves[i]);
        if (IsNoMove(move)) {
            error = "illegal move '" + moves[i] + "' in " + WritePositionText(*game.position);
            return false;
        }
        if (!MakeMove(*next, *game.position, move, context)) {
            error = "the game is too long at move '" + moves[i] + "'";
            return false;
        }
        *game.position = *next;
        game.position->parent = nullptr;
    }
    return true;
}

}  // namespace

UciGame::UciGame()
    : position(std::make_unique<Position>()), history(std::make_unique<KeyHistory>()) {
    std::string error;
    ReadPositionText(kGame2D, kRulesTournament, kStartText2D, *position, error);
    *history = KeyHistory{};
}

UciGame::UciGame(const UciGame& other)
    : position(std::make_unique<Position>(*other.position)),
      history(std::make_unique<KeyHistory>(*other.history)) {}

UciGame& UciGame::operator=(const UciGame& other) {
    *position = *other.position;
    *history = *other.history;
    return *this;
}

std::string UciMoveText(const Move& move) {
    std::string text = SquareName2D(move.from) + SquareName2D(move.to);
    if (IsPromotionKind(move.kind)) {
        text += static_cast<char>(std::tolower(static_cast<unsigned char>(KindChar(move.kind))));
    }
    return text;
}

Move FindUciMove(const Position& position, const std::string& text) {
    if (text.size() < 4 || text.size() > 5) return Move{};
    const std::optional<unsigned> fromSquare = ParseSquare2D(std::string_view(text).substr(0, 2));
    const std::optional<unsigned> toSquare = ParseSquare2D(std::string_view(text).substr(2, 2));
    if (!fromSquare || !toSquare || position.board[*fromSquare] == 0) return Move{};
    const unsigned from = *fromSquare, to = *toSquare;
    // The letter, upper-cased, is the promotion kind's character.
    const MoveKind promotion =
        text.size() == 5 ? static_cast<MoveKind>(std::toupper(static_cast<unsigned char>(text[4])))
                         : MoveKind::kNone;
    const bool promotes = promotion != MoveKind::kNone;
    if (promotes && !IsPromotionKind(promotion)) return Move{};
    const Move wanted =
        MakeMoveRecord(position.board[from], from, to, promotes ? promotion : MoveKind::kQuiet);
    const std::optional<Move> legal = FindLegalMove(position, wanted);
    // A promotion names its piece, and only a promotion names one.
    if (!legal || IsPromotionKind(legal->kind) != promotes) return Move{};
    if (promotes && legal->kind != promotion) return Move{};
    return *legal;
}

bool PositionTracker::Read(const std::vector<std::string>& words, std::string& error) {
    size_t i = 1;
    std::string start;
    if (i < words.size() && words[i] == "fen") {
        for (++i; i < words.size() && words[i] != "moves"; ++i) {
            start += (start.empty() ? "" : " ") + words[i];
        }
    } else if (i < words.size() && words[i] == "startpos") {
        start = kStartText2D;
        ++i;
    } else {
        error = "position needs startpos or fen";
        return false;
    }
    if (i < words.size() && words[i] != "moves") {
        error = "unexpected '" + words[i] + "' in position";
        return false;
    }
    const std::vector<std::string> moves(
        words.begin() + static_cast<long>(std::min(i + 1, words.size())), words.end());
    // The game so far, when this command goes on from it; else the start.
    const bool continues = start == start_ && moves.size() >= moves_.size() &&
                           std::equal(moves_.begin(), moves_.end(), moves.begin());
    UciGame game;
    size_t played = 0;
    if (continues) {
        game = game_;
        played = moves_.size();
    } else if (!ReadStart(start, game, error)) {
        return false;
    }
    if (!PlayMoves(moves, played, game, error)) return false;
    game_ = game;
    start_ = start;
    moves_ = moves;
    return true;
}

void PositionTracker::Reset() {
    game_ = UciGame{};
    start_ = kStartText2D;
    moves_.clear();
}

}  // namespace tarvex::uci
