// tarvex-tool bench: a fixed table of positions of both games, each searched to a fixed depth
// by a fresh engine without the effort clock, so that the node count depends on nothing but the
// search. A change of the search's behaviour changes the total; its speed is the rate.
//
//   <n> <game> nodes <N> ms <T> bestmove <move>     one line per position
//   2d total nodes <N>, 2d nodes per second <R>     per game (and 3d)
//   total nodes <N>, nodes per second <R>           both games; the total is the signature
//   2d perft depth <D> nodes <N> moves per second <R>   a fixed perft per game (and 3d), so
//                                                       that one command shows every speed
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/console.h"
#include "engine/engine.h"
#include "movegen/legal_moves.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "bench";
constexpr int kDepth2D = 5;
constexpr int kDepth3D = 4;
constexpr int kMaxBenchDepth = kDifficultyHard - 1;
// The perft of each game's start position: long enough to time, short enough for every run.
constexpr int kPerftDepth2D = 5;
constexpr int kPerftDepth3D = 4;

struct BenchPosition {
    int game;
    int rules;
    const char* text;
};

// Openings, middlegames with tactics and endgames; some with the side to move in check, some
// with a promotion at hand, and 3D positions whose attack boards have moved or changed hands.
constexpr BenchPosition kPositions[] = {
    // The 2D game.
    {kGame2D, kRulesTournament, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"},
    {kGame2D, kRulesTournament, "rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w KQkq c6 0 2"},
    {kGame2D, kRulesTournament,
     "r1bqkb1r/pppp1ppp/2n2n2/4p1N1/2B1P3/8/PPPP1PPP/RNBQK2R b KQkq - 5 4"},
    {kGame2D, kRulesTournament, "r1bqkbnr/pppp1Bpp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 0 4"},
    {kGame2D, kRulesTournament,
     "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"},
    {kGame2D, kRulesTournament, "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1"},
    {kGame2D, kRulesTournament, "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"},
    {kGame2D, kRulesTournament,
     "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10"},
    {kGame2D, kRulesTournament, "2rq1rk1/pp1bppbp/2np1np1/8/3NP3/1BN1BP2/PPPQ2PP/2KR3R b - - 0 11"},
    {kGame2D, kRulesTournament, "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1"},
    {kGame2D, kRulesTournament, "1K1k4/1P6/8/8/8/8/r7/2R5 w - - 0 1"},
    {kGame2D, kRulesTournament, "8/8/8/4k3/8/8/4P3/4K3 w - - 0 1"},
    // The 3D game under Tournament rules.
    {kGame3D, kRulesTournament,
     "RP....prQP....pqKP....pkRP....prNP....pnBP....pbBP....pbNP....pn q1w,q6b,k1w,k6b w KQkq -"},
    {kGame3D, kRulesTournament,
     "RP....prQP....pqKP....pkRP....pr...P...nB.Np..pbBP..p..bN..Pp..n q1w,q6b,k1w,k6b w KQkq -"},
    {kGame3D, kRulesTournament,
     "RP..p.prQP....pqK.....pkbP..p.pr.......nBP.....N..N......B.....n q1w,q6b,k1w,k6b b Qkq -"},
    {kGame3D, kRulesTournament,
     "RQ....pr.b....pqKP.....kRP....pr...P...nB.......B..........P..pn q1w,q6b,k1w,k6b w KQkq - "
     "62"},
    {kGame3D, kRulesTournament,
     ".........b......KP......RP....pR...P..pn........B......k..Bq..pn q1b,q6b,k1w,k6b w K - "
     "38,62"},
    {kGame3D, kRulesTournament,
     "....p...........R.....k..P....pr.PK..P........P......b......p... q2w,q3b,k1w,k6b w - - 33"},
    // The 3D game under Standard rules.
    {kGame3D, kRulesStandard,
     "RP....prQP....pqKP....pkRP....prNP....pnBP....pbBP....pbNP....pn q1w,q6b,k1w,k6b w KQkq -"},
    {kGame3D, kRulesStandard,
     "RP....prQP....pqKP....prRP....pkNP....pnB..P..pbBn....pbNP....p. q1w,q6b,k1w,k6b w KQ -"},
    {kGame3D, kRulesStandard,
     "RP....prQP....pqKP...pp.RP....pk.P....pn...P...bBB.....bNP..p..r q1w,q6b,k1w,k6b w KQ -"},
    {kGame3D, kRulesStandard,
     "RP.Pp.pr.P.....q.P....pkRPb...pr.....Q.nBP.....b.PN.....KB.....n q1w,q6b,k1w,k6b b kq -"},
    {kGame3D, kRulesStandard,
     "RP.Pp.p....P...........rRP...pp................bBP...B..K.P....k q1w,q5b,k1w,k6b w - -"},
    {kGame3D, kRulesStandard,
     "....R..P..........P.....RP...p........P..K.....................k q1w,q3w,k1w,k6b w - -"},
};

struct Totals {
    uint64_t nodes = 0;
    double seconds = 0;
};

int ParseArguments(int argc, char** argv, int& depth, const char*& params) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--params") {
            if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
            params = argv[++i];
            continue;
        }
        if (word != "--depth") {
            if (word.starts_with("-"))
                return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
            return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
        }
        if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
        int64_t value = 0;
        if (!ParseNumber(argv[++i], 2, kMaxBenchDepth, value)) {
            return ArgumentError(kCommand, "bad depth '%s' (use 2 to %d)", argv[i], kMaxBenchDepth);
        }
        depth = static_cast<int>(value);
    }
    return kExitOk;
}

