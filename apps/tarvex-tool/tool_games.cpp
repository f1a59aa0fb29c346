#include "tool_games.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "core/console.h"
#include "core/error_report.h"
#include "game/game_pgn.h"
#include "movegen/legal_moves.h"
#include "rules/repetition.h"
#include "text/position_text.h"

namespace tarvex::tool {
namespace {

constexpr int kOpeningPlies2D = 4;
constexpr int kOpeningPlies3D = 6;
constexpr unsigned kLastPly = 998;  // the record's limit comes two plies later
constexpr int kRepetitions = 3;     // as the game counts them
constexpr int kShownLines = 12;     // of a faulty game's console

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Why a game the controller decided is over, from the verdict it printed.
std::string VerdictReason(std::string_view console, const Position& position) {
    if (Contains(console, "is mated")) return "mate";
    if (Contains(console, "Stalemate")) return "stalemate";
    if (Contains(console, "insufficient material")) return "insufficient material";
    if (Contains(console, "repeating")) {
        return position.quietPlies > kQuietPliesDraw ? "101-ply rule" : "repetition";
    }
    return "decided";
}

// The last lines of a text.
std::string Tail(const std::string& text, int lines) {
    size_t at = text.size();
    for (int n = 0; n <= lines && at != std::string::npos && at > 0; ++n) {
        at = text.rfind('\n', at - 1);
    }
    return at == std::string::npos ? text : text.substr(at + 1);
}

}  // namespace

engine::SearchResult CountingEngine::Choose(const Position& root, const KeyHistory& history,
                                            const engine::SearchLimits& limits) {
    // The caller clears this chooser's stop token before the search; the inner engine's
    // follows it.
    if (Stopper().Requested()) {
        engine_.Stopper().Request();
    } else {
        engine_.Stopper().Clear();
    }
    const auto start = std::chrono::steady_clock::now();
    const engine::SearchResult result = engine_.Choose(root, history, limits);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    nodes += result.nodes;
    ++searches;
    return result;
}

int OpenGameFiles(const char* command, const char* record, const char* pgn, GameFiles& out) {
    if (record != nullptr) {
        out.record.open(record);
        if (!out.record) return ArgumentError(command, "cannot write '%s'", record);
    }
    if (pgn != nullptr) {
        out.pgn.open(pgn);
        if (!out.pgn) return ArgumentError(command, "cannot write '%s'", pgn);
    }
    return kExitOk;
}

const char* ResultText(int result) {
    return result == 1 ? "1-0" : result == -1 ? "0-1" : "1/2-1/2";
}

void ToolGames::Start(CountingEngine& engine) {
    ConnectEngine(controller_, engine);
    ConsoleCapture quiet;
    controller_.NewGame(position_.game);
    controller_.SetRules(position_.rules);
}

GameOutcome ToolGames::Play(const std::string& label, const GameSide& white, const GameSide& black,
                            std::mt19937& random) {
    const long errorsBefore = ErrorReportCount();
    GameOutcome outcome;
    std::string console;
    {
        ConsoleCapture capture;
        controller_.NewGame(position_.game);
        // The controller's set-up clears the tables of the engine connected to it only.
        white.engine->NewGame();
        black.engine->NewGame();
        startText_ = WritePositionText(controller_.Current());
        controller_.SetEngineSide(0);
        PlayOpening(random);
        outcome.reason = PlayEngines(capture, white, black, outcome);
        console = capture.Text();
    }
    const Position& end = controller_.Current();
    if (outcome.reason.empty()) {
        outcome.result = end.winner;
        outcome.reason = VerdictReason(console, end);
    }
    outcome.plies = end.ply;
    outcome.errors = ErrorReportCount() - errorsBefore;
    if (outcome.errors != 0 || outcome.reason.starts_with("engine")) {
        std::fprintf(stderr, "%s: the console ends\n%s\n", label.c_str(),
                     Tail(console, kShownLines).c_str());
        if (!notes_.empty()) {
            std::fprintf(stderr, "%s: engine moves with error reports\n%s", label.c_str(),
                         notes_.c_str());
        }
    }
    notes_.clear();
    return outcome;
}

// Random legal moves, entered as the user's.
void ToolGames::PlayOpening(std::mt19937& random) {
    const int plies = position_.game == kGame2D ? kOpeningPlies2D : kOpeningPlies3D;
    for (int i = 0; i < plies && controller_.Current().winner == 0; ++i) {
        auto position = std::make_unique<Position>(controller_.Current());
        const std::vector<Move> moves = LegalMoves(*position);
        if (moves.empty()) return;
        controller_.UserMove(moves[random() % moves.size()]);
    }
}

// The engines alternate until the game is decided. Returns the reason when the game ended
// otherwise (the record limit, a fault), with the result set; empty when the game decided it.
std::string ToolGames::PlayEngines(const ConsoleCapture& capture, const GameSide& white,
                                   const GameSide& black, GameOutcome& outcome) {
    for (;;) {
        const Position& p = controller_.Current();
        if (p.winner != 0) return "";
        if (p.ply >= kLastPly) {
            outcome.result = 2;
            return "record limit";
        }
        const int side = SideSign(p);
        const GameSide& mover = side > 0 ? white : black;
        // Whether the board had decided the game before the engine moved.
        const bool decided =
            !HasLegalMove(p) || IsDraw(p, controller_.CurrentGame().block.keyHistory, kRepetitions);
        const unsigned ply = p.ply;
        const size_t mark = capture.Text().size();
        controller_.SetEngineSide(side);
        controller_.SetDifficulty(mover.difficulty);
        controller_.SetThinkingTime(mover.thinking);
        const long errors = ErrorReportCount();
        const bool moved = controller_.PlayEngineMove(*mover.engine);
        const std::string_view said = std::string_view(capture.Text()).substr(mark);
        if (ErrorReportCount() != errors) {
            notes_ += "at ply " + std::to_string(ply) + ":" + std::string(said) + "\n";
        }
        if (controller_.Current().ply != ply) continue;
        // No move was made: the game was decided before it, or the engine failed.
        if (Contains(said, "engine burp") || Contains(said, "legal but illegal")) {
            outcome.refused = true;
            outcome.result = -side;
            return "engine move refused";
        }
        // Nothing committed on an undecided board, whether or not the engine said so.
        if (!moved || (Contains(said, "TarvexLoses") && !decided) ||
            controller_.Current().winner == 0) {
            outcome.gaveUp = true;
            outcome.result = -side;
            return "engine gave up";
        }
    }
}

void ToolGames::WriteRecord(std::ostream& out) const {
    const Game& game = controller_.CurrentGame();
    out << startText_;
    for (unsigned ply = 0; ply < game.block.current.ply; ++ply) {
        out << ' ' << ToolMoveText(game.block.current, game.block.record[ply]);
    }
    out << '\n';
}

bool ToolGames::WritePgn(std::ostream& out, const PgnHeader& header, const GameOutcome& outcome,
                         const std::string& label) const {
    std::string text, error;
    if (!WriteGamePgn(controller_.CurrentGame(), header, ResultText(outcome.result), text, error)) {
        std::fprintf(stderr, "%s: no PGN: %s\n", label.c_str(), error.c_str());
        return false;
    }
    out << text;
    return true;
}

}  // namespace tarvex::tool
