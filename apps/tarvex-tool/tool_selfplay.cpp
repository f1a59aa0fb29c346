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
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>

#include "core/console.h"
#include "core/error_report.h"
#include "game/thinking.h"
#include "text/pgn.h"
#include "tool_commands.h"
#include "tool_games.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "selfplay";

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

class SelfPlay {
public:
    explicit SelfPlay(const SelfPlayOptions& options)
        : options_(options),
          random_(static_cast<uint32_t>(options.seed)),
          white_(options.book),
          black_(options.book),
          games_(options.position) {}

    // Plays every game, each recorded on record and pgn when they are not null.
    void Run(std::ostream* record, std::ostream* pgn) {
        const long errorsBefore = ErrorReportCount();
        games_.Start(white_);
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
        const std::string label = "game " + std::to_string(number);
        const GameSide white{&white_, options_.whiteDifficulty,
                             options_.whiteThinking.value_or(ThinkingTime{})};
        const GameSide black{&black_, options_.blackDifficulty,
                             options_.blackThinking.value_or(ThinkingTime{})};
        const GameOutcome outcome = games_.Play(label, white, black, random_);
        Count(outcome);
        ConsolePrint("game %lld: %s in %u plies (%s)\n", static_cast<long long>(number),
                     ResultText(outcome.result), outcome.plies, outcome.reason.c_str());
        if (record != nullptr) games_.WriteRecord(*record);
        if (pgn != nullptr && !games_.WritePgn(*pgn, Header(number), outcome, label)) {
            ++pgnErrors_;
        }
    }

    void Count(const GameOutcome& outcome) {
        tally_.plies += outcome.plies;
        tally_.refused += outcome.refused ? 1 : 0;
        tally_.giveUps += outcome.gaveUp ? 1 : 0;
        if (outcome.result == 1) {
            ++tally_.whiteWins;
        } else if (outcome.result == -1) {
            ++tally_.blackWins;
        } else {
            ++tally_.draws;
        }
    }

    // The players are the engine at each side's difficulty.
    PgnHeader Header(int64_t number) const {
        PgnHeader header;
        header.event = "Tarvex selfplay";
        header.site = "tarvex-tool";
        header.date = PgnToday();
        header.round = std::to_string(number);
        header.white = PlayerName(options_.whiteDifficulty);
        header.black = PlayerName(options_.blackDifficulty);
        return header;
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
    ToolGames games_;
    Tally tally_;
    long errors_ = 0;
    long pgnErrors_ = 0;  // games that could not be written as PGN
};

}  // namespace

int RunSelfPlay(int argc, char** argv) {
    SelfPlayOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    GameFiles files;
    if (OpenGameFiles(kCommand, options.record, options.pgn, files) != kExitOk) return kExitUsage;
    auto selfPlay = std::make_unique<SelfPlay>(options);
    selfPlay->Run(files.Record(), files.Pgn());
    selfPlay->PrintSummary();
    return selfPlay->Clean() ? kExitOk : 1;
}

}  // namespace tarvex::tool
