#include "engine/parameters.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace tarvex::engine {
namespace {

TEST(ParametersTest, TellingRowsHold) {
    const struct {
        int slot;
        int32_t value[kStageCount];
    } kPerStage[] = {{0, {2000, 2295, 1912, 2000}},      {1, {2919, 355, 3000, 3000}},
                     {9, {1097, 1000, 1000, 1000}},      {44, {-1000, -1000, -998, -999}},
                     {45, {-3000, -2998, -2985, -3000}}, {46, {10000, 10000, 10000, 10000}},
                     {47, {10000, 10000, 10000, 10000}}, {1342, {30000, 30000, 30000, 30000}}};
    for (const auto& row : kPerStage) {
        for (int stage = 0; stage < kStageCount; ++stage) {
            EXPECT_EQ(BuiltInParameters()[stage][row.slot], row.value[stage])
                << row.slot << "/" << stage;
        }
    }
    const struct {
        int first;
        std::vector<int32_t> values;
    } kOpeningRuns[] = {{10, {0, 3000, 5996, 9000, 12000, 15000, 18000, 21000}},
                        {26, {0, 0, 1000, 2000, 3000, 4000, 5000, 6000}},
                        {1353, {15957, 10994, 5910, 2957, 1977, 874}},
                        {61 + 6, {1993}},    // a7: the rook table runs 8 x file + rank
                        {61 + 62, {1993}}};  // h7
    const ParameterSet& opening = BuiltInParameters()[kStageOpening];
    for (const auto& run : kOpeningRuns) {
        for (size_t i = 0; i < run.values.size(); ++i) {
            EXPECT_EQ(opening[run.first + i], run.values[i]) << run.first + i;
        }
    }
    EXPECT_NEAR(opening[slot::kRookSquares + 8 * 3 + 7], 500, 100);  // d8
}

// The values left to the engine's own tuning stay within bounds, and the slots no term reads
// hold nothing.
TEST(ParametersTest, EverySetIsBoundedAndLeavesUnusedSlotsEmpty) {
    for (int stage = 0; stage < kStageCount; ++stage) {
        const ParameterSet& p = BuiltInParameters()[stage];
        for (int32_t value : p) EXPECT_LE(std::abs(value), 100000) << stage;
        for (int unused : {1181, 1182, 1183, 1184, 1185, 1186, 1187, 1345})
            EXPECT_EQ(p[unused], 0) << stage;
    }
}

}  // namespace
}  // namespace tarvex::engine
