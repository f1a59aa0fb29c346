// tarvex-tool selfplay: the engine against itself through the path the window's games take.
// One game controller and two engines, one a side. Each game starts from the initial position
// with a few random plies (from the seed) entered as the user's; then the side to move becomes
// the engine's side, at that side's difficulty and thinking time, and the controller has that
// side's engine search and commit, until the game's own rules decide the game or the record is
// nearly full.
//
//   game <i>: <result> in <plies> plies (<reason>)       one line per game
//   result W/D/L <white wins>/<draws>/<black wins>
//   average plies <p>
//   engine moves <n> average nodes <N> average ms <T>
//   refused moves <r>     moves the gate refused while the game was undecided
//   give-ups <g>          the engine gave up a game the board had not decided
//   errors reported <e>   internal error reports during the run
//
// The exit status is 1 when any of the last three is not 0. Each game's console is captured;
// a game with a fault has its last lines shown on stderr. --record writes each game as its start
// text and moves; --pgn (2D game) writes each game as PGN for other chess programs.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/console.h"
#include "core/error_report.h"
#include "engine/engine.h"
#include "game/game_controller.h"
#include "game/game_pgn.h"
#include "game/thinking.h"
#include "movegen/legal_moves.h"
#include "rules/repetition.h"
#include "text/position_text.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "selfplay";
constexpr int kOpeningPlies2D = 4;
constexpr int kOpeningPlies3D = 6;
constexpr unsigned kLastPly = 998;  // the record's limit comes two plies later
constexpr int kRepetitions = 3;     // as the game counts them
constexpr int kShownLines = 12;     // of a faulty game's console

struct SelfPlayOptions {
    ToolPosition position;
    int64_t games = 0;
    int whiteDifficulty = 0;
    int blackDifficulty = 0;
    int difficulty = 0;
    std::optional<ThinkingTime> whiteThinking, blackThinking, thinking;
    int64_t seed = 1;
    const char* record = nullptr;
    const char* pgn = nullptr;
    engine::ParameterBook book = engine::BuiltInParameters();  // both sides'
};

// An engine that counts its work: searches, nodes and time.
class CountingEngine : public engine::MoveChooser {
public:
    explicit CountingEngine(const engine::ParameterBook& book) : engine_(book) {}

    engine::SearchResult Choose(const Position& root, const KeyHistory& history,
                                const engine::SearchLimits& limits) override {
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
    void NewGame() override { engine_.NewGame(); }

    int64_t searches = 0;
    uint64_t nodes = 0;
    double seconds = 0;

private:
    engine::Engine engine_;
};

struct Tally {
    int64_t whiteWins = 0, draws = 0, blackWins = 0;
    int64_t plies = 0;
    int64_t refused = 0, giveUps = 0;
};

int DifficultyOption(int argc, char** argv, int& i, int& out) {
    if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
    out = DifficultyNamed(argv[i + 1]);
    if (out == 0) {
        return ArgumentError(kCommand, "bad difficulty '%s' (use easy, medium or hard)",
                             argv[i + 1]);
    }
    ++i;
    return kExitOk;
}

int ThinkingOption(int argc, char** argv, int& i, std::optional<ThinkingTime>& out) {
    if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
    out = ParseThinkingBudget(argv[i + 1]);
    if (!out) {
        return ArgumentError(
            kCommand, "bad thinking time '%s' (use classic, 1, 3, 10, 30 or nodes:N)", argv[i + 1]);
    }
    ++i;
    return kExitOk;
}

int NumberOption(int argc, char** argv, int& i, int64_t low, int64_t high, int64_t& out) {
    if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
    if (!ParseNumber(argv[i + 1], low, high, out)) {
        return ArgumentError(kCommand, "bad value '%s' for %s (use %lld to %lld)", argv[i + 1],
                             argv[i], static_cast<long long>(low), static_cast<long long>(high));
    }
    ++i;
    return kExitOk;
}

int ParseArguments(int argc, char** argv, SelfPlayOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        int status = -1;
        if (word != "--pos") status = ParseToolPosition(kCommand, argc, argv, i, options.position);
        if (status == kExitOk) continue;
        if (status != -1) return status;
        if (word == "--games") {
            status = NumberOption(argc, argv, i, 1, 1000000, options.games);
        } else if (word == "--seed") {
            status = NumberOption(argc, argv, i, 0, UINT32_MAX, options.seed);
        } else if (word == "--difficulty") {
            status = DifficultyOption(argc, argv, i, options.difficulty);
        } else if (word == "--white") {
            status = DifficultyOption(argc, argv, i, options.whiteDifficulty);
        } else if (word == "--black") {
            status = DifficultyOption(argc, argv, i, options.blackDifficulty);
        } else if (word == "--think") {
            status = ThinkingOption(argc, argv, i, options.thinking);
        } else if (word == "--white-think") {
            status = ThinkingOption(argc, argv, i, options.whiteThinking);
        } else if (word == "--black-think") {
            status = ThinkingOption(argc, argv, i, options.blackThinking);
        } else if (word == "--params") {
            if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
            status = ParamsOption(kCommand, argv[++i], options.book);
        } else if (word == "--record" || word == "--pgn") {
            if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
            (word == "--pgn" ? options.pgn : options.record) = argv[++i];
            status = kExitOk;
        } else if (word.starts_with("-")) {
            return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
        } else {
            return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
        }
        if (status != kExitOk) return status;
    }
    if (options.games == 0) return ArgumentError(kCommand, "missing --games");
    if (options.pgn != nullptr && options.position.game != kGame2D) {
        return ArgumentError(kCommand, "--pgn takes the 2D game only");
    }
    if (options.difficulty != 0) {
        if (options.whiteDifficulty != 0 || options.blackDifficulty != 0) {
            return ArgumentError(kCommand, "--difficulty excludes --white and --black");
        }
        options.whiteDifficulty = options.blackDifficulty = options.difficulty;
    }
    if (options.thinking) {
        if (options.whiteThinking || options.blackThinking) {
            return ArgumentError(kCommand, "--think excludes --white-think and --black-think");
        }
        options.whiteThinking = options.blackThinking = options.thinking;
    }
    if (options.whiteDifficulty == 0) options.whiteDifficulty = kDifficultyEasy;
    if (options.blackDifficulty == 0) options.blackDifficulty = kDifficultyEasy;
    return kExitOk;
}

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

