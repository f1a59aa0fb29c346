// The evaluation's record of one position: its cached terms, per-square control and per-piece
// values, the threat term and the total, with the marks that tell which are up to date. The
// rules never read it: the searcher keeps one beside each position of its stack, and whoever
// evaluates a position hands its record to the evaluation explicitly.
//
// A child's record starts as a copy of its parent's (StartChild) and links to it: the
// incremental evaluation carries the parent's terms and recomputes only what the move changed.
#pragma once

#include <cstdint>

#include "board/move.h"

namespace tarvex::engine {

struct EvalState {
    int32_t squareScore[64] = {};            // control value of each square
    int32_t squareSign[64] = {};             // -1, 0, +1: the side controlling each square
    uint32_t squareControl[64] = {};         // pieces effectively controlling each square
    uint8_t slotReach[32] = {};              // squares each piece effectively controls
    uint8_t slotAttacks[32] = {};            // squares each piece attacks
    int32_t slotValue[32] = {};              // value of each slot's piece
    int32_t whiteReach = 0, blackReach = 0;  // sums of slotReach per side
    uint32_t hangingMask = 0;                // pieces on squares the enemy controls
    uint32_t ignoreMask = 0;                 // pinned slots, left out of control counting
    uint32_t attackerMask = 0;               // officers attacking an enemy piece
    int32_t controlTotal = 0;                // sum of squareScore
    int32_t evalSum = 0;                     // control, attacked pieces and mobility
    uint32_t unstoppablePawns[2] = {};       // square-rule pawns per side-to-move case
    uint32_t extras = 0;                     // the square-control extras the kings chose
    Move replyMove;            // the threat search's best capture for the side to move
    int32_t tacticsValue = 0;  // the threat term, White's frame
    int32_t score = 0;         // the total, White's frame
    bool valid = false;        // score holds this position's evaluation
    bool tacticsValid = false;
    const EvalState* parent = nullptr;  // the parent position's record
};

// A child's record as the move is made: its parent's terms, nothing marked up to date.
inline void StartChild(EvalState& child, const EvalState& parent) {
    child = parent;
    child.replyMove = Move{};
    child.valid = child.tacticsValid = false;
    child.parent = &parent;
}

}  // namespace tarvex::engine
