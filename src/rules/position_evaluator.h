// The evaluation that attack regeneration runs on a position it has completed. The rules know
// only this face: whoever makes a move and wants its positions evaluated (the engine's search,
// the game) passes one down in the move's context.
#pragma once

#include "board/position.h"

namespace tarvex {

class PositionEvaluator {
public:
    // Evaluates a position whose attack data was just regenerated from scratch.
    virtual void EvaluateRegenerated(Position& position) = 0;

protected:
    ~PositionEvaluator() = default;
};

}  // namespace tarvex
