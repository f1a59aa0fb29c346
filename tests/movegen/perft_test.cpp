// Perft: the number of legal move sequences of each length, against published 2D counts and
// the counts of the 3D start position.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/console.h"
#include "movegen/legal_moves.h"
#include "movegen/move_names.h"
#include "support/positions.h"

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
    for (std::string line; std::getline(file, line);) {
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
        Position p = testing::Initial(kGame3D, c.rules);
        ConsoleCapture quiet;
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

// Positions of different games counted at once on two threads, each meeting new attack-board
// placements, count as they do alone: the games share no state.
TEST(PerftThreads, GamesSideBySideCountAsAlone) {
    ConsoleCapture quiet;
    // Empty attack boards of both sides move from the first ply on.
    const std::string moving =
        testing::Squares3D({{40, 'N'}, {42, 'K'}, {45, 'k'}, {47, 'n'}, {33, 'P'}, {38, 'p'}}) +
        " q2w,q5b,k3w,k4b w - -";
    const Position kiwipete =
        testing::FromText("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    const Position tournament = testing::FromText(moving, kGame3D, kRulesTournament);
    const Position standard = testing::FromText(moving, kGame3D, kRulesStandard);
    const std::pair<const Position*, const Position*> pairs[] = {
        {&kiwipete, &tournament}, {&tournament, &standard}, {&standard, &standard}};
    std::vector<uint64_t> together;
    for (const auto& [a, b] : pairs) {
        uint64_t counts[2] = {0, 0};
        std::thread first([&, a = a] {
            Position copy = *a;
            counts[0] = Perft(copy, 3);
        });
        Position copy = *b;
        counts[1] = Perft(copy, 3);
        first.join();
        together.insert(together.end(), {counts[0], counts[1]});
    }
    const auto alone = [](Position p) { return Perft(p, 3); };
    const uint64_t t = alone(tournament), s = alone(standard);
    EXPECT_EQ(together, (std::vector<uint64_t>{97862, t, t, s, s, s}));
    EXPECT_GT(t, 1000u);
    EXPECT_NE(t, s) << "the rules matter here";
}

}  // namespace
}  // namespace tarvex
