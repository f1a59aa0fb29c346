// Moves per second of making moves, over seeded random games of the 2D game and of the 3D
// game under both rule sets. The games are first played and recorded (random pseudo-legal
// moves, as the make-move tests play them); then only the making of the recorded moves is
// timed, each into the next record of a stack of positions as the search does it.
//
//   make_move_bench [games] [rounds]   games per kind (default 300), timed replays (default 5)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/console.h"
#include "rules/initial_position.h"
#include "rules/make_move.h"
#include "rules/random_mover.h"
#include "rules/repetition.h"

namespace tarvex {
namespace {

constexpr int kMaxPlies = 200;
constexpr int kDefaultGames = 300;
constexpr int kDefaultRounds = 5;
constexpr uint64_t kSeed = 20240601;

using Clock = std::chrono::steady_clock;
using Game = std::vector<Move>;  // the moves as offered, before making them rewrote them

// The kind and rules of the games, and the key history the moves extend, as a game's search
// keeps one.
struct Kind {
    int game, rules;
    MoveContext context;
};

std::vector<Game> RecordGames(const Kind& kind, int games) {
    RandomMover mover(kSeed);
    std::vector<Game> recorded;
    Position records[2];
    long refused = 0;
    for (int g = 0; g < games; ++g) {
        SetUpInitialPosition(records[0], kind.game, kind.rules);
        Game game;
        int current = 0;
        for (int ply = 0; ply < kMaxPlies; ++ply) {
            Candidate played;
            if (!mover.Play(records[1 - current], records[current], kind.context, played, refused))
                break;
            game.push_back(records[1 - current].lastMove);
            current = 1 - current;
        }
        recorded.push_back(game);
    }
    return recorded;
}

struct Timing {
    long moves = 0;
    double seconds = 0;
};

// Replays every game from the initial position, each move made and completed into the next
// record of the stack.
Timing Replay(const Kind& kind, const std::vector<Game>& games, int rounds) {
    std::vector<Position> stack(kMaxPlies + 1);
    Timing timing;
    for (int round = 0; round < rounds; ++round) {
        for (const Game& game : games) {
            SetUpInitialPosition(stack[0], kind.game, kind.rules);
            const Clock::time_point start = Clock::now();
            for (size_t i = 0; i < game.size(); ++i) {
                Move move = game[i];
                MakeMove(stack[i + 1], stack[i], move, kind.context);
            }
            timing.seconds += std::chrono::duration<double>(Clock::now() - start).count();
            timing.moves += static_cast<long>(game.size());
        }
    }
    return timing;
}

// DoMove alone, as the search pays it for a move it never enters: every recorded move made
// from its complete parent into a scratch child, simple moves left pending.
Timing DoMoveOnly(const Kind& kind, const std::vector<Game>& games, int rounds) {
    std::vector<Position> stack(kMaxPlies + 1);
    Position scratch;
    Timing timing;
    for (int round = 0; round < rounds; ++round) {
        for (const Game& game : games) {
            SetUpInitialPosition(stack[0], kind.game, kind.rules);
            for (size_t i = 0; i < game.size(); ++i) {
                Move move = game[i];
                MakeMove(stack[i + 1], stack[i], move, kind.context);
            }
            const Clock::time_point start = Clock::now();
            for (size_t i = 0; i < game.size(); ++i) {
                Move move = game[i];
                DoMove(scratch, stack[i], move, kind.context);
            }
            timing.seconds += std::chrono::duration<double>(Clock::now() - start).count();
            timing.moves += static_cast<long>(game.size());
        }
    }
    return timing;
}

void Run(const char* title, int game, int rules, int games, int rounds) {
    KeyHistory history;
    const Kind kind{game, rules, MoveContext{&history}};
    const std::vector<Game> recorded = RecordGames(kind, games);
    const Timing make = Replay(kind, recorded, rounds);
    const Timing doOnly = DoMoveOnly(kind, recorded, rounds);
    std::printf("%-16s %8ld moves  MakeMove %10.0f moves/s  DoMove alone %10.0f moves/s\n", title,
                make.moves / rounds, make.moves / make.seconds, doOnly.moves / doOnly.seconds);
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    using namespace tarvex;
    const int games = argc > 1 ? std::atoi(argv[1]) : kDefaultGames;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : kDefaultRounds;
    if (games <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: make_move_bench [games] [rounds]\n");
        return 2;
    }
    ConsoleRedirect quiet([](std::string_view) {});  // the "Building" notices of new placements
    Run("2D", kGame2D, kRulesTournament, games, rounds);
    Run("3D Tournament", kGame3D, kRulesTournament, games, rounds);
    Run("3D Standard", kGame3D, kRulesStandard, games, rounds);
    return 0;
}
