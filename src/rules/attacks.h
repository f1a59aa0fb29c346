// Attack primitives and the tests built on a position's attack masks.
//
// attacks[q] bit s: the piece in slot s attacks q (may capture there or defends what stands
// there). xrays[q] bit s (2D only): q lies beyond the first piece on one of slot s's lines and
// everything between is a friendly slider moving along that line (a battery).
#pragma once

#include <cstdint>

#include "board/dir_to.h"
#include "board/geometry.h"
#include "board/position.h"

namespace tarvex {

// Marks every square one step from the slot's square in direction d.
void StepAttack(Position& position, int slot, int d);

// Marks a slider's ray in direction d. In the 2D game length is the number of squares to the
// edge and the ray continues as an x-ray through friendly sliders on the same line; in the 3D
// game the ray follows the levels under the current rules.
void RayAttack(Position& position, int slot, int d, int length);

// Squares to the edge of the 8 x 8 board from square in direction d (rook and bishop steps).
int RayLength2D(unsigned square, int d);

// Level of a 3D square (2..7), read directly from the placement.
int Level3D(const Position& position, unsigned square);

// True when sq or q is empty, or the piece on q is a slider of the colour of the piece on sq that
// moves along the line from q to sq.
bool ContinuesXray(const Position& position, unsigned sq, unsigned q);

inline bool AttackedByWhite(const Position& p, unsigned q) {
    return (p.attacks[q] & kWhiteHalf) != 0;
}
inline bool AttackedByBlack(const Position& p, unsigned q) {
    return (p.attacks[q] & kBlackHalf) != 0;
}

inline bool WhiteInCheck(const Position& p) {
    return AttackedByBlack(p, p.pieces[kSlotKing].square);
}
inline bool BlackInCheck(const Position& p) {
    return AttackedByWhite(p, p.pieces[kBlackSlots + kSlotKing].square);
}

// No square one step from square in direction d.
bool EndOfLine(const Position& position, unsigned square, int d);

// 3D: to is among the squares two steps from from in direction d, the first step taken to the
// first square of the step list.
bool IsDoubleStep(const Position& position, unsigned from, unsigned to, int d);

// 3D: a square one file to either side (directions +8 and -8) holds pawnCode.
bool PawnBeside(const Position& position, unsigned square, int pawnCode);

// A pawn of this code on square is one step from promotion.
bool IsPromotionCandidate(const Position& position, int code, unsigned square);

// After a completed move: false when the mover's king stands attacked; otherwise sets the in-check
// flag and the move's givesCheck when the opponent's king is attacked, and returns true.
bool CheckBookkeeping(Position& child, Move& move, bool moverWhite);

}  // namespace tarvex
