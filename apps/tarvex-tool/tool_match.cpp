// tarvex-tool match: two parameter books A and B play each other through the path the window's
// games take, both at the Hard level with the same thinking budget. The games come in pairs:
// one random opening (from the seed and the pair's number, made as selfplay makes its openings)
// is played twice, A White in the first game and Black in the second, and each game starts
// with both engines' tables cleared. --jobs N plays N pairs at once in worker processes; what
// is printed and recorded does not depend on it. --record and --pgn write the games as selfplay
// does, in pair order.
//
//   pair <i>: <A's points> (<game with A White>, <game with A Black>)   one line per pair
//   A vs B W/D/L <A's wins>/<draws>/<A's losses>
//   pentanomial <n0>/<n1>/<n2>/<n3>/<n4>    pairs in which A scored 0, 0.5, 1, 1.5, 2 points
//   score <A's share of the points>
//   elo <A's Elo> +/- <95% error>           or "elo > X" / "elo < X" when A took all or nothing
//   llr <ratio> (<lower>, <upper>) [ELO0, ELO1]   with --sprt, then its verdict:
//   H1 accepted: A is stronger by ELO1 | H0 accepted | inconclusive
//   refused moves <r> / give-ups <g> / errors reported <e>   as selfplay counts them
//
// With --sprt the test is checked after each pair, in pair order, and the match stops where it
// is decided ("stopped after <n> of <N> pairs" comes first in the summary). The exit status is
// 1 when any of the last three counts is not 0 or a worker failed, 2 for bad arguments.
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "core/console.h"
#include "engine/parameters.h"
#include "game/thinking.h"
#include "match_statistics.h"
#include "match_workers.h"
#include "text/pgn.h"
#include "tool_commands.h"
#include "tool_games.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "match";
constexpr const char* kBuiltIn = "builtin";
constexpr int64_t kMaxPairs = 1000000;
constexpr int64_t kMaxJobs = 64;
constexpr ThinkingTime kDefaultThinking{ThinkingTime::Kind::kNodes, 10000};
constexpr int kMatchDifficulty = kDifficultyHard;  // the budget, not the depth, ends a search
constexpr int kHalfPointsWin = 2;

struct MatchOptions {
    ToolPosition position;
    const char* a = nullptr;
    const char* b = nullptr;
    int64_t pairs = 0;
    int64_t seed = 1;
    int64_t jobs = 1;
    ThinkingTime thinking = kDefaultThinking;
    std::optional<SprtTest> sprt;
    std::optional<double> alpha, beta;
    const char* record = nullptr;
    const char* pgn = nullptr;
};

const char* Value(int argc, char** argv, int& i) {
    if (i + 1 == argc) {
        ArgumentError(kCommand, "missing value after %s", argv[i]);
        return nullptr;
    }
    return argv[++i];
}

int NumberOption(int argc, char** argv, int& i, int64_t low, int64_t high, int64_t& out) {
    const char* name = argv[i];
    const char* value = Value(argc, argv, i);
    if (value == nullptr) return kExitUsage;
    if (!ParseNumber(value, low, high, out)) {
        return ArgumentError(kCommand, "bad value '%s' for %s (use %lld to %lld)", value, name,
                             static_cast<long long>(low), static_cast<long long>(high));
    }
    return kExitOk;
}

int RealOption(const char* name, const char* value, double& out) {
    if (value == nullptr) return kExitUsage;
    constexpr double kLimit = std::numeric_limits<double>::max();
    if (!ParseReal(value, -kLimit, kLimit, out))
        return ArgumentError(kCommand, "bad value '%s' for %s", value, name);
    return kExitOk;
}

int SprtOption(int argc, char** argv, int& i, std::optional<SprtTest>& out) {
    if (i + 2 >= argc) return ArgumentError(kCommand, "--sprt takes two Elo values");
    SprtTest test;
    if (RealOption("--sprt", argv[i + 1], test.elo0) != kExitOk ||
        RealOption("--sprt", argv[i + 2], test.elo1) != kExitOk) {
        return kExitUsage;
    }
    if (test.elo0 >= test.elo1) return ArgumentError(kCommand, "--sprt needs ELO0 below ELO1");
    i += 2;
    out = test;
    return kExitOk;
}

