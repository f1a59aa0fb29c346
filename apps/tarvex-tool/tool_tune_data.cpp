// tarvex-tool tune-data: the training positions of the tuner, from recorded self-play games.
// Each game of a record file (one game a line: the start text and the moves) is replayed with
// its result from the matching console log ("game <i>: <result> in <plies> plies (<reason>)",
// in the same order); its quiet positions after the opening plies go to the output, one data
// line each (engine/tune_data.h), each position once over the whole run. Games that ran into
// the record's limit have no real result and are left out.
//
//   games <read> used <used> record-limit <n> unreadable <n>
//   positions <seen>
//   kept <quiet and new>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <regex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/console.h"
#include "engine/tune_data.h"
#include "movegen/legal_moves.h"
#include "text/position_text.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "tune-data";
constexpr int kFieldsText2D = 6;  // the record writes every FEN field
constexpr int kFieldsText3D = 5;  // and a sixth when moved pawns stand on start squares

struct TuneDataOptions {
    ToolPosition position;
    std::vector<std::string> records, logs;
    const char* out = nullptr;
};

struct GameResult {
    double white = 0;  // 1, 0.5, 0
    int plies = 0;
    bool recordLimit = false;
};

struct Counts {
    int64_t games = 0, used = 0, recordLimit = 0, unreadable = 0, positions = 0, kept = 0;
};

int ParseArguments(int argc, char** argv, TuneDataOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word != "--pos") {
            const int status = ParseToolPosition(kCommand, argc, argv, i, options.position);
            if (status == kExitOk) continue;
            if (status != -1) return status;
        }
        if (word != "--record" && word != "--log" && word != "--out") {
            if (word.starts_with("-"))
                return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
            return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
        }
        if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
        const char* value = argv[++i];
        if (word == "--record") options.records.emplace_back(value);
        if (word == "--log") options.logs.emplace_back(value);
        if (word == "--out") options.out = value;
    }
    if (options.records.empty()) return ArgumentError(kCommand, "missing --record");
    if (options.records.size() != options.logs.size()) {
        return ArgumentError(kCommand, "each --record needs its --log");
    }
    if (options.out == nullptr) return ArgumentError(kCommand, "missing --out");
    return kExitOk;
}

// The results of a console log, in game order.
bool ReadResults(const std::string& path, std::vector<GameResult>& out) {
    std::ifstream in(path);
    if (!in) return false;
    static const std::regex kGameLine(
        R"(^game [0-9]+: (1-0|0-1|1/2-1/2) in ([0-9]+) plies \((.*)\)$)");
    std::string line;
    std::smatch match;
    while (std::getline(in, line)) {
        if (!std::regex_match(line, match, kGameLine)) continue;
        GameResult result;
        result.white = match[1] == "1-0" ? 1 : match[1] == "0-1" ? 0 : 0.5;
        result.plies = std::stoi(match[2]);
        result.recordLimit = match[3] == "record limit";
        out.push_back(result);
    }
    return true;
}

// Splits a record line into its start text and its moves.
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t at = 0;
    while (at < line.size()) {
        const size_t end = std::min(line.find(' ', at), line.size());
        if (end > at) words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// Makes the legal move of position whose tool text is word; false when there is none.
bool MakeRecordedMove(Position& position, std::string_view word) {
    Position next;
    bool found = false;
    ForEachLegalMove(position, [&](const Move& move, Position& child) {
        if (!found && ToolMoveText(position, move) == word) {
            next = child;
            found = true;
        }
    });
    if (!found) return false;
    next.parent = nullptr;
    position = next;
    return true;
}

// Replays one game, writing its new quiet positions after the opening; false when the line
// does not read or does not agree with its result line.
bool ReplayGame(const TuneDataOptions& options, std::string_view line, const GameResult& result,
                std::unordered_set<uint64_t>& seen, std::ostream& out, Counts& counts) {
    const bool is3D = options.position.game == kGame3D;
    const std::vector<std::string_view> words = Words(line);
    size_t fields = is3D ? kFieldsText3D : kFieldsText2D;
    // A 3D move always holds a '-'; the moved-pawns field never does.
    if (is3D && words.size() > fields && words[fields].find('-') == std::string_view::npos) {
        ++fields;
    }
    if (words.size() < fields || words.size() - fields != static_cast<size_t>(result.plies)) {
        return false;
    }
    const std::string_view text(words[0].data(), words[fields - 1].end() - words[0].begin());
    Position position;
    std::string error;
    if (!ReadPositionText(options.position.game, options.position.rules, text, position, error)) {
        return false;
    }
    const int skipped = is3D ? engine::kSkippedPlies3D : engine::kSkippedPlies2D;
    for (size_t i = fields;; ++i) {
        if (static_cast<int>(i - fields) >= skipped) {
            ++counts.positions;
            const uint64_t key = uint64_t{position.hashKey} << 32 | position.hashKey2;
            if (engine::IsQuietPosition(position) && seen.insert(key).second) {
                ++counts.kept;
                out << engine::WriteTuneLine(result.white, position) << '\n';
            }
        }
        if (i == words.size()) return true;
        if (!MakeRecordedMove(position, words[i])) return false;
    }
}

// One record file with its log.
int ReplayFile(const TuneDataOptions& options, size_t file, std::unordered_set<uint64_t>& seen,
               std::ostream& out, Counts& counts) {
    std::vector<GameResult> results;
    if (!ReadResults(options.logs[file], results)) {
        return ArgumentError(kCommand, "cannot read '%s'", options.logs[file].c_str());
    }
    std::ifstream in(options.records[file]);
    if (!in) return ArgumentError(kCommand, "cannot read '%s'", options.records[file].c_str());
    std::string line;
    // A log still being written may lag its record: only games with both are read.
    for (size_t game = 0; game < results.size() && std::getline(in, line); ++game) {
        ++counts.games;
        if (results[game].recordLimit) {
            ++counts.recordLimit;
            continue;
        }
        if (!ReplayGame(options, line, results[game], seen, out, counts)) {
            ++counts.unreadable;
            continue;
        }
        ++counts.used;
    }
    return kExitOk;
}

}  // namespace

int RunTuneData(int argc, char** argv) {
    TuneDataOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    std::ofstream out(options.out);
    if (!out) return ArgumentError(kCommand, "cannot write '%s'", options.out);
    std::unordered_set<uint64_t> seen;
    Counts counts;
    int status = kExitOk;
    RunQuietly([&] {
        for (size_t file = 0; file < options.records.size() && status == kExitOk; ++file) {
            status = ReplayFile(options, file, seen, out, counts);
        }
    });
    if (status != kExitOk) return status;
    out.close();
    if (!out) return ArgumentError(kCommand, "cannot write '%s'", options.out);
    ConsolePrint("games %lld used %lld record-limit %lld unreadable %lld\n",
                 static_cast<long long>(counts.games), static_cast<long long>(counts.used),
                 static_cast<long long>(counts.recordLimit),
                 static_cast<long long>(counts.unreadable));
    ConsolePrint("positions %lld\nkept %lld\n", static_cast<long long>(counts.positions),
                 static_cast<long long>(counts.kept));
    return kExitOk;
}

}  // namespace tarvex::tool