class SelfPlay {
public:
    explicit SelfPlay(const SelfPlayOptions& options)
        : options_(options),
          random_(static_cast<uint32_t>(options.seed)),
          white_(options.book),
          black_(options.book) {
        ConnectEngine(controller_, white_);
    }

    // Plays every game, each recorded on record and pgn when they are not null.
    void Run(std::ostream* record, std::ostream* pgn) {
        const long errorsBefore = ErrorReportCount();
        {
            ConsoleCapture quiet;
            controller_.NewGame(options_.position.game);
            controller_.SetRules(options_.position.rules);
        }
        for (int64_t game = 1; game <= options_.games; ++game) PlayGame(game, record, pgn);
        errors_ = ErrorReportCount() - errorsBefore;
    }

    void PrintSummary() const {
        const int64_t moves = white_.searches + black_.searches;
        const double games = static_cast<double>(options_.games);
        const double perMove = moves > 0 ? 1.0 / static_cast<double>(moves) : 0;
        ConsolePrint("result W/D/L %lld/%lld/%lld\n", static_cast<long long>(tally_.whiteWins),
                     static_cast<long long>(tally_.draws),
                     static_cast<long long>(tally_.blackWins));
        ConsolePrint("average plies %.1f\n", static_cast<double>(tally_.plies) / games);
        ConsolePrint("engine moves %lld average nodes %.0f average ms %.1f\n",
                     static_cast<long long>(moves),
                     static_cast<double>(white_.nodes + black_.nodes) * perMove,
                     (white_.seconds + black_.seconds) * 1000 * perMove);
        ConsolePrint("refused moves %lld\n", static_cast<long long>(tally_.refused));
        ConsolePrint("give-ups %lld\n", static_cast<long long>(tally_.giveUps));
        ConsolePrint("errors reported %ld\n", errors_);
    }

    bool Clean() const {
        return tally_.refused == 0 && tally_.giveUps == 0 && errors_ == 0 && pgnErrors_ == 0;
    }

private:
    void PlayGame(int64_t number, std::ostream* record, std::ostream* pgn) {
        const long errorsBefore = ErrorReportCount();
        std::string reason;
        int result = 0;  // 1 White won, -1 Black won, 2 drawn
        std::string startText;
        std::string console;
        {
            ConsoleCapture capture;
            controller_.NewGame(options_.position.game);
            // The controller's set-up clears the tables of the engine connected to it only.
            white_.NewGame();
            black_.NewGame();
            startText = WritePositionText(controller_.Current());
            controller_.SetEngineSide(0);
            PlayOpening();
            reason = PlayEngines(capture, result);
            console = capture.Text();
        }
        const Position& end = controller_.Current();
        if (reason.empty()) {
            result = end.winner;
            reason = VerdictReason(console, end);
        }
        Count(result, end.ply);
        const char* text = result == 1 ? "1-0" : result == -1 ? "0-1" : "1/2-1/2";
        ConsolePrint("game %lld: %s in %u plies (%s)\n", static_cast<long long>(number), text,
                     end.ply, reason.c_str());
        if (ErrorReportCount() != errorsBefore || reason.starts_with("engine")) {
            std::fprintf(stderr, "game %lld: the console ends\n%s\n",
                         static_cast<long long>(number), Tail(console, kShownLines).c_str());
            if (!notes_.empty()) {
                std::fprintf(stderr, "game %lld: engine moves with error reports\n%s",
                             static_cast<long long>(number), notes_.c_str());
            }
        }
        notes_.clear();
        if (record != nullptr) Record(*record, startText);
        if (pgn != nullptr) WriteGame(*pgn, number, text);
    }

