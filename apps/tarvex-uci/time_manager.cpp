#include "time_manager.h"

#include <algorithm>

namespace tarvex::uci {
namespace {

constexpr int64_t kMovesLeftGuess = 25;  // moves the remaining time is shared between
constexpr int64_t kMaxMovesToGo = 40;    // a longer control is planned as this many moves
constexpr int64_t kIncrementShare = 75;  // percent of the increment spent on this move
constexpr int64_t kSoftShare = 55;       // percent of the target after which no depth begins
constexpr int64_t kHardFactor = 4;       // the hard limit: this many targets at most
constexpr int64_t kHardClockShare = 30;  // percent of the remaining time, at most
constexpr int64_t kLastMoveShare = 80;   // with one move to go, at most this percent
constexpr int64_t kMinimumMs = 1;

}  // namespace

TimeBudget PlanTime(const GoCommand& go, bool whiteToMove, int64_t overheadMs, bool singleMove) {
    TimeBudget budget;
    if (go.moveTime > 0) {
        budget.hardMs = std::max(kMinimumMs, go.moveTime - overheadMs);
        budget.softMs = budget.hardMs;
    }
    const int64_t clock = whiteToMove ? go.wtime : go.btime;
    if (clock >= 0 && go.moveTime <= 0) {
        const int64_t increment = std::max<int64_t>(0, whiteToMove ? go.winc : go.binc);
        const int64_t available = std::max<int64_t>(0, clock - overheadMs);
        const int64_t movesToGo =
            go.movesToGo > 0 ? std::min(go.movesToGo, kMaxMovesToGo) : kMovesLeftGuess;
        // The increment counts only while the clock holds it: it is added after the move.
        const int64_t spendable = std::min(increment * kIncrementShare / 100, available);
        const int64_t target = available / movesToGo + spendable;
        const int64_t clockShare = movesToGo == 1 ? kLastMoveShare : kHardClockShare;
        // Never past the clock less the overhead, whatever the increment.
        const int64_t hardCap = std::min(available * clockShare / 100 + spendable, available);
        budget.hardMs = std::max(kMinimumMs, std::min(target * kHardFactor, hardCap));
        budget.softMs = std::max(kMinimumMs, std::min(target * kSoftShare / 100, budget.hardMs));
    }
    if (singleMove) budget.softMs = 0;
    return budget;
}

}  // namespace tarvex::uci
