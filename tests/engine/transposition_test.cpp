// The transposition table's store, replacement and probe rules, on keys chosen to share a
// bucket.
#include <gtest/gtest.h>

#include "engine/transposition_table.h"

namespace tarvex::engine {
namespace {

class TableTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.Resize(1);
        table.NextGeneration();
    }
    // A position with the given keys; the piece on a1 for stored moves.
    Position Keyed(uint32_t low, uint32_t high = 7) {
        Position p{};
        p.hashKey = low;
        p.hashKey2 = high;
        p.board[0] = kRook;
        return p;
    }
    // Keys that fall into the bucket of key 1000.
    uint32_t Same(int k) const { return 1000 + static_cast<uint32_t>(k * table.Entries()); }

    TranspositionTable table;
};

TEST_F(TableTest, SizeFromMegabytes) {
    EXPECT_EQ(TranspositionTable::EntriesFor(8), 299592u);
    EXPECT_EQ(TranspositionTable::EntriesFor(1) % 2, 0u);
}

TEST_F(TableTest, ProbesFindStoredBoundsOfTheRightSideAndDepth) {
    const Position p = Keyed(Same(0));
    int value = 0;
    EXPECT_FALSE(table.Probe(p, 0, 0, value, nullptr));
    const Move move = MakeMoveRecord(kRook, 0, 5, MoveKind::kQuiet);
    table.Store(p, 6, 100, 250, &move);                   // a lower bound: at least 250
    EXPECT_TRUE(table.Probe(p, 0, 200, value, nullptr));  // depth 0 takes any depth
    EXPECT_EQ(value, 250);
    EXPECT_FALSE(table.Probe(p, 7, 200, value, nullptr));  // not deep enough
    EXPECT_FALSE(table.Probe(p, 6, 300, value, nullptr));  // not high enough
    Move stored;
    table.Probe(p, 9, 0, value, &stored);  // the move comes back even without a cutoff
    EXPECT_TRUE(SameSquares(stored, move));
    EXPECT_EQ(stored.kind, MoveKind::kFromTable);
}

TEST_F(TableTest, BoundsMeetOrReplaceEachOther) {
    const Position p = Keyed(Same(0));
    table.Store(p, 4, 100, 150, nullptr);  // lower 150 at depth 4
    table.Store(p, 4, 151, 150, nullptr);  // upper 150 at the same depth: exact
    const TableEntry* e = table.Lookup(p);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->lower, 150);
    EXPECT_EQ(e->upper, 150);
    table.Store(p, 2, 100, 400, nullptr);  // a lower bound above the upper of another depth
    EXPECT_EQ(e->lower, 400);
    EXPECT_EQ(e->upper, kNoBound);
    EXPECT_EQ(e->upperDepth, 0);
}

TEST_F(TableTest, AFailLowKeepsTheMoveOfAnEarlierFailHigh) {
    const Position p = Keyed(Same(0));
    const Move move = MakeMoveRecord(kRook, 0, 3, MoveKind::kQuiet);
    table.Store(p, 3, 0, 10, &move);
    table.Store(p, 5, 50, 20, &move);  // an upper bound stores no move ...
    Move stored;
    int value;
    table.Probe(p, 0, 0, value, &stored);
    EXPECT_EQ(stored.to, 3u);  // ... and keeps the old one
}

TEST_F(TableTest, ReplacementPrefersDepthAndTheCurrentGeneration) {
    const Position deep = Keyed(Same(0)), second = Keyed(Same(1)), shallow = Keyed(Same(2));
    table.Store(deep, 8, 0, 10, nullptr);
    table.Store(second, 3, 0, 10, nullptr);  // entry 0 is deeper and current: goes to entry 1
    EXPECT_NE(table.Lookup(deep), nullptr);
    EXPECT_NE(table.Lookup(second), nullptr);
    table.Store(shallow, 0, 0, 10, nullptr);  // depth 0 and entry 1 current and deep: dropped
    EXPECT_EQ(table.Lookup(shallow), nullptr);
    for (int i = 0; i < 15; ++i) table.NextGeneration();  // the same generation again ...
    table.NextGeneration();                               // ... and one more: entry 0 is old
    table.Store(shallow, 0, 0, 10, nullptr);
    EXPECT_NE(table.Lookup(shallow), nullptr);
    EXPECT_NE(table.Lookup(deep), nullptr);  // moved to entry 1
    EXPECT_EQ(table.Lookup(second), nullptr);
}

TEST_F(TableTest, GenerationsRunFromOneToFifteen) {
    TranspositionTable fresh;
    int seen[16] = {};
    for (int i = 0; i < 30; ++i) {
        fresh.NextGeneration();
        ++seen[fresh.Generation()];
    }
    EXPECT_EQ(seen[0], 0);
    for (int g = 1; g <= 15; ++g) EXPECT_EQ(seen[g], 2) << g;
}

}  // namespace
}  // namespace tarvex::engine
