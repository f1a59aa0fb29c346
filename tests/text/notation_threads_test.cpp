#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/positions.h"
#include "text/notation.h"

namespace tarvex::testing {
namespace {

// Notation keeps nothing between calls: two threads naming the moves of two positions over and
// over get the texts one thread alone gets.
TEST(NotationThreads, TwoThreadsNameMovesAtOnce) {
    const Position positions[2] = {
        Initial(kGame3D),
        FromText("RP....prQP....pqKP....pkRP....prNP....pnBP....pbBP....pbNP....pn "
                 "q3w,q6b,k1w,k6b b KQkq -",
                 kGame3D)};
    std::vector<std::string> expected[2];
    for (int i = 0; i < 2; ++i) {
        auto list = std::make_unique<MoveTextList>();
        GenerateMoveTexts(positions[i], kNotationTournament, *list);
        expected[i].assign(list->texts, list->texts + list->count);
    }
    std::atomic<int> mismatches{0};
    auto work = [&](int i) {
        auto list = std::make_unique<MoveTextList>();
        for (int round = 0; round < 200; ++round) {
            GenerateMoveTexts(positions[i], kNotationTournament, *list);
            for (int m = 0; m < list->count; ++m) {
                if (expected[i][m] != list->texts[m]) ++mismatches;
                if (expected[i][m] != FindMoveText(*list, list->moves[m])) ++mismatches;
            }
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace tarvex::testing
