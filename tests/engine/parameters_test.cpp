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
            EXPECT_EQ(Parameters(stage)[row.slot], row.value[stage]) << row.slot << "/" << stage;
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
    const ParameterSet& opening = Parameters(kStageOpening);
    for (const auto& run : kOpeningRuns) {
        for (size_t i = 0; i < run.values.size(); ++i) {
            EXPECT_EQ(opening[run.first + i], run.values[i]) << run.first + i;
        }
    }
    EXPECT_NEAR(opening[slot::kRookSquares + 8 * 3 + 7], 500, 100);  // d8
}

TEST(ParametersTest, EverySetIsSane) {
    for (int stage = 0; stage < kStageCount; ++stage) {
        SCOPED_TRACE(stage);
        const ParameterSet& p = Parameters(stage);
        for (int32_t value : p) EXPECT_LE(std::abs(value), 100000);
        for (int unused : {1181, 1182, 1183, 1184, 1185, 1186, 1187, 1345}) EXPECT_EQ(p[unused], 0);
        for (int square = 0; square < 64; ++square) {  // square ^ 56: the same rank, file 7 - f
            for (int table : {slot::kRookSquares, slot::kKnightSquares, slot::kControlSquares,
                              slot::kPawnSquares}) {
                EXPECT_EQ(p[table + square], p[table + (square ^ 56)]) << table << " " << square;
            }
            EXPECT_EQ(p[slot::kQueenSideControl + square],
                      p[slot::kKingSideControl + (square ^ 56)]);
        }
        for (int i = slot::kAttackMobility; i < slot::kAttackMobility + 10 * 80; ++i) {
            if ((i - slot::kAttackMobility) % 10 != 9) {
                EXPECT_LE(p[i], p[i + 1]) << i;  // count i + 1 never scores below count i
            }
        }
        for (int n = 0; n + 1 < 8; ++n) {
            for (int table : {1205, 1213, 1221, 1229}) EXPECT_LE(p[table + n], p[table + n + 1]);
            EXPECT_LE(p[slot::kKingZoneOtherNoQueen + n], p[slot::kKingZoneOtherQueen + n]);
            EXPECT_LE(p[slot::kKingZoneOwnNoQueen + n], p[slot::kKingZoneOwnQueen + n]);
        }
        for (int d = 1; d < 6; ++d) {
            EXPECT_GT(p[slot::kPassed + d], p[slot::kPassed + d + 1]) << d;
            EXPECT_GE(p[slot::kPassed + d], Parameters(kStageOpening)[slot::kPassed + d]);
        }
        EXPECT_LT(p[slot::kKnightSquares + 0], p[slot::kKnightSquares + 8 * 3 + 3]);      // a1, d4
        EXPECT_GT(p[slot::kPawnSquares + 8 * 4 + 5], p[slot::kPawnSquares + 8 * 4 + 2]);  // e6, e3
    }
    const ParameterSet& opening = Parameters(kStageOpening);
    const ParameterSet& endgame = Parameters(kStageEndgame);
    EXPECT_EQ(opening[slot::kKingCentre + 3], opening[slot::kKingCentre]);  // not in the opening
    EXPECT_GT(endgame[slot::kKingCentre + 3], endgame[slot::kKingCentre]);
}

}  // namespace
}  // namespace tarvex::engine
