// The static evaluation: a score for a position from the point of view of the side to move, in
// 1/10000 pawn. Cached in the position: each position keeps its total, its per-piece values and
// its square-control sums, and a child recomputes only what its move can have changed. Every
// term is computed from White's point of view with the parameter set of the position's stage.
#pragma once

#include "board/position.h"
#include "rules/position_evaluator.h"

namespace tarvex::engine {

struct EvaluationMemory;

inline constexpr int kFullEvaluation = 405000;  // gamma asking for a full evaluation
inline constexpr int kStaticLimit = 399852;     // no static score reaches the mate band

// The score from the side to move's point of view. gamma kFullEvaluation: a full evaluation
// that recomputes every piece and cuts the parent link. mode 0 allows the lazy exit (a score
// proved >= gamma without the expensive terms, not cached); mode 1 computes everything but
// reuses cached per-piece values; mode 2 or more recomputes every piece. memory, when given,
// supplies answers of the threat and exchange computations it has seen (never other results).
int Evaluate(Position& position, int gamma, int mode, EvaluationMemory* memory = nullptr);

// Evaluate, clamped to -kStaticLimit .. +kStaticLimit: what the searches call.
int EvaluateClamped(Position& position, int gamma, int mode, EvaluationMemory* memory = nullptr);

// The stage of a position (0 opening .. 3 no pawns), stored in it; marks the kings and queens
// dirty. Returns the stage.
int SetStage(Position& position);

// The contempt-adjusted draw value from White's point of view: a draw is worth less to the
// side that moves at the root (flags bit kWhiteAtRoot).
int DrawScore(const Position& position);

// What the searches and the game put in the context of the moves they make: a full evaluation
// of every position whose attack data is regenerated, with the searcher's memory when given.
class Evaluator final : public PositionEvaluator {
public:
    explicit Evaluator(EvaluationMemory* memory = nullptr) : memory_(memory) {}
    void EvaluateRegenerated(Position& position) override;

private:
    EvaluationMemory* memory_;
};

}  // namespace tarvex::engine
