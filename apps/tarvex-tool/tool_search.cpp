// tarvex-tool search: the engine's choice in one position, depth by depth.
//
//   depth <d> score <s> nodes <n> time <ms> pv <move> ...   after each completed depth
//   bestmove <move>                                         last line ("bestmove none" when
//                                                           the side to move has no move)
//
// The score is in centipawns from the side to move's point of view, or "mate <n>" in moves
// (negative when the side to move is being mated); moves are written as by "moves". Without a
// bound the search is the game's engine at Easy: its difficulty and its effort clock. --depth,
// --nodes and --movetime replace the effort clock and may be combined.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/console.h"
#include "engine/engine.h"
#include "engine/score.h"
#include "movegen/legal_moves.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "search";
constexpr int kMaxSearchDepth = kDifficultyHard - 1;

struct SearchOptions {
    ToolPosition position;
    int difficulty = 0;  // 0: not given
    int depth = 0;
    int64_t nodes = 0;
    int64_t milliseconds = 0;
    const char* params = nullptr;  // --params FILE; the built-in book when null
};

// Consumes the value of the option at argv[i] into out.
int NumberOption(int argc, char** argv, int& i, int64_t low, int64_t high, int64_t& out) {
    if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
    const char* option = argv[i];
    const char* value = argv[++i];
    if (!ParseNumber(value, low, high, out)) {
        return ArgumentError(kCommand, "bad value '%s' for %s (use %lld to %lld)", value, option,
                             static_cast<long long>(low), static_cast<long long>(high));
    }
    return kExitOk;
}

int ParseArguments(int argc, char** argv, SearchOptions& options) {
    for (int i = 1; i < argc; ++i) {
        int status = ParseToolPosition(kCommand, argc, argv, i, options.position);
        if (status == kExitOk) continue;
        if (status != -1) return status;
        const std::string_view word = argv[i];
        int64_t value = 0;
        if (word == "--difficulty") {
            if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
            options.difficulty = DifficultyNamed(argv[++i]);
            if (options.difficulty == 0) {
                return ArgumentError(kCommand, "bad difficulty '%s' (use easy, medium or hard)",
                                     argv[i]);
            }
            continue;
        }
        if (word == "--depth") {
            status = NumberOption(argc, argv, i, 2, kMaxSearchDepth, value);
            options.depth = static_cast<int>(value);
        } else if (word == "--nodes") {
            status = NumberOption(argc, argv, i, 1, INT64_C(1) << 48, value);
            options.nodes = value;
        } else if (word == "--movetime") {
            status = NumberOption(argc, argv, i, 1, INT64_C(1) << 40, value);
            options.milliseconds = value;
        } else if (word == "--params") {
            if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
            options.params = argv[++i];
            status = kExitOk;
        } else if (word.starts_with("-")) {
            return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
        } else {
            return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
        }
        if (status != kExitOk) return status;
    }
    const bool bounded = options.depth != 0 || options.nodes != 0 || options.milliseconds != 0;
    if (options.difficulty != 0 && bounded) {
        return ArgumentError(kCommand, "--difficulty excludes --depth, --nodes and --movetime");
    }
    return kExitOk;
}

engine::SearchLimits LimitsOf(const SearchOptions& options) {
    engine::SearchLimits limits;
    if (options.depth == 0 && options.nodes == 0 && options.milliseconds == 0) {
        limits.maxDepth = options.difficulty != 0 ? options.difficulty : kDifficultyEasy;
        limits.effortClock = true;
        return limits;
    }
    // The deepening stops below maxDepth.
    limits.maxDepth = options.depth != 0 ? options.depth + 1 : kDifficultyHard;
    limits.effortClock = false;
    limits.nodes = static_cast<uint64_t>(options.nodes);
    limits.milliseconds = options.milliseconds;
    return limits;
}

std::string ProgressLine(const Position& root, const engine::SearchProgress& progress) {
    std::string line = "depth " + std::to_string(progress.depth) + " score " +
                       ScoreText(progress.score) + " nodes " + std::to_string(progress.nodes) +
                       " time " + std::to_string(progress.milliseconds) + " pv";
    for (const Move& move : progress.pv) line += " " + ToolMoveText(root, move);
    return line;
}

}  // namespace

int DifficultyNamed(std::string_view word) {
    if (word == "easy") return kDifficultyEasy;
    if (word == "medium") return kDifficultyMedium;
    if (word == "hard") return kDifficultyHard;
    return 0;
}

bool ParseNumber(std::string_view word, int64_t low, int64_t high, int64_t& out) {
    if (word.empty() || word.size() > 18) return false;
    int64_t value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return false;
    out = value;
    return true;
}

bool ParseReal(std::string_view word, double low, double high, double& out) {
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size()) return false;
    if (!(value >= low && value <= high)) return false;  // also refuses nan
    out = value;
    return true;
}

std::string EngineMoveText(const Position& position, const Move& move) {
    if (IsNoMove(move)) return "none";
    const std::optional<Move> made = FindLegalMove(position, move);
    return ToolMoveText(position, made ? *made : move);
}

std::string ScoreText(int score) {
    if (!engine::IsMateScore(score)) return std::to_string(score / (engine::kScorePawn / 100));
    const int plies = engine::kScoreKingTaken - std::abs(score);
    const int moves = (plies + 1) / 2;
    return "mate " + std::to_string(score > 0 ? moves : -moves);
}

int RunSearch(int argc, char** argv) {
    SearchOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    auto root = std::make_unique<Position>();
    if (SetUpToolPosition(kCommand, options.position, *root) != kExitOk) return kExitUsage;
    auto book = std::make_unique<engine::ParameterBook>(engine::BuiltInParameters());
    if (options.params != nullptr && ParamsOption(kCommand, options.params, *book) != kExitOk) {
        return kExitUsage;
    }
    bool anyMove = false;
    RunQuietly([&] { anyMove = HasLegalMove(*root); });
    if (!anyMove) {
        ConsolePrint("bestmove none\n");
        return kExitOk;
    }
    engine::SearchLimits limits = LimitsOf(options);
    // Each depth's line is printed as soon as it is complete, past the capture that keeps the
    // engine's notices of new attack-board placements out of the listing.
    limits.onProgress = [&root](const engine::SearchProgress& progress) {
        const ConsoleRedirect toStdout{ConsoleSink{}};
        ConsolePrint("%s\n", ProgressLine(*root, progress).c_str());
    };
    auto history = std::make_unique<KeyHistory>();
    std::string best;
    RunQuietly([&] {
        engine::Engine engine(*book);
        best = EngineMoveText(*root, engine.Choose(*root, *history, limits).move);
    });
    ConsolePrint("bestmove %s\n", best.c_str());
    return kExitOk;
}

}  // namespace tarvex::tool
