// Attack masks of the 3D rays across levels under both rule sets, worked out by hand. (The 2D
// incremental update is checked against the full regeneration on every move of the random
// games.)
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board/attack_boards.h"
#include "rules/position_checks.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

using Squares = std::vector<unsigned>;

// 3D squares: White level c1..c4 = 40..43, neutral c3..c6 = 10..13, Black level c5..c8 =
// 44..47 (no attack board ever covers file c); board 100 at q1 holds a0 = 0, a1 = 1, b0 = 8,
// b1 = 9; board 106 holds 6, 7 (a8, a9 at q6) and 15 (b9); board 116 at k1 holds e0 = 16 and
// f0 = 24, board 122 at k6 holds e9 = 23 and f9 = 31. Of the squares in `among`, the piece on
// `from` attacks exactly `attacked`; the 3D game keeps no x-rays.
TEST(AttackMasks3D, RaysAcrossLevelsAndTournamentEdgeLines) {
    constexpr uint32_t kQ2[4] = {kPinQ1, kPinQ2, kPinK1, kPinK6},
                       kQ5[4] = {kPinQ1, kPinQ2, kPinK1, kPinQ5};
    const char* const fileC = "10 11 12 13 42 43 44 45 46 47";
    struct Case {
        const char* what;
        const char* pieces;
        int rules;
        const uint32_t* pins;  // nullptr: home
        unsigned from;
        const char* among;  // nullptr: every square
        const char* attacked;
    };
    const Case cases[] = {
        {"Tournament: any piece on any level ends the ray", "R41 p43", kRulesTournament, nullptr,
         41, fileC, "10 11 42 43"},
        {"Standard: the other levels stay open", "R41 p43", kRulesStandard, nullptr, 41, fileC,
         fileC},
        {"a0 along file a to q6 and along rank 0 to k1", "R0 p6 n24", kRulesTournament, nullptr, 0,
         nullptr, "1 6 8 16 24"},
        {"an enemy piece ends it, attacked", "R1 n6", kRulesTournament, kQ2, 1, "6 7", "6"},
        {"blocked at q2, the line still visits q5", "R1 n6", kRulesTournament, kQ5, 1, "6 7 22 23",
         "6 22 23"},
        {"no front rows under Standard rules", "Q15", kRulesStandard, nullptr, 15, "23 31", ""},
    };
    for (const Case& c : cases) {
        testing::Setup setup{kGame3D, c.rules};
        if (c.pins != nullptr) std::copy_n(c.pins, kBoardCount, setup.pins);
        Position p;
        ASSERT_TRUE(BuildFrom(p, std::string(c.pieces) + " K58 k61", setup)) << c.what;
        Squares got;
        const Squares among = c.among != nullptr ? Sqs(c.among) : Squares{};
        for (unsigned q : Attacked(p, c.from)) {
            if (c.among == nullptr || std::count(among.begin(), among.end(), q) != 0)
                got.push_back(q);
        }
        EXPECT_EQ(got, Sqs(c.attacked)) << c.what;
        for (unsigned q = 0; q < 64; ++q) EXPECT_EQ(p.xrays[q], 0u) << "no 3D x-rays";
    }
}

}  // namespace
}  // namespace tarvex
