#include "rules/attacks.h"

#include <algorithm>

#include "board/attack_boards.h"
#include "rules/line_tables.h"

namespace tarvex {

int Level3D(const Position& position, unsigned square) {
    if (square >= 32) return Row(square) < 4 ? kWhiteLevel : kBlackLevel;
    if (!IsAttackBoardSquare(square)) return kNeutralLevel;
    const PinInfo* pin = FindPin(position.abPin[AttackBoardOfSquare(square)]);
    return pin == nullptr ? 0 : pin->level;
}

void StepAttack(Position& position, int slot, int d) {
    const int directionSlot = DirectionSlot(d);
    if (!Is3D(position) && directionSlot >= 0) {
        const unsigned to = kSteps2D.to[directionSlot][position.pieces[slot].square & 63];
        if (!OffBoard(to) && !OffBoard(position.pieces[slot].square)) {
            position.attacks[to] |= 1u << slot;
        }
        return;
    }
    StepList step;
    DirTo(position, position.pieces[slot].square, d, step);
    const uint32_t bit = 1u << slot;
    for (uint32_t i = 0; i < step.count; ++i) position.attacks[step.sq[i]] |= bit;
}

int RayLength2DOffBoard(unsigned square, int d) {
    const int c = static_cast<int>(Column(square)), r = static_cast<int>(Row(square));
    switch (d) {
        case 1:
            return 7 - r;
        case -1:
            return r;
        case 8:
            return 7 - c;
        case -8:
            return c;
        case 9:
            return std::min(7 - c, 7 - r);
        case -9:
            return std::min(c, r);
        case 7:
            return std::min(7 - c, r);
        case -7:
            return std::min(c, 7 - r);
        default:
            return 0;
    }
}

bool ContinuesXray(const Position& position, unsigned sq, unsigned q) {
    const int onSq = position.board[sq], onQ = position.board[q];
    if (onSq == 0 || onQ == 0) return true;
    const uint8_t slot = position.squareSlot[q];
    if (slot == kNoSlot || (position.sliderMask >> slot & 1) == 0) return false;
    if ((onSq > 0) != (onQ > 0)) return false;
    return ReachOf(LinesFor(position), onQ, q, sq);
}

namespace {

void RayAttack2D(Position& position, int slot, int d, int length) {
    const unsigned from = position.pieces[slot].square;
    const uint32_t bit = 1u << slot;
    unsigned q = from;
    int steps = 0;
    while (steps < length) {
        q = static_cast<unsigned>(static_cast<int>(q) + d);
        ++steps;
        position.attacks[q] |= bit;
        if (position.board[q] != 0) break;
    }
    while (steps < length && ContinuesXray(position, from, q)) {
        q = static_cast<unsigned>(static_cast<int>(q) + d);
        ++steps;
        position.xrays[q] |= bit;
    }
}

}  // namespace

void RayAttack(Position& position, int slot, int d, int length) {
    if (Is3D(position)) {
        if (OffBoard(position.pieces[slot].square)) return;
        int directionSlot = DirectionSlot(d);
        const DirTable& table = DirTableOf(position);
        if (directionSlot < 0) [[unlikely]]
            directionSlot = UnknownDirection(true, d);
        RayAttack3D(position, table, slot, directionSlot);
    } else {
        RayAttack2D(position, slot, d, length);
    }
}

bool EndOfLine(const Position& position, unsigned square, int d) {
    const int directionSlot = DirectionSlot(d);
    if (!Is3D(position) && directionSlot >= 0 && !OffBoard(square)) {
        return OffBoard(kSteps2D.to[directionSlot][square]);
    }
    StepList step;
    return DirTo(position, square, d, step) == 0;
}

bool IsDoubleStep(const Position& position, unsigned from, unsigned to, int d) {
    StepList first, second;
    if (DirTo(position, from, d, first) == 0) return false;
    DirTo(position, first.sq[0], d, second);
    for (uint32_t i = 0; i < second.count; ++i) {
        if (second.sq[i] == to) return true;
    }
    return false;
}

bool PawnBeside(const Position& position, unsigned square, int pawnCode) {
    StepList step;
    for (int d : {8, -8}) {
        DirTo(position, square, d, step);
        for (uint32_t i = 0; i < step.count; ++i) {
            if (position.board[step.sq[i]] == pawnCode) return true;
        }
    }
    return false;
}

bool IsPromotionCandidate(const Position& position, int code, unsigned square) {
    if (code != kPawn && code != -kPawn) return false;
    const bool white = code > 0;
    if (!Is3D(position)) return Row(square) == (white ? 6u : 1u);
    if (IsAttackBoardSquare(square)) {
        const int board = AttackBoardOfSquare(square);
        const unsigned offset = square - kBoardBase[board];
        const unsigned pin = position.abPin[board];
        if (white) return (offset == 0 || offset == 8) && (pin == kPinQ6 || pin == kPinK6);
        return (offset == 1 || offset == 9) && (pin == kPinQ1 || pin == kPinK1);
    }
    const int d = white ? 1 : -1;
    StepList step, beyond;
    if (DirTo(position, square, d, step) == 0) return false;
    return DirTo(position, step.sq[0], d, beyond) == 0;
}

bool CheckBookkeeping(Position& child, Move& move, bool moverWhite) {
    const bool moverAttacked = moverWhite ? WhiteInCheck(child) : BlackInCheck(child);
    if (moverAttacked) return false;
    move.givesCheck = 0;
    const bool opponentAttacked = moverWhite ? BlackInCheck(child) : WhiteInCheck(child);
    if (opponentAttacked) {
        child.flags |= kInCheck;
        move.givesCheck = 1;
    }
    // The position remembers whether the move that made it gave check (the display reads it).
    child.lastMove.givesCheck = move.givesCheck;
    return true;
}

}  // namespace tarvex
