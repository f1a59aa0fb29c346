// What making a move needs besides the two positions, passed explicitly by whoever makes it:
// the game has one, a search has its own, and a trial move made only to test legality uses
// the default, which writes nothing and asks nobody.
#pragma once

#include "platform/promotion_choice.h"
#include "rules/position_evaluator.h"
#include "rules/repetition.h"

namespace tarvex {

struct MoveContext {
    // The key history to extend: the parent's ply and the child's get their keys. None: no
    // history is written.
    KeyHistory* history = nullptr;
    // Asked for the piece of a user's promotion whose move names none. None: a queen.
    platform::PromotionChoice* chooser = nullptr;
    // The move is the user's own (only the user is asked about a promotion).
    bool userMove = false;
    // Run on every position whose attack data is regenerated. None: nothing is evaluated.
    PositionEvaluator* evaluator = nullptr;
};

}  // namespace tarvex
