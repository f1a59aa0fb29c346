// The searches and the driver: mates found and suffered in both games, the quiescence search's
// floors, the extension and futility rules, the repetition score, stable ordering, the
// driver's depth rules, determinism, and two engines searching at once.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "engine/engine.h"
#include "engine/evaluation.h"
#include "engine/parameters.h"
#include "engine/score.h"
#include "engine/searcher.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"
#include "support/positions.h"

namespace tarvex::engine {
namespace {

using testing::FromText;
using testing::Initial;
using testing::Sq;

// A 3D position where White mates in one (the rook from b1 of board 100 to d1), and one where
// White mates in two.
constexpr const char* k3DMateInOne =
    ".........R......Q.....................K...............k......... q1w,q6b,k1w,k6b w - -";
constexpr const char* k3DMateInTwo =
    ".......K....k..Q.................................R.............. q1w,q6b,k1w,k6b w - -";

struct Searched {
    SearchResult result;
    std::vector<int> depths;  // the depths reported
};

Searched Search(const Position& p, int maxDepth, bool effortClock = false) {
    Engine engine;
    SearchLimits limits;
    limits.maxDepth = maxDepth;
    limits.effortClock = effortClock;
    Searched s;
    limits.onProgress = [&](const SearchProgress& progress) { s.depths.push_back(progress.depth); };
    KeyHistory history{};
    ConsoleCapture quiet;
    s.result = engine.Choose(p, history, limits);
    return s;
}

TEST(Mates, FoundAndSufferedInBothGames) {
    const struct {
        Position position;
        int score;
        unsigned from, to;  // the mating move; 0, 0 when not checked
    } cases[] = {
        {FromText("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1"), MateIn(1), Sq("a1"), Sq("a8")},
        {FromText("k7/8/2K5/8/8/8/8/7R w - - 0 1"), MateIn(3), 0, 0},
        {FromText("k7/8/1K6/8/8/8/8/7R b - - 0 1"), -MateIn(2), 0, 0},  // Kb8 Rh8#
        {FromText(k3DMateInOne, kGame3D), MateIn(1), 9, 48},
        {FromText(k3DMateInTwo, kGame3D), MateIn(3), 0, 0},
    };
    for (const auto& c : cases) {
        const Searched s = Search(c.position, 6);
        EXPECT_EQ(s.result.score, c.score) << WritePositionText(c.position);
        if (c.from != 0) {
            EXPECT_TRUE(s.result.move.from == c.from && s.result.move.to == c.to);
        }
        EXPECT_TRUE(FindLegalMove(c.position, s.result.move).has_value());
    }
}

TEST(Driver, DepthRules) {
    // Easy searches depths 2 and 3 only.
    EXPECT_EQ(Search(Initial(kGame2D), kDifficultyEasy).depths, (std::vector<int>{2, 3}));
    // A mate within the completed depth ends the deepening at once.
    EXPECT_EQ(Search(FromText("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1"), 50).depths,
              (std::vector<int>{2}));
    // With a single root move the deepening ends at the first depth completed after depth 3,
    // whatever the clock.
    const Position single = FromText("k7/8/1K6/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(Search(single, 50, true).depths, (std::vector<int>{2, 3, 4}));
}

// A search that is stopped before it proves anything still plays one of the legal moves.
TEST(Driver, AStoppedSearchPlaysALegalMove) {
    Engine engine;
    SearchLimits limits;
    limits.maxDepth = kDifficultyHard;
    limits.stopWhen = [] { return true; };
    KeyHistory history{};
    const Position p = Initial(kGame3D);
    ConsoleCapture quiet;
    const SearchResult r = engine.Choose(p, history, limits);
    EXPECT_TRUE(FindLegalMove(p, r.move).has_value());
}

// A move that repeats an earlier position with the same side to move scores the draw score.
TEST(Searcher, ARepetitionScoresTheDrawScore) {
    KeyHistory history{};
    Position p = Initial(kGame2D);
    MoveContext context{&history, nullptr, false};
    for (auto [from, to] : {std::pair{"g1", "f3"}, {"g8", "f6"}, {"f3", "g1"}}) {
        Move move = MakeMoveRecord(p.board[Sq(from)], Sq(from), Sq(to), MoveKind::kQuiet);
        ASSERT_TRUE(MakeMove(p, p, move, context));
    }
    Searcher searcher;
    SearchLimits limits;
    limits.maxDepth = kDifficultyHard;
    limits.effortClock = false;
    StopToken stop;
    ConsoleCapture quiet;
    Position& root = searcher.Begin(p, history, limits, stop);
    searcher.MovesOf(root) = {};
    searcher.GenerateAndOrder(root, 0, nullptr, 0);
    Move best;
    searcher.SearchRoot(root, 2, 400000, best);  // no cutoff: every move is searched
    bool found = false;
    const GeneratedMoves& moves = searcher.MovesOf(root);
    for (uint32_t i = 0; i < moves.count; ++i) {
        const Move& m = moves.list[i];
        if (m.from != Sq("f6") || m.to != Sq("g8")) continue;
        found = true;
        EXPECT_EQ(m.score, Evaluator().DrawScore(root) * SideSign(root));
    }
    EXPECT_TRUE(found);
}

// Two engines searching at once on two threads get what each gets alone.
TEST(EngineThreads, TwoEnginesSearchAtOnce) {
    const Position a = Initial(kGame2D), b = FromText(k3DMateInTwo, kGame3D);
    const Searched aloneA = Search(a, 5), aloneB = Search(b, 5);
    Searched together[2];
    std::thread first([&] { together[0] = Search(a, 5); });
    std::thread second([&] { together[1] = Search(b, 5); });
    first.join();
    second.join();
    EXPECT_EQ(together[0].result.nodes, aloneA.result.nodes);
    EXPECT_EQ(together[1].result.nodes, aloneB.result.nodes);
    EXPECT_TRUE(SameMove(together[0].result.move, aloneA.result.move));
}

// Each engine evaluates with its own parameter book, and each game with its own sets: an engine
// given other 3D weights searches a 3D position otherwise and a 2D one alike, and searching with
// it changes nothing for an engine with the built-in book.
TEST(EngineSets, EachEngineKeepsItsOwnParameterBook) {
    ParameterBook other = BuiltInParameters();
    for (ParameterSet& set : other.game3d) {
        for (int32_t& value : set) value = -value;
    }
    const Position game2D =
        FromText("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    const Position game3D = Initial(kGame3D);
    Engine built, changed(other);
    SearchLimits limits;
    limits.maxDepth = 4;
    const KeyHistory history{};
    ConsoleCapture quiet;
    for (const Position* p : {&game2D, &game3D}) {
        built.NewGame();
        changed.NewGame();
        const SearchResult first = built.Choose(*p, history, limits);
        const SearchResult theirs = changed.Choose(*p, history, limits);
        built.NewGame();
        const SearchResult again = built.Choose(*p, history, limits);
        if (p == &game2D) {
            EXPECT_EQ(theirs.nodes, first.nodes);
            EXPECT_EQ(theirs.score, first.score);
        } else {
            EXPECT_NE(theirs.score, first.score);
        }
        EXPECT_EQ(again.score, first.score);
        EXPECT_EQ(again.nodes, first.nodes);
        EXPECT_TRUE(SameMove(again.move, first.move));
    }
}

}  // namespace
}  // namespace tarvex::engine
