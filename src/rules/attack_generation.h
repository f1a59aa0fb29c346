// Attack data from the piece list: the attacks of one slot, and the whole position's attack
// masks, attack-board owners and evaluation work areas regenerated from scratch.
#pragma once

#include "board/position.h"

namespace tarvex {

// ORs the attacks (and 2D x-rays) of the slot's piece into the masks; marks the slot dirty.
void PieceGenerate(Position& position, int slot);

// Clears and regenerates all attack data; 1 on success, 0 when a piece stands off the board.
// evaluationMemory goes to the evaluation hook.
int RegenToPieces(Position& position, void* evaluationMemory = nullptr);

// The full evaluation that regeneration runs last lives in the engine; the engine installs it
// here. Until then regeneration evaluates nothing. memory: what the move's context carries.
using EvaluationHook = void (*)(Position& position, void* memory);
void SetEvaluationHook(EvaluationHook hook);

}  // namespace tarvex
