// Incremental update of a pending child's attack data from its parent's: the parent's masks
// without the moved and the captured piece, the lines of the sliders through the two squares
// the move touched repaired, and the moved piece's attacks generated afresh. Only the 2D game
// repairs lines; the 3D game regenerates everything after a move.
#pragma once

#include "board/move.h"
#include "board/position.h"
#include "rules/position_evaluator.h"

namespace tarvex {

// A move that names squares without pieces regenerates everything instead, and the evaluator
// (when given) evaluates the child.
void UpdateAttacks(Position& child, const Position& parent, const Move& move,
                   PositionEvaluator* evaluator = nullptr);

// The x-ray bits of the battery behind the slider on sq, seen at q.
uint32_t BatteryBehind(const Position& position, unsigned sq, unsigned q);

}  // namespace tarvex
