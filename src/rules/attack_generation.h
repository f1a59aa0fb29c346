// Attack data from the piece list: the attacks of one slot, and the whole position's attack
// masks, attack-board owners and evaluation work areas regenerated from scratch.
#pragma once

#include "board/position.h"
#include "rules/position_evaluator.h"

namespace tarvex {

// ORs the attacks (and 2D x-rays) of the slot's piece into the masks; marks the slot dirty.
void PieceGenerate(Position& position, int slot);

// Clears and regenerates all attack data; true on success, false when a piece stands off the board.
// The evaluator, when given, then evaluates the position.
bool RegenerateAttacks(Position& position, PositionEvaluator* evaluator = nullptr);

}  // namespace tarvex
