// The 2D game's attack generation on the hot path of making a move: the same marks as
// PieceGenerate, StepAttack and RayAttack make on a 2D position, read from per-square tables
// and inlined, without the checks and table look-ups that serve the 3D game.
#pragma once

#include <bit>
#include <cstdint>

#include "board/dir_to.h"
#include "board/position.h"
#include "rules/line_tables.h"

namespace tarvex {

namespace attacks2d {

// Table slots (see kDirections) of the directions each kind of piece attacks in.
inline constexpr int kBishopSlots[4] = {DirectionSlot(9), DirectionSlot(-7), DirectionSlot(-9),
                                        DirectionSlot(7)};
inline constexpr int kRookSlots[4] = {DirectionSlot(1), DirectionSlot(-8), DirectionSlot(-1),
                                      DirectionSlot(8)};

// The square one step from square in the direction of table slot dirSlot; kNoSquare off the
// board (square must be on the board).
inline unsigned Next(unsigned square, int dirSlot) {
    return kSteps2D.to[dirSlot][square];
}

// ContinuesXray of a 2D position: true when sq or q is empty, or q holds a slider of sq's colour
// that moves along the line from q to sq.
inline bool Continues(const Position& p, const LineTables& lines, unsigned sq, unsigned q) {
    const int onSq = p.board[sq], onQ = p.board[q];
    if (onSq == 0 || onQ == 0) return true;
    const uint8_t slot = p.squareSlot[q];
    if (slot == kNoSlot || (p.sliderMask >> slot & 1) == 0) return false;
    if ((onSq > 0) != (onQ > 0)) return false;
    return ReachOf(lines, onQ, q, sq);
}

inline void MarkSteps(Position& p, uint64_t targets, uint32_t bit) {
    for (; targets != 0; targets &= targets - 1) p.attacks[std::countr_zero(targets)] |= bit;
}

// The ray from `from` in one direction up to the first piece, then the x-ray beyond it for as
// long as the line is seen through.
inline void MarkRay(Position& p, const LineTables& lines, unsigned from, int dirSlot,
                    uint32_t bit) {
    unsigned q = from;
    for (;;) {
        q = Next(q, dirSlot);
        if (q >= kBoardSquares) return;
        p.attacks[q] |= bit;
        if (p.board[q] != 0) break;
    }
    while (Continues(p, lines, from, q)) {
        q = Next(q, dirSlot);
        if (q >= kBoardSquares) return;
        p.xrays[q] |= bit;
    }
}

inline void MarkRays(Position& p, const LineTables& lines, unsigned from, const int (&slots)[4],
                     uint32_t bit) {
    for (int dirSlot : slots) MarkRay(p, lines, from, dirSlot, bit);
}

}  // namespace attacks2d

// PieceGenerate for a piece of a 2D position standing on the board: ORs the slot's attacks and
// x-rays into the masks and marks the slot dirty. False (nothing done) for a code it does not
// know, which the caller hands to PieceGenerate.
inline bool GeneratePiece2D(Position& p, const LineTables& lines, int slot) {
    using namespace attacks2d;
    const uint32_t bit = 1u << slot;
    const int code = p.pieces[slot].code;
    const unsigned from = p.pieces[slot].square;
    switch (code < 0 ? -code : code) {
        case kPawn:
            MarkSteps(p,
                      code > 0 ? kStepTargets2D.targets[kWhitePawnSteps][from]
                               : kStepTargets2D.targets[kBlackPawnSteps][from],
                      bit);
            break;
        case kKnight:
            MarkSteps(p, kStepTargets2D.targets[kKnightSteps][from], bit);
            break;
        case kBishop:
            MarkRays(p, lines, from, kBishopSlots, bit);
            break;
        case kRook:
            MarkRays(p, lines, from, kRookSlots, bit);
            break;
        case kQueen:
            MarkRays(p, lines, from, kBishopSlots, bit);
            MarkRays(p, lines, from, kRookSlots, bit);
            break;
        case kKing:
            MarkSteps(p, kStepTargets2D.targets[kKingSteps][from], bit);
            break;
        default:
            return false;
    }
    p.dirtySlots |= bit;
    return true;
}

}  // namespace tarvex
