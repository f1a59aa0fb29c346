// Perft: the number of legal move sequences of each length, against published 2D counts and
// the counts of the 3D start position.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/console.h"
#include "movegen/legal_moves.h"
#include "movegen/test_positions.h"
#include "moves/initial_position.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

// Counts up to this size run in the quick suites; larger ones in the slow suite.
constexpr uint64_t kQuickNodes = 200000;

struct PerftCase {
    std::string fen;
    std::vector<uint64_t> counts;  // depth 1, 2, ...
};

std::vector<PerftCase> ReadPerftData() {
    std::ifstream file(std::string(TARVEX_TEST_DATA) + "/perft2d.txt");
    EXPECT_TRUE(file.good()) << "tests/data/perft2d.txt";
    std::vector<PerftCase> cases;
    std::string line;
    while (std::getline(file, line)) {
        const size_t semicolon = line.find(';');
        if (line.empty() || line[0] == '#' || semicolon == std::string::npos) continue;
        PerftCase c{line.substr(0, semicolon), {}};
        std::istringstream counts(line.substr(semicolon + 1));
        for (uint64_t n; counts >> n;) c.counts.push_back(n);
        cases.push_back(c);
    }
    EXPECT_EQ(cases.size(), 5u);
    return cases;
}

// Checks every count of the data file whose size lies in [low, high].
void CheckPublishedCounts(uint64_t low, uint64_t high) {
    GameKindScope game(kGame2D);
    for (const PerftCase& c : ReadPerftData()) {
        Position p = testing::FromText(c.fen);
        for (size_t i = 0; i < c.counts.size(); ++i) {
            if (c.counts[i] < low || c.counts[i] > high) continue;
            EXPECT_EQ(Perft(p, static_cast<int>(i) + 1), c.counts[i])
                << c.fen << " depth " << i + 1;
        }
    }
}

TEST(Perft2D, PublishedCounts) {
    CheckPublishedCounts(0, kQuickNodes);
}

TEST(Perft2DSlow, PublishedDeepestCounts) {
    CheckPublishedCounts(kQuickNodes + 1, UINT64_MAX);
}

// The 3D start position; the independent reference generator of the tests gives the same.
struct Counts3D {
    int rules;
    uint64_t counts[4];
};
constexpr Counts3D kStart3D[] = {{kRulesTournament, {21, 441, 10004, 226504}},
                                 {kRulesStandard, {21, 441, 10088, 230320}}};

void CheckStart3D(int firstDepth, int lastDepth) {
    for (const Counts3D& c : kStart3D) {
        GameKindScope game(kGame3D, c.rules);
        ConsoleCapture quiet;
        Position p;
        ASSERT_EQ(SetUpInitialPosition(p), 1);
        for (int depth = firstDepth; depth <= lastDepth; ++depth) {
            EXPECT_EQ(Perft(p, depth), c.counts[depth - 1])
                << "rules " << c.rules << " depth " << depth;
        }
    }
}

TEST(Perft3D, StartPosition) {
    CheckStart3D(1, 3);
}

TEST(Perft3DSlow, StartPositionDepthFour) {
    CheckStart3D(4, 4);
}

// Two threads counting at once meet new attack-board placements together; both count as one
// thread alone does.
TEST(PerftThreads, TwoThreadsCountAlike) {
    GameKindScope game(kGame3D, kRulesTournament);
    ConsoleCapture quiet;
    // Empty attack boards of both sides move from the first ply on.
    Position p = testing::FromText(
        testing::Squares3D({{40, 'N'}, {42, 'K'}, {45, 'k'}, {47, 'n'}, {33, 'P'}, {38, 'p'}}) +
        " q2w,q5b,k3w,k4b w - -");
    uint64_t counts[2] = {0, 0};
    std::thread first([&] {
        Position copy = p;
        counts[0] = Perft(copy, 3);
    });
    std::thread second([&] {
        Position copy = p;
        counts[1] = Perft(copy, 3);
    });
    first.join();
    second.join();
    const uint64_t alone = Perft(p, 3);
    EXPECT_EQ(counts[0], alone);
    EXPECT_EQ(counts[1], alone);
    EXPECT_GT(alone, 1000u);
}

}  // namespace
}  // namespace tarvex
