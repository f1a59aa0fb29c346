// Time management: how long one move may take, from the clock of the side to move. A move
// gets a share of the remaining time plus most of the increment; the search begins no new depth
// once the soft limit has passed and is cut off at the hard limit, which stays well inside the
// clock. The move overhead is kept back for the time the moves spend between the programs: a
// move never plans to use more than the clock less the overhead (1 ms at least).
#pragma once

#include <cstdint>

#include "go_command.h"

namespace tarvex::uci {

inline constexpr int64_t kNoLimit = INT64_MAX;

struct TimeBudget {
    int64_t softMs = kNoLimit;  // no new depth after this
    int64_t hardMs = kNoLimit;  // the search stops here
};

// The budget of a go command for the side to move. singleMove: only one legal move, which is
// played as soon as one depth is complete.
TimeBudget PlanTime(const GoCommand& go, bool whiteToMove, int64_t overheadMs, bool singleMove);

}  // namespace tarvex::uci
