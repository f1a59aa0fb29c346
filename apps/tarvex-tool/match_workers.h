// The pairs of a match played in worker processes. The game controller, the console sink and
// the error report count belong to the process, so two games at once need two processes: each
// worker is a fork of the tool that plays every jobs-th pair and sends each pair's result down
// its own pipe. A pair's result depends on its number only, never on the worker that played it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace tarvex::tool {

// What the tool keeps of one game of a pair.
struct MatchGame {
    int8_t result = 0;  // 1 White won, -1 Black won, 2 drawn
    bool refused = false;
    bool gaveUp = false;
    int32_t errors = 0;
    bool pgnError = false;
};

// A pair: game 0 has A as White, game 1 A as Black. The texts are the games' record lines and
// PGN, empty unless asked for.
struct PairResult {
    int64_t pair = 0;
    std::array<MatchGame, 2> games;
    std::string record;
    std::string pgn;
};

// Plays pair number pair (0-based) in a worker.
using PairPlayer = std::function<PairResult(int64_t pair)>;
// Takes each result in the parent as it arrives (in any order); false stops the match.
using PairTaker = std::function<bool(PairResult&& result)>;

// Plays pairs 0..pairs-1 in jobs workers. Returns false when a worker failed (it died or its
// pipe broke before it sent all its pairs), which is reported on stderr; stopping through
// take is not a failure. The workers still running when take stops the match are ended.
bool PlayPairsInWorkers(int jobs, int64_t pairs, const PairPlayer& play, const PairTaker& take);

}  // namespace tarvex::tool
