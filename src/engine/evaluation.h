// The static evaluation: a score for a position from the point of view of the side to move, in
// 1/10000 pawn. Cached in the position's record (EvalState): each record keeps its total, its
// per-piece values and its square-control sums, and a child recomputes only what its move can
// have changed. Every term is computed from White's point of view with the parameter set of the
// position's game and stage.
#pragma once

#include <memory>

#include "board/position.h"
#include "engine/eval_state.h"
#include "engine/parameters.h"
#include "engine/slot_watcher.h"
#include "rules/position_evaluator.h"

namespace tarvex::engine {

struct EvaluationMemory;
struct EvaluatedParent;

inline constexpr int kFullEvaluation = 405000;  // gamma asking for a full evaluation
inline constexpr int kStaticLimit = 399852;     // no static score reaches the mate band

// The stage of a position (0 opening .. 3 no pawns), stored in it; marks the kings and queens
// dirty and, when the stage changes, the record (if given) out of date. Returns the stage.
int SetStage(Position& position, EvalState* state = nullptr);

// The evaluation with one engine's parameter book (its own copy) and, when given, the memory of
// its searcher. Attack regeneration runs it as the evaluator of the moves the game makes.
class Evaluator final : public PositionEvaluator {
public:
    explicit Evaluator(const ParameterBook& book = BuiltInParameters(),
                       EvaluationMemory* memory = nullptr)
        : book_(book), memory_(memory) {}

    // The set of a game (kGame2D, kGame3D) and stage (0..3).
    const ParameterSet& Set(int gameKind, int stage) const {
        return book_.For(gameKind)[static_cast<unsigned>(stage) & 3];
    }
    // The set of the position's game and stored stage.
    const ParameterSet& Set(const Position& position) const {
        return Set(position.gameKind, static_cast<int>(position.stage));
    }
    const ParameterBook& Book() const { return book_; }
    // Every weight the terms read goes through watcher from now on (null: none). The threat
    // term and the draw score read theirs outside the terms and do not report them.
    void Watch(SlotWatcher* watcher) { watcher_ = watcher; }

    // The score from the side to move's point of view. gamma kFullEvaluation: a full
    // evaluation that recomputes every piece and cuts the parent link. mode 0 allows the lazy
    // exit (a score proved >= gamma without the expensive terms, not cached); mode 1 computes
    // everything but reuses cached per-piece values; mode 2 or more recomputes every piece. The
    // memory supplies answers of the threat and exchange computations it has seen (never other
    // results).
    // The position's record is state; its parent's record, state.parent, is read (never written)
    // when the position has a parent.
    int Evaluate(Position& position, EvalState& state, int gamma, int mode) const;
    // Evaluate, clamped to -kStaticLimit .. +kStaticLimit: what the searches call.
    int EvaluateClamped(Position& position, EvalState& state, int gamma, int mode) const;

    // The contempt-adjusted draw value from White's point of view: a draw is worth less to the
    // side that moves at the root (flags bit kWhiteAtRoot).
    int DrawScore(const Position& position) const;

    // The threat term and its update after a null move (see threat.h), with the position's sets.
    int ThreatTerm(Position& position, EvalState& state) const;
    void UpdateThreatAfterNullMove(Position& position, EvalState& state) const;

    // A full evaluation (every piece afresh) in a record of its own, for the drawn-material
    // flag it leaves in the position.
    void EvaluateRegenerated(Position& position) override;

private:
    // Evaluate with the terms reading the weights through Reader (slot_watcher.h).
    template <typename Reader>
    int EvaluateWith(Position& position, EvalState& state, int gamma, int mode) const;
    const Position* CarriedFrom(Position& position, EvalState& state, int gamma,
                                std::unique_ptr<EvaluatedParent>& own,
                                const EvalState*& from) const;

    ParameterBook book_;
    EvaluationMemory* memory_;
    SlotWatcher* watcher_ = nullptr;
};

}  // namespace tarvex::engine
