// tarvex-tool perft: the number of legal move sequences of each length from a position.
//
//   depth <d> nodes <n>          one line per depth 1..N
//   <move>: <n>                  with --divide, first: the sequences of length N under each
//                                legal first move, sorted (moves written as by "moves")
//   total <n> nodes in <t> s, <r> nodes per second     last line
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/console.h"
#include "movegen/legal_moves.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "perft";
constexpr int kMaxDepth = 12;

struct PerftOptions {
    ToolPosition position;
    int depth = 0;
    bool divide = false;
};

int ParseDepth(std::string_view word, PerftOptions& options) {
    int depth = 0;
    for (char c : word) {
        if (c < '0' || c > '9' || depth > kMaxDepth) {
            depth = -1;
            break;
        }
        depth = depth * 10 + (c - '0');
    }
    if (word.empty() || depth < 1 || depth > kMaxDepth) {
        return ArgumentError(kCommand, "bad depth '%s' (use 1 to %d)", std::string(word).c_str(),
                             kMaxDepth);
    }
    options.depth = depth;
    return kExitOk;
}

int ParseArguments(int argc, char** argv, PerftOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const int status = ParseToolPosition(kCommand, argc, argv, i, options.position);
        if (status == kExitOk) continue;
        if (status != -1) return status;
        const std::string_view word = argv[i];
        if (word == "--divide") {
            options.divide = true;
        } else if (word == "--depth") {
            if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
            if (ParseDepth(argv[++i], options) != kExitOk) return kExitUsage;
        } else if (word.starts_with("-")) {
            return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
        } else {
            return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
        }
    }
    if (options.depth == 0) return ArgumentError(kCommand, "missing --depth");
    return kExitOk;
}

using Division = std::vector<std::pair<std::string, uint64_t>>;

Division Divide(Position& position, int depth) {
    Division division;
    ForEachLegalMove(position, [&](const Move& move, Position& child) {
        division.emplace_back(ToolMoveText(position, move), Perft(child, depth - 1));
    });
    std::sort(division.begin(), division.end());
    return division;
}

}  // namespace

int RunPerft(int argc, char** argv) {
    PerftOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    Position position;
    if (SetUpToolPosition(kCommand, options.position, position) != kExitOk) return kExitUsage;
    const auto start = std::chrono::steady_clock::now();
    Division division;
    std::vector<uint64_t> counts;
    RunQuietly([&] {
        // With --divide the deepest count is the sum of the division.
        const int last = options.divide ? options.depth - 1 : options.depth;
        for (int depth = 1; depth <= last; ++depth) counts.push_back(Perft(position, depth));
        if (!options.divide) return;
        division = Divide(position, options.depth);
        uint64_t sum = 0;
        for (const auto& entry : division) sum += entry.second;
        counts.push_back(sum);
    });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const auto& [move, nodes] : division) {
        ConsolePrint("%s: %llu\n", move.c_str(), static_cast<unsigned long long>(nodes));
    }
    uint64_t total = 0;
    for (size_t i = 0; i < counts.size(); ++i) {
        ConsolePrint("depth %zu nodes %llu\n", i + 1, static_cast<unsigned long long>(counts[i]));
        total += counts[i];
    }
    const double rate = seconds > 0 ? static_cast<double>(total) / seconds : 0;
    ConsolePrint("total %llu nodes in %.3f s, %.0f nodes per second\n",
                 static_cast<unsigned long long>(total), seconds, rate);
    return kExitOk;
}

}  // namespace tarvex::tool
