// The empty-board line and reach tables of both games, and of the 3D game under both rule sets
// and several attack-board placements.
#include "moves/line_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "core/console.h"
#include "core/settings.h"
#include "moves/initial_position.h"
#include "moves/make_move.h"
#include "moves/position_checks.h"
#include "moves/test_positions.h"
#include "support/game_kind.h"

namespace tarvex {
namespace {

constexpr int kSliders[] = {kBishop, kRook, kQueen, -kBishop, -kRook, -kQueen};
constexpr int kLineDirections[] = {8, 1, 9, 7};

// The directions themselves are checked whole below; here the reach of single pieces.
TEST(LineTables2D, ReachOfPiecesAndPawns) {
    GameKindScope kind(kGame2D);
    Position p;
    ASSERT_EQ(SetUpInitialPosition(p), 1);
    const LineTables& t = LinesFor(p);
    EXPECT_EQ(t.dir[Sq("a1")][Sq("h8")], 9);
    EXPECT_EQ(t.dir[Sq("h1")][Sq("a8")], -7);
    EXPECT_EQ(t.dir[Sq("e4")][Sq("a4")], -8);
    EXPECT_TRUE(ReachOf(t, kKnight, Sq("b1"), Sq("c3")));
    EXPECT_TRUE(ReachOf(t, -kKnight, Sq("b1"), Sq("c3")));
    EXPECT_FALSE(ReachOf(t, kRook, Sq("a1"), Sq("h8")));
    EXPECT_TRUE(ReachOf(t, kQueen, Sq("a1"), Sq("h8")));
    EXPECT_FALSE(ReachOf(t, kKing, Sq("e1"), Sq("g1")));
    EXPECT_FALSE(ReachOf(t, kRook, Sq("a1"), Sq("a1")));
    // Pawn tables hold only the capture squares, and nothing on the first and last ranks.
    auto reached = [&](int code, unsigned from) {
        std::vector<unsigned> squares;
        for (unsigned to = 0; to < 64; ++to) {
            if (ReachOf(t, code, from, to)) squares.push_back(to);
        }
        return squares;
    };
    EXPECT_EQ(reached(kPawn, Sq("e2")), Sqs("d3 f3"));
    EXPECT_EQ(reached(-kPawn, Sq("e7")), Sqs("d6 f6"));
    EXPECT_EQ(reached(kPawn, Sq("a2")), Sqs("b3"));
    for (unsigned q = 0; q < 64; ++q) {
        if (q % 8 != 0 && q % 8 != 7) continue;
        EXPECT_TRUE(reached(kPawn, q).empty()) << q;
        EXPECT_TRUE(reached(-kPawn, q).empty()) << q;
    }
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

Position AtPlacement(const Placement& placement) {
    Position p{};
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
            const Position p = AtPlacement(placement);
            std::unique_ptr<LineTables> plain;
            {
                GameKindScope kind(v.game, kRulesStandard);
                plain = PlainLines(p);
            }
            GameKindScope kind(v.game, v.rules);
            const LineTables& t = LinesFor(p);
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
    GameKindScope kind(kGame3D, kRulesTournament);
    const LineTables& home = LinesFor(AtPlacement(kPlacements[0]));
    EXPECT_EQ(home.dir[0][6], 1);
    EXPECT_EQ(home.dir[6][0], -1);
    EXPECT_EQ(home.dir[0][16], 8);
    EXPECT_TRUE(ReachOf(home, kRook, 0, 6));
    EXPECT_FALSE(ReachOf(home, kBishop, 0, 6));
}

TEST(LineTables3D, EdgeStepExistsOnlyUnderTournamentRules) {
    ConsoleCapture quiet;
    const Position p = AtPlacement(kPlacements[0]);
    StepList step;
    {
        GameKindScope kind(kGame3D, kRulesStandard);
        EXPECT_EQ(EdgeStep(p, 1, 1, step), 0);
    }
    GameKindScope kind(kGame3D, kRulesTournament);
    ASSERT_EQ(EdgeStep(p, 1, 1, step), 1);
    EXPECT_EQ(step.sq[0], 6u);
    EXPECT_EQ(Reaches(p, 6, 0, 1), 1);
    EXPECT_EQ(Reaches(p, 0, 6, 1), 0);
}

TEST(LineTables3D, AttackBoardMoveBringsTheTablesOfTheNewPlacement) {
    GameKindScope kind(kGame3D);
    Position p, child;
    ASSERT_TRUE(BuildFrom(p, "K58 k61"));
    auto copyOf = [](const LineTables& t) {
        auto copy = std::make_unique<LineTables>();
        std::memcpy(copy.get(), &t, sizeof t);
        return copy;
    };
    const auto before = copyOf(LinesFor(p));
    Move board = MakeMoveRecord(100, kPinQ1, kPinQ3, 'T');
    ConsoleCapture quiet;
    ASSERT_EQ(MakeMove(child, p, board), 1);
    auto fresh = std::make_unique<LineTables>();
    BuildLineTablesInto(child, *fresh);
    const auto after = copyOf(LinesFor(child));
    EXPECT_EQ(std::memcmp(after.get(), fresh.get(), sizeof *fresh), 0);
    EXPECT_NE(std::memcmp(after.get(), before.get(), sizeof *before), 0);
    // Board 100 now stands on the neutral level: a0 no longer lies on rank 0 beside k1.
    EXPECT_EQ(before->dir[0][16], 8);
    EXPECT_EQ(after->dir[0][16], 0);
    // The parent's placement still finds its own tables.
    EXPECT_EQ(std::memcmp(&LinesFor(p), before.get(), sizeof *before), 0);
}

}  // namespace
}  // namespace tarvex
