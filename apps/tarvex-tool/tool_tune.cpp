// tarvex-tool tune: fits the weights of one game to the results of its games (engine/tuner.h).
// Reads the data files (tune-data's lines; positions of the other game are skipped), tunes the
// game's sets starting from --params (the built-in book when not given) and writes the book to
// --out: the tuned game's sets and the other game's as they were. Progress and timings go to
// stdout.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/console.h"
#include "engine/parameter_layout.h"
#include "engine/parameter_text.h"
#include "engine/parameters.h"
#include "engine/tune_data.h"
#include "engine/tuner.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "tune";
constexpr int64_t kMaxThreads = 64;
constexpr int64_t kMaxEpochs = 1000000;
constexpr int64_t kMaxRounds = 100;
constexpr int64_t kMaxHoldout = 1000000;

struct TuneCommandOptions {
    int game = 0;  // kGame2D or kGame3D; 0: not given
    std::vector<std::string> data;
    const char* params = nullptr;
    const char* out = nullptr;
    engine::TuneOptions tune;
};

int NumberValue(int argc, char** argv, int& i, int64_t low, int64_t high, int& out) {
    if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
    int64_t value = 0;
    if (!ParseNumber(argv[i + 1], low, high, value)) {
        return ArgumentError(kCommand, "bad value '%s' for %s (use %lld to %lld)", argv[i + 1],
                             argv[i], static_cast<long long>(low), static_cast<long long>(high));
    }
    ++i;
    out = static_cast<int>(value);
    return kExitOk;
}

// The L2 pull: a number from 0 to 1.
int PullValue(int argc, char** argv, int& i, double& out) {
    if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
    if (!ParseReal(argv[i + 1], 0, 1, out))
        return ArgumentError(kCommand, "bad value '%s' for --pull (use 0 to 1)", argv[i + 1]);
    ++i;
    return kExitOk;
}

// --hold NAME[,NAME...]: the named ranges keep their values.
int HoldValue(int argc, char** argv, int& i, engine::TuneOptions& out) {
    if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
    std::string_view names = argv[++i];
    while (!names.empty()) {
        const size_t comma = names.find(',');
        const std::string_view name = names.substr(0, comma);
        names = comma == std::string_view::npos ? std::string_view{} : names.substr(comma + 1);
        const auto ranges = engine::ParameterRanges();
        const auto range = std::find_if(ranges.begin(), ranges.end(),
                                        [&](const auto& r) { return r.name == name; });
        if (range == ranges.end()) {
            return ArgumentError(kCommand, "unknown name '%.*s' for --hold",
                                 static_cast<int>(name.size()), name.data());
        }
        for (int k = 0; k < range->rows * range->columns; ++k) {
            out.held[static_cast<unsigned>(range->first + k)] = true;
        }
    }
    return kExitOk;
}

int ParseArguments(int argc, char** argv, TuneCommandOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        int status = kExitOk;
        if (word == "--threads") {
            status = NumberValue(argc, argv, i, 1, kMaxThreads, options.tune.threads);
        } else if (word == "--epochs") {
            status = NumberValue(argc, argv, i, 1, kMaxEpochs, options.tune.epochs);
        } else if (word == "--rounds") {
            status = NumberValue(argc, argv, i, 1, kMaxRounds, options.tune.rounds);
        } else if (word == "--holdout-every") {
            status = NumberValue(argc, argv, i, 2, kMaxHoldout, options.tune.holdoutEvery);
        } else if (word == "--pull") {
            status = PullValue(argc, argv, i, options.tune.pull);
        } else if (word == "--hold") {
            status = HoldValue(argc, argv, i, options.tune);
        } else if (word == "--min-positions") {
            status = NumberValue(argc, argv, i, 1, kMaxHoldout, options.tune.minimumReaders);
        } else if (word == "--game" || word == "--data" || word == "--params" || word == "--out") {
            if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
            const std::string_view value = argv[++i];
            if (word == "--data") options.data.emplace_back(value);
            if (word == "--params") options.params = argv[i];
            if (word == "--out") options.out = argv[i];
            if (word == "--game") {
                options.game = value == "2d" ? kGame2D : value == "3d" ? kGame3D : 0;
                if (options.game == 0) {
                    return ArgumentError(kCommand, "bad game '%s' (use 2d or 3d)", argv[i]);
                }
            }
        } else if (word.starts_with("-")) {
            return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
        } else {
            return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
        }
        if (status != kExitOk) return status;
    }
    if (options.game == 0) return ArgumentError(kCommand, "missing --game");
    if (options.data.empty()) return ArgumentError(kCommand, "missing --data");
    if (options.out == nullptr) return ArgumentError(kCommand, "missing --out");
    return kExitOk;
}

// The positions of game from the data files; kExitUsage (reported) for a file that cannot be
// read or a line that does not read.
int LoadPositions(const TuneCommandOptions& options, std::vector<engine::TunePosition>& out) {
    int64_t skipped = 0;
    for (const std::string& path : options.data) {
        std::ifstream in(path);
        if (!in) return ArgumentError(kCommand, "cannot read '%s'", path.c_str());
        std::string line, error;
        int64_t number = 0;
        int status = kExitOk;
        RunQuietly([&] {
            engine::TunePosition position;
            while (status == kExitOk && std::getline(in, line)) {
                ++number;
                if (line.empty()) continue;
                if (!engine::ReadTuneLine(line, position, error)) {
                    status = ArgumentError(kCommand, "%s line %lld: %s", path.c_str(),
                                           static_cast<long long>(number), error.c_str());
                } else if (position.position.gameKind != options.game) {
                    ++skipped;
                } else {
                    out.push_back(position);
                }
            }
        });
        if (status != kExitOk) return status;
    }
    ConsolePrint("loaded %zu positions (%lld of the other game skipped)\n", out.size(),
                 static_cast<long long>(skipped));
    return kExitOk;
}

}  // namespace

int RunTune(int argc, char** argv) {
    TuneCommandOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    const auto start = std::chrono::steady_clock::now();
    std::vector<engine::TunePosition> positions;
    if (LoadPositions(options, positions) != kExitOk) return kExitUsage;
    ConsolePrint("load %.2f s\n",
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    engine::ParameterBook book = engine::BuiltInParameters();
    if (options.params != nullptr && ParamsOption(kCommand, options.params, book) != kExitOk) {
        return kExitUsage;
    }
    options.tune.fixed = engine::IsFixedSlot;
    book.For(options.game) =
        engine::Tune(options.game, positions, book.For(options.game), options.tune);
    std::ofstream out(options.out);
    out << engine::WriteParameterText(book);
    out.close();
    if (!out) return ArgumentError(kCommand, "cannot write '%s'", options.out);
    return kExitOk;
}

}  // namespace tarvex::tool