int ProbabilityOption(int argc, char** argv, int& i, std::optional<double>& out) {
    const char* name = argv[i];
    double value = 0;
    if (RealOption(name, Value(argc, argv, i), value) != kExitOk) return kExitUsage;
    if (value <= 0 || value >= 0.5) {
        return ArgumentError(kCommand, "bad value '%s' for %s (use above 0 and below 0.5)", argv[i],
                             name);
    }
    out = value;
    return kExitOk;
}

int ThinkingOption(int argc, char** argv, int& i, ThinkingTime& out) {
    const char* value = Value(argc, argv, i);
    if (value == nullptr) return kExitUsage;
    const std::optional<ThinkingTime> thinking = ParseThinkingBudget(value);
    if (!thinking) {
        return ArgumentError(
            kCommand, "bad thinking time '%s' (use classic, 1, 3, 10, 30 or nodes:N)", value);
    }
    out = *thinking;
    return kExitOk;
}

int TextOption(int argc, char** argv, int& i, const char*& out) {
    out = Value(argc, argv, i);
    return out == nullptr ? kExitUsage : kExitOk;
}

int ParseOption(int argc, char** argv, int& i, MatchOptions& options) {
    const std::string_view word = argv[i];
    if (word == "--a") return TextOption(argc, argv, i, options.a);
    if (word == "--b") return TextOption(argc, argv, i, options.b);
    if (word == "--pairs") return NumberOption(argc, argv, i, 1, kMaxPairs, options.pairs);
    if (word == "--seed") return NumberOption(argc, argv, i, 0, UINT32_MAX, options.seed);
    if (word == "--jobs") return NumberOption(argc, argv, i, 1, kMaxJobs, options.jobs);
    if (word == "--think") return ThinkingOption(argc, argv, i, options.thinking);
    if (word == "--sprt") return SprtOption(argc, argv, i, options.sprt);
    if (word == "--alpha") return ProbabilityOption(argc, argv, i, options.alpha);
    if (word == "--beta") return ProbabilityOption(argc, argv, i, options.beta);
    if (word == "--record") return TextOption(argc, argv, i, options.record);
    if (word == "--pgn") return TextOption(argc, argv, i, options.pgn);
    if (word.starts_with("-")) return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
    return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
}

int ParseArguments(int argc, char** argv, MatchOptions& options) {
    for (int i = 1; i < argc; ++i) {
        int status = -1;
        if (std::string_view(argv[i]) != "--pos") {
            status = ParseToolPosition(kCommand, argc, argv, i, options.position);
        }
        if (status == -1) status = ParseOption(argc, argv, i, options);
        if (status != kExitOk) return status;
    }
    if (options.a == nullptr || options.b == nullptr) {
        return ArgumentError(kCommand, "missing --a or --b");
    }
    if (options.pairs == 0) return ArgumentError(kCommand, "missing --pairs");
    if (options.pgn != nullptr && options.position.game != kGame2D) {
        return ArgumentError(kCommand, "--pgn takes the 2D game only");
    }
    if ((options.alpha || options.beta) && !options.sprt) {
        return ArgumentError(kCommand, "--alpha and --beta need --sprt");
    }
    if (options.sprt) {
        options.sprt->alpha = options.alpha.value_or(options.sprt->alpha);
        options.sprt->beta = options.beta.value_or(options.sprt->beta);
    }
    return kExitOk;
}

// The book a side plays with: the built-in one or that of a parameter file.
int LoadBook(const char* name, engine::ParameterBook& out) {
    if (std::string_view(name) != kBuiltIn) return ParamsOption(kCommand, name, out);
    out = engine::BuiltInParameters();
    return kExitOk;
}

