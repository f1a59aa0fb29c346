// Time of one static evaluation, on a 2D middlegame and on the 3D start position:
//  - full: gamma kFullEvaluation (every piece and square afresh, no parent);
//  - incremental: a child one move from its evaluated parent, mode 0, once with a gamma far
//    below the score (the lazy exit answers) and once far above it (every term is brought up
//    to date), and mode 1.
// Each is timed with the threat term computed and with it already cached (the evaluation's own
// share). 3D moves regenerate the attack data, which cuts the parent link; the bench puts the
// link back so that the incremental path is measured in both games.
//
//   eval_bench [rounds]   timed passes over the positions' children (default 200)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/console.h"
#include "engine/evaluation.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"
#include "text/position_text.h"

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;

const engine::Evaluator kEvaluator;  // the built-in parameter sets

constexpr const char* kMiddlegame2D =
    "r2q1rk1/pp2bppp/2n1bn2/3p4/3P4/2NBBN2/PP3PPP/R2Q1RK1 w - - 0 11";

volatile int gSink;  // keeps the evaluations from being optimised away

// Positions with their evaluation records.
struct Evaluated {
    Position position;
    engine::EvalState record;
};

// Average nanoseconds of evaluate(copy) over copies of the positions, the copy included.
template <typename Evaluate>
double Time(const std::vector<Evaluated>& positions, int rounds, bool threatCached,
            Evaluate evaluate) {
    long count = 0;
    int sum = 0;
    const Clock::time_point start = Clock::now();
    for (int round = 0; round < rounds; ++round) {
        for (const Evaluated& evaluated : positions) {
            Evaluated copy = evaluated;
            if (!threatCached) copy.record.tacticsValid = false;
            sum += evaluate(copy.position, copy.record);
            ++count;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    gSink = sum;
    return seconds * 1e9 / static_cast<double>(count);
}

void Bench(const char* name, int game, std::string_view text, int rounds) {
    Position root{};
    std::string error;
    ConsoleCapture quiet;  // the notice of a new attack-board placement
    if (!ReadPositionText(game, kRulesTournament, text, root, error)) {
        std::printf("%s: %s\n", name, error.c_str());
        return;
    }
    engine::EvalState rootRecord;
    engine::SetStage(root, &rootRecord);
    kEvaluator.Evaluate(root, rootRecord, engine::kFullEvaluation, 2);
    const int score = rootRecord.score;

    // The children, uncached, linked to the evaluated root, their threat terms cached once.
    std::vector<Move> moves = LegalMoves(root);
    std::vector<Evaluated> children(moves.size());
    for (size_t i = 0; i < moves.size(); ++i) {
        Evaluated& child = children[i];
        engine::StartChild(child.record, rootRecord);
        MakeMove(child.position, root, moves[i]);
        child.position.parent = &root;
        Evaluated scratch = child;
        kEvaluator.Evaluate(scratch.position, scratch.record, engine::kFullEvaluation, 2);
        child.record.tacticsValid = true;
        child.record.tacticsValue = scratch.record.tacticsValue;
    }
    Evaluated unevaluated{root, rootRecord};
    unevaluated.record.valid = false;
    std::vector<Evaluated> roots(children.size(), unevaluated);

    std::printf("%s: %zu children, score %d\n", name, children.size(), score);
    using engine::EvalState;
    for (bool cached : {false, true}) {
        const auto full = [](Position& p, EvalState& e) {
            return kEvaluator.Evaluate(p, e, engine::kFullEvaluation, 2);
        };
        const auto lazy = [&](Position& p, EvalState& e) {
            return kEvaluator.Evaluate(p, e, -engine::kFullEvaluation + 5000, 0);
        };
        const auto complete = [&](Position& p, EvalState& e) {
            return kEvaluator.Evaluate(p, e, engine::kFullEvaluation - 5000, 0);
        };
        const auto mode1 = [&](Position& p, EvalState& e) {
            return kEvaluator.Evaluate(p, e, 0, 1);
        };
        std::printf(
            "  threat term %-8s full %7.0f ns  incremental: lazy exit %6.0f ns, "
            "complete %6.0f ns, mode 1 %6.0f ns\n",
            cached ? "cached" : "computed", Time(roots, rounds, cached, full),
            Time(children, rounds, cached, lazy), Time(children, rounds, cached, complete),
            Time(children, rounds, cached, mode1));
    }
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    tarvex::Bench("2D middlegame", tarvex::kGame2D, tarvex::kMiddlegame2D, rounds);
    tarvex::Bench("3D start", tarvex::kGame3D, tarvex::kStartText3D, rounds);
    return 0;
}
