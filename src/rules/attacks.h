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

// 3D: marks a slider's ray along the direction of table slot directionSlot (0..15) under the
// position's own direction table; RayAttack in the 3D game. A ray follows the first square of
// each step list that it reaches empty; a piece closes its level to the rest of the ray, and
// under Tournament rules ends the ray after that step.
inline void RayAttack3D(Position& position, const DirTable& table, int slot, int directionSlot) {
    const uint32_t bit = 1u << slot;
    const bool tournament = TournamentRules(position);
    uint32_t openLevels = ~0u;
    bool blocked = false;
    unsigned current = position.pieces[slot].square;
    while (!OffBoard(current)) {
        const uint8_t* list = table.lists[directionSlot][current];
        const int count = table.counts[directionSlot][current];
        unsigned next = kNoSquare;
        bool marked = false;
        for (int i = 0; i < count; ++i) {
            const unsigned t = list[i];
            const uint32_t level = 1u << table.levels[t];
            if ((openLevels & level) != 0) {
                position.attacks[t] |= bit;
                marked = true;
            }
            if (position.board[t] != 0) {
                openLevels &= ~level;
                blocked = true;
            } else if (marked) {
                next = t;
            }
        }
        if (tournament && blocked) return;
        current = next;
    }
}

// Squares to the edge of the 8 x 8 board from each square along each rook and bishop step
// (by table slot; 0 for the knight's jumps).
inline constexpr auto kRayLengths2D = [] {
    struct {
        uint8_t length[kDirectionCount][64];
    } table{};
    for (int slot = 0; slot < kDirectionCount; ++slot) {
        const int d = kDirections[slot];
        const bool line =
            d == 1 || d == -1 || d == 8 || d == -8 || d == 9 || d == -9 || d == 7 || d == -7;
        for (int square = 0; line && square < 64; ++square) {
            uint8_t n = 0;
            for (unsigned q = square; !OffBoard(kSteps2D.to[slot][q]); q = kSteps2D.to[slot][q])
                ++n;
            table.length[slot][square] = n;
        }
    }
    return table;
}();

// Squares to the edge from a square off the board (the plain formula; never a hot path).
int RayLength2DOffBoard(unsigned square, int d);

// Squares to the edge of the 8 x 8 board from square in direction d (rook and bishop steps).
inline int RayLength2D(unsigned square, int d) {
    if (OffBoard(square)) [[unlikely]]
        return RayLength2DOffBoard(square, d);
    const int slot = DirectionSlot(d);
    return slot < 0 ? 0 : kRayLengths2D.length[slot][square];
}

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