uint64_t Rate(const Totals& totals) {
    return totals.seconds > 0
               ? static_cast<uint64_t>(static_cast<double>(totals.nodes) / totals.seconds)
               : 0;
}

void PrintTotals(const char* prefix, const Totals& totals) {
    ConsolePrint("%stotal nodes %llu\n", prefix, static_cast<unsigned long long>(totals.nodes));
    ConsolePrint("%snodes per second %llu\n", prefix,
                 static_cast<unsigned long long>(Rate(totals)));
}

// Perft of the game's start position to its fixed depth, timed.
void PrintPerftSpeed(int game, int depth) {
    Position root;
    if (SetUpToolPosition(kCommand, ToolPosition{game, kRulesTournament, nullptr}, root) !=
        kExitOk) {
        return;
    }
    uint64_t leaves = 0;
    std::chrono::duration<double> spent{};
    RunQuietly([&] {
        const auto start = std::chrono::steady_clock::now();
        leaves = Perft(root, depth);
        spent = std::chrono::steady_clock::now() - start;
    });
    const Totals totals{leaves, spent.count()};
    ConsolePrint("%s perft depth %d nodes %llu moves per second %llu\n",
                 game == kGame2D ? "2d" : "3d", depth, static_cast<unsigned long long>(leaves),
                 static_cast<unsigned long long>(Rate(totals)));
}

}  // namespace

int RunBench(int argc, char** argv) {
    int depth = 0;  // 0: each game's own depth
    const char* params = nullptr;
    if (ParseArguments(argc, argv, depth, params) != kExitOk) return kExitUsage;
    auto book = std::make_unique<engine::ParameterBook>(engine::BuiltInParameters());
    if (params != nullptr && ParamsOption(kCommand, params, *book) != kExitOk) return kExitUsage;
    Totals game2D, game3D;
    int number = 0;
    for (const BenchPosition& entry : kPositions) {
        ++number;
        ToolPosition options{entry.game, entry.rules, entry.text};
        auto root = std::make_unique<Position>();
        if (SetUpToolPosition(kCommand, options, *root) != kExitOk) return kExitUsage;
        const int target = depth != 0 ? depth : entry.game == kGame2D ? kDepth2D : kDepth3D;
        engine::SearchLimits limits;
        limits.maxDepth = target + 1;  // the deepening stops below it
        limits.effortClock = false;
        auto history = std::make_unique<KeyHistory>();
        engine::SearchResult result;
        std::chrono::duration<double> spent{};
        std::string best;
        RunQuietly([&] {
            engine::Engine engine(*book);
            const auto start = std::chrono::steady_clock::now();
            result = engine.Choose(*root, *history, limits);
            spent = std::chrono::steady_clock::now() - start;
            best = EngineMoveText(*root, result.move);
        });
        Totals& totals = entry.game == kGame2D ? game2D : game3D;
        totals.nodes += result.nodes;
        totals.seconds += spent.count();
        ConsolePrint("%d %s nodes %llu ms %lld bestmove %s\n", number,
                     entry.game == kGame2D ? "2d" : "3d",
                     static_cast<unsigned long long>(result.nodes),
                     static_cast<long long>(spent.count() * 1000), best.c_str());
    }
    PrintTotals("2d ", game2D);
    PrintTotals("3d ", game3D);
    PrintTotals("", {game2D.nodes + game3D.nodes, game2D.seconds + game3D.seconds});
    PrintPerftSpeed(kGame2D, kPerftDepth2D);
    PrintPerftSpeed(kGame3D, kPerftDepth3D);
    return kExitOk;
}

}  // namespace tarvex::tool