    // Random legal moves, entered as the user's.
    void PlayOpening() {
        const int plies = options_.position.game == kGame2D ? kOpeningPlies2D : kOpeningPlies3D;
        for (int i = 0; i < plies && controller_.Current().winner == 0; ++i) {
            auto position = std::make_unique<Position>(controller_.Current());
            const std::vector<Move> moves = LegalMoves(*position);
            if (moves.empty()) return;
            controller_.UserMove(moves[random_() % moves.size()]);
        }
    }

    // The engines alternate until the game is decided. Returns the reason when the game ended
    // otherwise (the record limit, a fault), with result set; empty when the game decided it.
    std::string PlayEngines(const ConsoleCapture& capture, int& result) {
        for (;;) {
            const Position& p = controller_.Current();
            if (p.winner != 0) return "";
            if (p.ply >= kLastPly) {
                result = 2;
                return "record limit";
            }
            const int side = SideSign(p);
            // Whether the board had decided the game before the engine moved.
            const bool decided =
                !HasLegalMove(p) ||
                IsDraw(p, controller_.CurrentGame().block.keyHistory, kRepetitions);
            const unsigned ply = p.ply;
            const size_t mark = capture.Text().size();
            controller_.SetEngineSide(side);
            controller_.SetDifficulty(side > 0 ? options_.whiteDifficulty
                                               : options_.blackDifficulty);
            controller_.SetThinkingTime((side > 0 ? options_.whiteThinking : options_.blackThinking)
                                            .value_or(ThinkingTime{}));
            CountingEngine& engine = side > 0 ? white_ : black_;
            const long errors = ErrorReportCount();
            const bool moved = controller_.PlayEngineMove(engine);
            const std::string_view said = std::string_view(capture.Text()).substr(mark);
            if (ErrorReportCount() != errors) {
                notes_ += "at ply " + std::to_string(ply) + ":" + std::string(said) + "\n";
            }
            if (controller_.Current().ply != ply) continue;
            // No move was made: the game was decided before it, or the engine failed.
            if (Contains(said, "engine burp") || Contains(said, "legal but illegal")) {
                ++tally_.refused;
                result = -side;
                return "engine move refused";
            }
            // Nothing committed on an undecided board, whether or not the engine said so.
            if (!moved || (Contains(said, "TarvexLoses") && !decided) ||
                controller_.Current().winner == 0) {
                ++tally_.giveUps;
                result = -side;
                return "engine gave up";
            }
        }
    }

    void Count(int result, unsigned plies) {
        tally_.plies += plies;
        if (result == 1) {
            ++tally_.whiteWins;
        } else if (result == -1) {
            ++tally_.blackWins;
        } else {
            ++tally_.draws;
        }
    }

    // The start position's text, then every move of the game.
    void Record(std::ostream& out, const std::string& startText) {
        const Game& game = controller_.CurrentGame();
        out << startText;
        for (unsigned ply = 0; ply < game.block.current.ply; ++ply) {
            out << ' ' << ToolMoveText(game.block.current, game.block.record[ply]);
        }
        out << '\n';
    }

    // The game as PGN; the players are the engine at each side's difficulty.
    void WriteGame(std::ostream& out, int64_t number, const char* result) {
        PgnHeader header;
        header.event = "Tarvex selfplay";
        header.site = "tarvex-tool";
        header.date = PgnToday();
        header.round = std::to_string(number);
        header.white = PlayerName(options_.whiteDifficulty);
        header.black = PlayerName(options_.blackDifficulty);
        std::string text, error;
        if (!WriteGamePgn(controller_.CurrentGame(), header, result, text, error)) {
            ++pgnErrors_;
            std::fprintf(stderr, "game %lld: no PGN: %s\n", static_cast<long long>(number),
                         error.c_str());
            return;
        }
        out << text;
    }

    static std::string PlayerName(int difficulty) {
        const char* level = difficulty == kDifficultyHard     ? "Hard"
                            : difficulty == kDifficultyMedium ? "Medium"
                                                              : "Easy";
        return std::string("Tarvex ") + level;
    }

    const SelfPlayOptions& options_;
    std::mt19937 random_;
    CountingEngine white_, black_;
    GameController controller_;
    Tally tally_;
    long errors_ = 0;
    long pgnErrors_ = 0;  // games that could not be written as PGN
    std::string notes_;   // the console of the engine moves of a game that reported errors
};

}  // namespace

int RunSelfPlay(int argc, char** argv) {
    SelfPlayOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    std::ofstream record, pgn;
    if (options.record != nullptr) {
        record.open(options.record);
        if (!record) return ArgumentError(kCommand, "cannot write '%s'", options.record);
    }
    if (options.pgn != nullptr) {
        pgn.open(options.pgn);
        if (!pgn) return ArgumentError(kCommand, "cannot write '%s'", options.pgn);
    }
    auto selfPlay = std::make_unique<SelfPlay>(options);
    selfPlay->Run(record.is_open() ? &record : nullptr, pgn.is_open() ? &pgn : nullptr);
    selfPlay->PrintSummary();
    return selfPlay->Clean() ? kExitOk : 1;
}

}  // namespace tarvex::tool
