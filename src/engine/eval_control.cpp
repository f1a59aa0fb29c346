// Square control: which side controls each square (the static exchange), its value from the
// square-control table and the king-side or queen-side extras, cached per square in the
// position together with the pieces that control it and each piece's attack and safe counts.
#include <bit>

#include "engine/eval_terms.h"
#include "engine/static_exchange.h"

namespace tarvex::engine::eval {
namespace {

using namespace slot;

// The extras each side uses: only while a queen is on the board and the side's king stands
// near home (files 4-7 or 0-2, relative ranks 0-2); the king's side is tested first.
uint32_t ExtrasChoice(const Context& c) {
    if (!c.queen[0] && !c.queen[1]) return 0;
    constexpr uint32_t kKingSide[2] = {kWhiteKingSideExtras, kBlackKingSideExtras};
    constexpr uint32_t kQueenSide[2] = {kWhiteQueenSideExtras, kBlackQueenSideExtras};
    uint32_t choice = 0;
    for (int side = 0; side < 2; ++side) {
        const unsigned king = c.king[side];
        if (king == kNoKing || RelativeRank(side, RankOf(king)) > 2) continue;
        if (FileOf(king) >= 4)
            choice |= kKingSide[side];
        else if (FileOf(king) <= 2)
            choice |= kQueenSide[side];
    }
    return choice;
}

int SquareValue(const ParameterSet& p, uint32_t choice, unsigned q, int sign) {
    if (sign > 0) {
        int v = p[kControlSquares + q];
        if (choice & kWhiteKingSideExtras) v += p[kKingSideControl + q];
        if (choice & kWhiteQueenSideExtras) v += p[kQueenSideControl + q];
        return v;
    }
    if (sign < 0) {
        const unsigned m = q ^ 7;
        int v = p[kControlSquares + m];
        if (choice & kBlackKingSideExtras) v += p[kKingSideControl + m];
        if (choice & kBlackQueenSideExtras) v += p[kQueenSideControl + m];
        return -v;
    }
    return 0;
}

// Adds +1 or -1 to the count of every slot in bits, and to its side's total when reach.
void Count(Position& position, uint32_t bits, int delta, bool reach) {
    for (; bits != 0; bits &= bits - 1) {
        const int s = std::countr_zero(bits);
        if (reach) {
            position.slotReach[s] = static_cast<uint8_t>(position.slotReach[s] + delta);
            (s < kBlackSlots ? position.whiteReach : position.blackReach) += delta;
        } else {
            position.slotAttacks[s] = static_cast<uint8_t>(position.slotAttacks[s] + delta);
        }
    }
}

// Recomputes one square; old holds the previous attack mask (0 after a reset).
void Recompute(Position& position, const ParameterSet& p, uint32_t choice, unsigned q,
               uint32_t oldAttacks, bool reset) {
    const uint32_t attacks = position.attacks[q];
    Count(position, oldAttacks & ~attacks, -1, false);
    Count(position, attacks & ~oldAttacks, +1, false);
    uint32_t controllers = 0;
    const int sign = ControlSign(position, q, position.ignoreMask, 0, 0, &controllers);
    const int value = SquareValue(p, choice, q, sign);
    const uint32_t oldControllers = reset ? 0 : position.squareControl[q];
    Count(position, oldControllers & ~controllers, -1, true);
    Count(position, controllers & ~oldControllers, +1, true);
    position.controlTotal += value - (reset ? 0 : position.squareScore[q]);
    position.squareScore[q] = value;
    position.squareSign[q] = sign;
    position.squareControl[q] = controllers;
}

}  // namespace

int SquareControl(Position& position, const Context& c) {
    const uint32_t choice = ExtrasChoice(c);
    const Position* previous = c.previous;
    const bool all =
        previous == nullptr || c.allSquares || choice != (position.flags & kExtrasChoice);
    position.flags = (position.flags & ~kExtrasChoice) | choice;
    if (all) {
        for (int s = 0; s < kSlotCount; ++s) position.slotReach[s] = position.slotAttacks[s] = 0;
        position.whiteReach = position.blackReach = position.controlTotal = 0;
        for (unsigned q = 0; q < 64; ++q) Recompute(position, c.p, choice, q, 0, true);
        return position.controlTotal;
    }
    // Only the squares whose attackers, x-rays, occupant or pinned attackers changed.
    const uint32_t pinChange = position.ignoreMask ^ previous->ignoreMask;
    for (unsigned q = 0; q < 64; ++q) {
        const uint32_t attacks = position.attacks[q], xrays = position.xrays[q];
        if (attacks == previous->attacks[q] && xrays == previous->xrays[q] &&
            position.board[q] == previous->board[q] && ((attacks | xrays) & pinChange) == 0) {
            continue;
        }
        Recompute(position, c.p, choice, q, previous->attacks[q], false);
    }
    return position.controlTotal;
}

}  // namespace tarvex::engine::eval
