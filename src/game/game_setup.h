// Starting a game from its initial placement.
#pragma once

#include <functional>

#include "game/game_block.h"

namespace tarvex {

// The parts of a new game that belong to higher layers: the engine clears its tables, the
// display clears its highlights and resets the view. Each may be left empty.
struct SetUpHooks {
    std::function<void()> clearEngineTables;  // transposition, history, killer, counter tables
    std::function<void(Position&)> setStage;  // the evaluation's game stage of the new position
    std::function<void()> clearHighlights;    // selection and highlight squares
    std::function<void()> resetView;          // the view reset of a new game
};

// Empties the captured list and zeroes its counters.
void ClearCaptured(CapturedList& captured);

// Appends a captured piece's code (nothing once the list is full).
void RecordCapture(CapturedList& captured, int code);

// Resets the game-level state of a fresh game (plays-both off), writes the initial placement of
// the game kind into the current position and builds it under the rules; resetView also resets
// the view. False when building fails.
bool SetUpGame(GameBlock& game, int gameKind, int rules, bool resetView, const SetUpHooks& hooks);

// Sets the in-check flag of a built position from its attack data: whether the side to move is
// in check.
void MarkInCheck(Position& position);

}  // namespace tarvex
