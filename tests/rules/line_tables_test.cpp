// The line tables a position carries: those of its game, rules and attack-board placement.
#include "rules/line_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "board/attack_boards.h"
#include "core/console.h"
#include "rules/make_move.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

// Building a position and moving an attack board attach the tables of the new kind, rules and
// placement; the parent keeps its own.
TEST(LineTables3D, BuildingAndBoardMovesAttachTheTablesOfThePlacement) {
    auto attached = [](const Position& p) {
        return p.lineTables != nullptr && p.lineTables->key == LineTablesKey(p) &&
               (Is3D(p) ? p.dirTable != nullptr && p.dirTable->key == ConfigurationKey(p.abPin)
                        : p.dirTable == nullptr);
    };
    EXPECT_TRUE(attached(Built("Ke1 ke8")));
    Position p = Built("K58 k61", k3DTournament), child;
    EXPECT_TRUE(attached(p));
    const LineTables* before = p.lineTables;
    Move board = MakeMoveRecord(100, kPinQ1, kPinQ3, 'T');
    ConsoleCapture quiet;
    ASSERT_EQ(MakeMove(child, p, board), 1);
    EXPECT_TRUE(attached(child));
    EXPECT_EQ(p.lineTables, before);
    auto fresh = std::make_unique<LineTables>();
    BuildLineTablesInto(child, *fresh);
    EXPECT_EQ(std::memcmp(child.lineTables, fresh.get(), sizeof *fresh), 0);
    // At home, a0 (square 0) sees the rear row of the board at k1 (16) along rank 0; with
    // board 100 moved to the neutral level it no longer does.
    EXPECT_EQ(before->dir[0][16], 8);
    EXPECT_EQ(child.lineTables->dir[0][16], 0);
}

}  // namespace
}  // namespace tarvex