// A's half points in a game: 2 for a win, 1 for a draw (anything but a win, as selfplay
// counts games).
int HalfPointsOfA(int result, bool aWhite) {
    if (result != 1 && result != -1) return 1;
    return (result == 1) == aWhite ? kHalfPointsWin : 0;
}

// Plays the pairs in worker processes; the parent shows them in pair order.
class Match {
public:
    explicit Match(const MatchOptions& options) : options_(options) {}

    bool LoadBooks() {
        return LoadBook(options_.a, bookA_) == kExitOk && LoadBook(options_.b, bookB_) == kExitOk;
    }

    // Plays the match; false when a worker failed.
    bool Run(std::ostream* record, std::ostream* pgn) {
        record_ = record;
        pgn_ = pgn;
        CountingEngine a(bookA_), b(bookB_);
        return PlayPairsInWorkers(
            static_cast<int>(options_.jobs), options_.pairs,
            [&](int64_t pair) { return PlayPair(pair, a, b); },
            [&](PairResult&& result) { return Take(std::move(result)); });
    }

    void PrintSummary() const {
        if (shown_ < options_.pairs) {
            ConsolePrint("stopped after %lld of %lld pairs\n", static_cast<long long>(shown_),
                         static_cast<long long>(options_.pairs));
        }
        ConsolePrint("A vs B W/D/L %lld/%lld/%lld\n", static_cast<long long>(wins_),
                     static_cast<long long>(draws_), static_cast<long long>(losses_));
        ConsolePrint("pentanomial %lld/%lld/%lld/%lld/%lld\n", static_cast<long long>(counts_[0]),
                     static_cast<long long>(counts_[1]), static_cast<long long>(counts_[2]),
                     static_cast<long long>(counts_[3]), static_cast<long long>(counts_[4]));
        const MatchFigures figures = FiguresOf(counts_);
        ConsolePrint("score %.3f\n", figures.score);
        ConsolePrint("%s\n", EloText(figures).c_str());
        if (options_.sprt) PrintSprt(*options_.sprt);
        ConsolePrint("refused moves %lld\n", static_cast<long long>(refused_));
        ConsolePrint("give-ups %lld\n", static_cast<long long>(giveUps_));
        ConsolePrint("errors reported %lld\n", static_cast<long long>(errors_));
    }

    bool Clean() const { return refused_ == 0 && giveUps_ == 0 && errors_ == 0 && pgnErrors_ == 0; }

private:
    // In a worker: the pair's two games, each from the same opening.
    PairResult PlayPair(int64_t pair, CountingEngine& a, CountingEngine& b) {
        ToolGames games(options_.position);
        games.Start(a);
        PairResult result;
        result.pair = pair;
        for (int game = 0; game < 2; ++game) {
            const bool aWhite = game == 0;
            const GameSide sideA{&a, kMatchDifficulty, options_.thinking};
            const GameSide sideB{&b, kMatchDifficulty, options_.thinking};
            std::seed_seq seeds{static_cast<uint32_t>(options_.seed), static_cast<uint32_t>(pair),
                                static_cast<uint32_t>(pair >> 32)};
            std::mt19937 random(seeds);
            const std::string label =
                "pair " + std::to_string(pair + 1) + " game " + std::to_string(game + 1);
            const GameOutcome outcome =
                games.Play(label, aWhite ? sideA : sideB, aWhite ? sideB : sideA, random);
            MatchGame& kept = result.games[game];
            kept.result = static_cast<int8_t>(outcome.result);
            kept.refused = outcome.refused;
            kept.gaveUp = outcome.gaveUp;
            kept.errors = static_cast<int32_t>(outcome.errors);
            if (record_ != nullptr)
                Append(result.record, [&](std::ostream& out) {
                    games.WriteRecord(out);
                    return true;
                });
            if (pgn_ != nullptr) {
                const PgnHeader header = Header(pair, game, aWhite);
                kept.pgnError = !Append(result.pgn, [&](std::ostream& out) {
                    return games.WritePgn(out, header, outcome, label);
                });
            }
        }
        return result;
    }

    template <typename Write>
    static bool Append(std::string& text, const Write& write) {
        std::ostringstream out;
        const bool written = write(out);
        text += out.str();
        return written;
    }

