// tarvex-tool tune-label: labels the tuner's data lines with the engine's own search. A game's
// result says little about one position of a game between weak players; the score of a deeper
// search than the games had says more. Each position is searched at Hard within a node budget,
// and the line's result becomes the search's win chance for White, 1 / (1 + 10^(-cp / 400)) (1 or
// 0 for a mate), or with --blend W, W x result + (1 - W) x chance. --part I/N takes the lines
// whose number is I modulo N, so that N processes can share a file.
//
//   labelled <lines> of <read>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "core/console.h"
#include "engine/engine.h"
#include "engine/score.h"
#include "engine/tune_data.h"
#include "movegen/legal_moves.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "tune-label";
constexpr int64_t kDefaultNodes = 5000;
constexpr int kTableMegabytes = 16;   // one position's search at most
constexpr double kChanceScale = 400;  // centipawns for odds of ten to one

struct LabelOptions {
    const char* data = nullptr;
    const char* out = nullptr;
    const char* params = nullptr;
    int64_t nodes = kDefaultNodes;
    double blend = 0;
    int64_t part = 0, parts = 1;
};

bool ParsePart(std::string_view word, int64_t& part, int64_t& parts) {
    const size_t slash = word.find('/');
    if (slash == std::string_view::npos) return false;
    return ParseNumber(word.substr(slash + 1), 1, 1000, parts) &&
           ParseNumber(word.substr(0, slash), 0, parts - 1, part);
}

int ParseArguments(int argc, char** argv, LabelOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word != "--data" && word != "--out" && word != "--params" && word != "--nodes" &&
            word != "--blend" && word != "--part") {
            if (word.starts_with("-"))
                return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
            return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
        }
        if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
        const char* value = argv[++i];
        bool good = true;
        if (word == "--data") options.data = value;
        if (word == "--out") options.out = value;
        if (word == "--params") options.params = value;
        if (word == "--nodes") good = ParseNumber(value, 1, INT64_C(1) << 40, options.nodes);
        if (word == "--blend") good = ParseReal(value, 0, 1, options.blend);
        if (word == "--part") good = ParsePart(value, options.part, options.parts);
        if (!good) return ArgumentError(kCommand, "bad value '%s' for %s", value, argv[i - 1]);
    }
    if (options.data == nullptr) return ArgumentError(kCommand, "missing --data");
    if (options.out == nullptr) return ArgumentError(kCommand, "missing --out");
    return kExitOk;
}

// The search's win chance for the side to move.
double ChanceOf(int score) {
    if (engine::IsMateScore(score)) return score > 0 ? 1 : 0;
    const double centipawns = static_cast<double>(score) / (engine::kScorePawn / 100);
    return 1 / (1 + std::pow(10.0, -centipawns / kChanceScale));
}

}  // namespace

int RunTuneLabel(int argc, char** argv) {
    LabelOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    auto book = std::make_unique<engine::ParameterBook>(engine::BuiltInParameters());
    if (options.params != nullptr && ParamsOption(kCommand, options.params, *book) != kExitOk) {
        return kExitUsage;
    }
    std::ifstream in(options.data);
    if (!in) return ArgumentError(kCommand, "cannot read '%s'", options.data);
    std::ofstream out(options.out);
    if (!out) return ArgumentError(kCommand, "cannot write '%s'", options.out);

    engine::SearchLimits limits;
    limits.maxDepth = kDifficultyHard;
    limits.effortClock = false;
    limits.nodes = static_cast<uint64_t>(options.nodes);
    auto engine = std::make_unique<engine::Engine>(*book, kTableMegabytes);
    auto history = std::make_unique<KeyHistory>();
    auto read = std::make_unique<engine::TunePosition>();
    std::string line, error;
    int64_t number = 0, labelled = 0;
    for (; std::getline(in, line); ++number) {
        if (number % options.parts != options.part) continue;
        bool good = false;
        RunQuietly([&] { good = engine::ReadTuneLine(line, *read, error); });
        if (!good) {
            ConsolePrint("%s: line %lld: %s\n", kCommand, static_cast<long long>(number + 1),
                         error.c_str());
            return kExitUsage;
        }
        const Position& position = read->position;
        bool anyMove = false;
        engine::SearchResult result;
        RunQuietly([&] {
            anyMove = HasLegalMove(position);
            if (anyMove) result = engine->Choose(position, *history, limits);
        });
        if (!anyMove) continue;
        double chance = ChanceOf(result.score);
        if (!WhiteToMove(position)) chance = 1 - chance;
        const double label = options.blend * read->result + (1 - options.blend) * chance;
        out << engine::WriteTuneLine(label, position) << '\n';
        ++labelled;
    }
    ConsolePrint("labelled %lld of %lld\n", static_cast<long long>(labelled),
                 static_cast<long long>(number));
    return out ? kExitOk : ArgumentError(kCommand, "cannot write '%s'", options.out);
}

}  // namespace tarvex::tool
