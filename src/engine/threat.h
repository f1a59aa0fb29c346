// The capture-threat searches: material-only null-window searches over sequences of captures on
// the board arrays, without making moves. They give the evaluation's threat term and the stored
// best capture (EvalState::replyMove) that the quiescence search and the move ordering try first,
// the root moves' tactical scores, and the threat term's update after a null move.
#pragma once

#include <cstdint>

#include "board/move.h"
#include "board/position.h"
#include "engine/eval_state.h"
#include "engine/parameters.h"

namespace tarvex::engine {

struct EvaluationMemory;

// What taking the king is worth to the capture searches: more than all other material together,
// so that a position where the side to move can take the enemy king scores at least this.
inline constexpr int32_t kKingCaptureValue = 400000;

// White to move: the best White - Black material White reaches by captures of the victims
// (a slot mask of Black pieces) with attackers not in used (a slot mask), against gamma (a
// fail-soft null-window search). A captured king counts kKingCaptureValue and ends the
// sequence. At the top call (reply given) a capture that reaches gamma is written into
// reply. The board arrays and attack masks are restored before it returns.
int WhiteCaptureSearch(Position& position, uint32_t victims, uint32_t used, int gamma, Move* reply);
// The mirror: Black to move, material taken as Black - White.
int BlackCaptureSearch(Position& position, uint32_t victims, uint32_t used, int gamma, Move* reply);

// The threat term in White's frame (cached in the position's record: tacticsValid and
// tacticsValue): the side to move gets the win-material bonus when its capture search wins at
// least 5000 beyond the material balance; otherwise it pays the threatened penalty when the
// opponent's does. Clears the record's replyMove first; the top-level searches may write it.
// sets are those of the position's game; memory, when given, answers the searches it has seen.
int ThreatTerm(Position& position, EvalState& state, const ParameterSets& sets,
               EvaluationMemory* memory = nullptr);

// After a null move (the side to move changed, nothing else): re-derives the cached threat term
// for the new side to move and adds its change to the cached evaluation (the record's score); an
// uncached term is computed and added. Reports "tactics bug 1".."tactics bug 4" for a cached
// value that cannot occur.
void UpdateThreatAfterNullMove(Position& position, EvalState& state, const ParameterSets& sets,
                               EvaluationMemory* memory = nullptr);

// The material the move gains or loses by force in the capture sequences that follow it, from
// the mover's point of view (0 when neither); -405000 when the move cannot be made.
int RootTacticalScore(const Position& position, const Move& move);

}  // namespace tarvex::engine