    PgnHeader Header(int64_t pair, int game, bool aWhite) const {
        PgnHeader header;
        header.event = "Tarvex match";
        header.site = "tarvex-tool";
        header.date = PgnToday();
        header.round = std::to_string(pair + 1) + "." + std::to_string(game + 1);
        const std::string a = std::string("A ") + options_.a;
        const std::string b = std::string("B ") + options_.b;
        header.white = aWhite ? a : b;
        header.black = aWhite ? b : a;
        return header;
    }

    // In the parent: keeps a result and shows the pairs that are now complete in order.
    // Returns false when the sequential test has decided the match.
    bool Take(PairResult&& result) {
        const int64_t pair = result.pair;
        waiting_.emplace(pair, std::move(result));
        for (auto next = waiting_.begin(); next != waiting_.end() && next->first == shown_;
             next = waiting_.begin()) {
            Show(next->second);
            waiting_.erase(next);
            ++shown_;
            if (options_.sprt && Verdict(LogLikelihoodRatio(counts_, *options_.sprt),
                                         *options_.sprt) != SprtVerdict::kContinue) {
                return false;
            }
        }
        return true;
    }

    void Show(const PairResult& result) {
        int halfPoints = 0;
        for (int game = 0; game < 2; ++game) {
            const MatchGame& g = result.games[game];
            const int points = HalfPointsOfA(g.result, game == 0);
            halfPoints += points;
            wins_ += points == kHalfPointsWin ? 1 : 0;
            draws_ += points == 1 ? 1 : 0;
            losses_ += points == 0 ? 1 : 0;
            refused_ += g.refused ? 1 : 0;
            giveUps_ += g.gaveUp ? 1 : 0;
            errors_ += g.errors;
            pgnErrors_ += g.pgnError ? 1 : 0;
        }
        ++counts_[static_cast<size_t>(halfPoints)];
        ConsolePrint("pair %lld: %g (%s, %s)\n", static_cast<long long>(result.pair + 1),
                     halfPoints / 2.0, ResultText(result.games[0].result),
                     ResultText(result.games[1].result));
        if (record_ != nullptr) *record_ << result.record;
        if (pgn_ != nullptr) *pgn_ << result.pgn;
    }

    void PrintSprt(const SprtTest& test) const {
        const double llr = LogLikelihoodRatio(counts_, test);
        ConsolePrint("llr %.2f (%.2f, %.2f) [%g, %g]\n", llr, LowerBound(test), UpperBound(test),
                     test.elo0, test.elo1);
        switch (Verdict(llr, test)) {
            case SprtVerdict::kAcceptH1:
                ConsolePrint("H1 accepted: A is stronger by %g\n", test.elo1);
                break;
            case SprtVerdict::kAcceptH0:
                ConsolePrint("H0 accepted\n");
                break;
            case SprtVerdict::kContinue:
                ConsolePrint("inconclusive\n");
                break;
        }
    }

    const MatchOptions& options_;
    engine::ParameterBook bookA_{}, bookB_{};
    std::ostream* record_ = nullptr;
    std::ostream* pgn_ = nullptr;
    std::map<int64_t, PairResult> waiting_;  // pairs that arrived before an earlier one
    int64_t shown_ = 0;
    Pentanomial counts_{};
    int64_t wins_ = 0, draws_ = 0, losses_ = 0;
    int64_t refused_ = 0, giveUps_ = 0, errors_ = 0, pgnErrors_ = 0;
};

}  // namespace

int RunMatch(int argc, char** argv) {
    MatchOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    auto match = std::make_unique<Match>(options);
    if (!match->LoadBooks()) return kExitUsage;
    GameFiles files;
    if (OpenGameFiles(kCommand, options.record, options.pgn, files) != kExitOk) return kExitUsage;
    const bool ran = match->Run(files.Record(), files.Pgn());
    match->PrintSummary();
    return ran && match->Clean() ? kExitOk : 1;
}

}  // namespace tarvex::tool
