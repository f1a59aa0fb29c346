// The limits of a `go` command. Unknown tokens are skipped, as the protocol asks; a number that
// does not read leaves its field unset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvex::uci {

struct GoCommand {
    int64_t wtime = -1, btime = -1;  // milliseconds on the clocks; -1: not given
    int64_t winc = 0, binc = 0;
    int64_t movesToGo = 0;  // moves to the next time control; 0: the rest of the game
    int64_t moveTime = 0;   // exact time for this move; 0: not given
    int64_t depth = 0;
    int64_t nodes = 0;
    bool infinite = false;
    bool ponder = false;
};

// Reads the words after "go".
GoCommand ReadGoCommand(const std::vector<std::string>& words);

}  // namespace tarvex::uci
