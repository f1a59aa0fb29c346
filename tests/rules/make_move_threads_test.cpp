// Two threads playing random 3D games at once, each on its own positions and attack-board
// placements, while the shared caches of direction and line tables fill up. Run under the
// thread sanitizer, this shows that making moves shares no unguarded state between threads.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "board/attack_boards.h"
#include "core/console.h"
#include "rules/initial_position.h"
#include "rules/position_checks.h"
#include "rules/position_setup.h"
#include "rules/random_mover.h"
#include "rules/repetition.h"

namespace tarvex {
namespace {

constexpr int kGames = 12;
constexpr int kMaxPlies = 150;

struct ThreadResult {
    long moves = 0;
    std::string problem;
};

// The initial pieces with the attack boards (and what stands on them) at the given pins.
bool StartPosition(Position& position, const uint32_t (&pins)[4]) {
    ClearPosition(position, kGame3D, kRulesTournament);
    WriteInitialPlacement(position);
    for (int b = 0; b < kBoardCount; ++b) position.abPin[b] = pins[b];
    position.flags = kCastlingRights;
    return BuildPosition(position);
}

void PlayOnThisThread(uint64_t seed, const uint32_t (&pins)[4], ThreadResult& result) {
    RandomMover mover(seed);
    KeyHistory history;  // each thread's game has its own, as each search has
    const MoveContext context{&history};
    Position records[2];
    long refused = 0;
    for (int game = 0; game < kGames; ++game) {
        if (!StartPosition(records[0], pins)) {
            result.problem = "set-up failed";
            return;
        }
        int current = 0;
        for (int ply = 0; ply < kMaxPlies; ++ply) {
            Candidate played;
            if (!mover.Play(records[1 - current], records[current], context, played, refused))
                break;
            const std::string problem = CompletedPositionProblem(records[1 - current]);
            if (!problem.empty()) {
                result.problem = problem + " after " + MoveText(played.move);
                return;
            }
            ++result.moves;
            current = 1 - current;
        }
    }
}

TEST(MakeMoveThreads, TwoThreeDimensionalGamesAtOnce) {
    ConsoleCapture console;
    constexpr uint32_t kHome[4] = {kPinQ1, kPinQ6, kPinK1, kPinK6};
    constexpr uint32_t kMoved[4] = {kPinQ2, kPinQ5, kPinK3, kPinK4};
    ThreadResult results[2];
    std::thread first(PlayOnThisThread, 11, std::cref(kHome), std::ref(results[0]));
    std::thread second(PlayOnThisThread, 12, std::cref(kMoved), std::ref(results[1]));
    first.join();
    second.join();
    for (const ThreadResult& result : results) {
        EXPECT_EQ(result.problem, "");
        EXPECT_GT(result.moves, 200);
    }
    EXPECT_EQ(WithoutBuildNotices(console.Text()), "");
}

}  // namespace
}  // namespace tarvex
