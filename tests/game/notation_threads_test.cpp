#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/notation.h"
#include "game_test_support.h"
#include "moves/position_text.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

// Each thread names the moves of its own position over and over; the texts must stay those
// that one thread alone gets.
TEST(NotationThreads, TwoThreadsNameMovesAtOnce) {
    GameKindScope kind(kGame3D);
    ConsoleCapture quiet;
    Position positions[2];
    std::string error;
    ASSERT_TRUE(ReadPositionText(kGame3D, StartPositionText(kGame3D), positions[0], error));
    ASSERT_TRUE(ReadPositionText(
        kGame3D,
        "RP....prQP....pqKP....pkRP....prNP....pnBP....pbBP....pbNP....pn q3w,q6b,k1w,k6b b KQkq -",
        positions[1], error))
        << error;
    std::vector<std::string> expected[2];
    for (int i = 0; i < 2; ++i) {
        auto list = std::make_unique<MoveTextList>();
        GenerateMoveTexts(positions[i], *list);
        for (int m = 0; m < list->count; ++m) expected[i].push_back(list->texts[m]);
    }
    std::atomic<int> mismatches{0};
    auto work = [&](int i) {
        for (int round = 0; round < 200; ++round) {
            auto list = std::make_unique<MoveTextList>();
            GenerateMoveTexts(positions[i], *list);
            for (int m = 0; m < list->count; ++m) {
                if (expected[i][m] != list->texts[m]) ++mismatches;
                if (expected[i][m] != FindMoveText(list->moves[m])) ++mismatches;
            }
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
}  // namespace tarvex
