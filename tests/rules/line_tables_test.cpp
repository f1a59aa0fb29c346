// The empty-board line and reach tables of both games, and of the 3D game under both rule sets
// and several attack-board placements.
#include "rules/line_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "core/console.h"
#include "rules/initial_position.h"
#include "rules/make_move.h"
#include "rules/position_checks.h"
#include "support/positions.h"

namespace tarvex {
namespace {

using namespace tarvex::testing;

constexpr int kSliders[] = {kBishop, kRook, kQueen, -kBishop, -kRook, -kQueen};
constexpr int kLineDirections[] = {8, 1, 9, 7};

// The directions and slider reach are checked whole below; here knights, kings and pawns, whose
// tables hold only the capture squares and nothing on the first and last ranks.
TEST(LineTables2D, ReachOfKnightsKingsAndPawns) {
    const LineTables& t = LinesFor(Initial(kGame2D));
    auto reached = [&](int code, unsigned from) {
        std::vector<unsigned> squares;
        for (unsigned to = 0; to < 64; ++to) {
            if (ReachOf(t, code, from, to)) squares.push_back(to);
        }
        return squares;
    };
    EXPECT_EQ(reached(-kKnight, Sq("b1")), Sqs("a3 c3 d2"));
    EXPECT_EQ(reached(kKing, Sq("h1")), Sqs("g1 g2 h2"));
    EXPECT_EQ(reached(kPawn, Sq("e2")), Sqs("d3 f3"));
    EXPECT_EQ(reached(-kPawn, Sq("e7")), Sqs("d6 f6"));
    EXPECT_EQ(reached(kPawn, Sq("a2")), Sqs("b3"));
    for (unsigned q : Sqs("a1 e1 h8 d8"))
        EXPECT_EQ(reached(kPawn, q).size() + reached(-kPawn, q).size(), 0u);
}

struct Placement {
    uint32_t pins[4];
    bool edgeLines;  // some outer file or back row is joined only by the Tournament edge step
};

// Home; boards in the middle of both columns; both middle pins of each column taken (the
// plain steps already join every neighbouring pair there); boards swapped between columns.
constexpr Placement kPlacements[] = {
    {{kPinQ1, kPinQ6, kPinK1, kPinK6}, true},
    {{kPinQ3, kPinQ5, kPinK2, kPinK5}, false},
    {{kPinQ2, kPinQ5, kPinK2, kPinK5}, false},
    {{kPinK1, kPinQ4, kPinQ1, kPinK3}, true},
};

Position AtPlacement(const Placement& placement, int game, int rules) {
    Position p;
    ClearPosition(p, game, rules);
    std::memcpy(p.abPin, placement.pins, sizeof p.abPin);
    return p;
}

// dir as the plain steps alone give it: every square of every step list followed, up to ten
// steps, in the four line directions.
std::unique_ptr<LineTables> PlainLines(const Position& p) {
    auto t = std::make_unique<LineTables>();
    std::memset(t.get(), 0, sizeof *t);
    for (unsigned a = 0; a < 64; ++a) {
        for (int d : kLineDirections) {
            uint64_t frontier = uint64_t{1} << a, reached = 0;
            for (int step = 0; step < 10 && frontier != 0; ++step) {
                uint64_t next = 0;
                for (unsigned s = 0; s < 64; ++s) {
                    if ((frontier >> s & 1) == 0) continue;
                    StepList list;
                    DirTo(p, s, d, list);
                    for (uint32_t i = 0; i < list.count; ++i) next |= uint64_t{1} << list.sq[i];
                }
                frontier = next & ~reached;
                reached |= next;
            }
            for (unsigned b = 0; b < 64; ++b) {
                if (b == a || (reached >> b & 1) == 0) continue;
                t->dir[a][b] = static_cast<int8_t>(d);
                t->dir[b][a] = static_cast<int8_t>(-d);
            }
        }
    }
    return t;
}

// Every dir entry against the plain steps (the 2D game and Standard rules) or against the plain
// steps plus the Tournament edge lines, and the reach of each slider against dir.
TEST(LineTables, DirectionsFollowTheStepsAndSlidersFollowTheDirections) {
    ConsoleCapture quiet;
    struct Variant {
        int game, rules;
    };
    for (Variant v : {Variant{kGame2D, kRulesTournament}, Variant{kGame3D, kRulesStandard},
                      Variant{kGame3D, kRulesTournament}}) {
        for (const Placement& placement : kPlacements) {
            const std::unique_ptr<LineTables> plain =
                PlainLines(AtPlacement(placement, v.game, kRulesStandard));
            const LineTables& t = LinesFor(AtPlacement(placement, v.game, v.rules));
            int wrong = 0, lost = 0, added = 0;
            for (unsigned a = 0; a < 64; ++a) {
                for (unsigned b = 0; b < 64; ++b) {
                    const int d = t.dir[a][b];
                    lost += plain->dir[a][b] != 0 && d != plain->dir[a][b];
                    added += plain->dir[a][b] == 0 && d != 0;
                    wrong += t.dir[b][a] != -d;
                    for (int code : kSliders)
                        wrong += ReachOf(t, code, a, b) != ReachOf(t, code, b, a);
                    const bool rookLine = d == 1 || d == -1 || d == 8 || d == -8;
                    wrong += ReachOf(t, kRook, a, b) != rookLine;
                    wrong += ReachOf(t, -kBishop, a, b) != (d != 0 && !rookLine);
                    wrong += ReachOf(t, kQueen, a, b) != (d != 0);
                }
            }
            const bool edge = v.game == kGame3D && v.rules == kRulesTournament;
            EXPECT_EQ(wrong, 0) << v.game << " rules " << v.rules << " pins " << placement.pins[0];
            EXPECT_EQ(lost, 0) << v.game << " rules " << v.rules << " pins " << placement.pins[0];
            EXPECT_EQ(added > 0, edge && placement.edgeLines)
                << v.game << " rules " << v.rules << " pins " << placement.pins[0];
            if (v.game == kGame2D) break;  // the 2D game has no placements
        }
    }
    // At home, a0 (square 0) sees a8 (6) across the empty pins of the queen's column and the
    // rear row of the board at k1 (16) along rank 0.
    const LineTables& home = LinesFor(AtPlacement(kPlacements[0], kGame3D, kRulesTournament));
    EXPECT_EQ(home.dir[0][6], 1);
    EXPECT_EQ(home.dir[6][0], -1);
    EXPECT_EQ(home.dir[0][16], 8);
    EXPECT_TRUE(ReachOf(home, kRook, 0, 6));
    EXPECT_FALSE(ReachOf(home, kBishop, 0, 6));
    // On the board itself the line from a0 to a8 runs one way only.
    const Position p = AtPlacement(kPlacements[0], kGame3D, kRulesTournament);
    EXPECT_TRUE(Reaches(p, 6, 0, 1));
    EXPECT_FALSE(Reaches(p, 0, 6, 1));
}

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
    Move board = MakeMoveRecord(100, kPinQ1, kPinQ3, MoveKind::kBoardMove);
    ConsoleCapture quiet;
    ASSERT_TRUE(MakeMove(child, p, board));
    EXPECT_TRUE(attached(child));
    EXPECT_EQ(p.lineTables, before);
    auto fresh = std::make_unique<LineTables>();
    BuildLineTablesInto(child, *fresh);
    EXPECT_EQ(std::memcmp(child.lineTables, fresh.get(), sizeof *fresh), 0);
    // Board 100 now stands on the neutral level: a0 no longer lies on rank 0 beside k1.
    EXPECT_EQ(before->dir[0][16], 8);
    EXPECT_EQ(child.lineTables->dir[0][16], 0);
}

}  // namespace
}  // namespace tarvex
