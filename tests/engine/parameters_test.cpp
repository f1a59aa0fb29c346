#include "engine/parameters.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace tarvex::engine {
namespace {

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
