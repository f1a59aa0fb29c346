// Square control: which side controls each square (the static exchange), its value from the
// square-control table and the king-side or queen-side extras, cached per square in the
// position together with the pieces that control it and each piece's attack and safe counts.
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/eval_memory.h"
#include "engine/eval_terms.h"
#include "engine/static_exchange.h"

namespace tarvex::engine::eval {
namespace {

using namespace slot;

// The extras each side uses: only while a queen is on the board and the side's king stands
// near home (files 4-7 or 0-2, relative ranks 0-2); the king's side is tested first.
template <typename Reader>
uint32_t ExtrasChoice(const BasicContext<Reader>& c) {
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

template <typename Reader>
[[gnu::always_inline]] inline int SquareValue(const Reader& p, uint32_t choice, unsigned q,
                                              int sign) {
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

// Brings the per-slot counts from the slots in before to those in after: +1 for every slot
// that joined, -1 for every slot that left (one pass over the slots that differ).
void CountAttacks(EvalState& e, uint32_t before, uint32_t after) {
    for (uint32_t bits = before ^ after; bits != 0; bits &= bits - 1) {
        const int s = std::countr_zero(bits);
        e.slotAttacks[s] = static_cast<uint8_t>(e.slotAttacks[s] + (after >> s & 1 ? 1 : -1));
    }
}

// The same for the effective controllers, with each side's total.
void CountReach(EvalState& e, uint32_t before, uint32_t after) {
    for (uint32_t bits = before ^ after; bits != 0; bits &= bits - 1) {
        const int s = std::countr_zero(bits);
        const int delta = after >> s & 1 ? 1 : -1;
        e.slotReach[s] = static_cast<uint8_t>(e.slotReach[s] + delta);
        (s < kBlackSlots ? e.whiteReach : e.blackReach) += delta;
    }
}

// ControlSign of square q with the controllers, through the memory when it applies. The
// squares that no exchange decides (an empty square seen by one side or none, a piece that no
// enemy attacks, directly or behind another) are answered here, as ControlSign answers them.
// Inlined with Recompute: most squares end here without an exchange.
template <typename Reader>
[[gnu::always_inline]] inline int SquareSign(const Position& position,
                                             const BasicContext<Reader>& c, unsigned q,
                                             uint32_t& controllers) {
    if (!c.slotsByKind || c.exchanges == nullptr) {
        return ControlSign(position, q, c.e.ignoreMask, 0, 0, &controllers);
    }
    const uint32_t ignore = c.e.ignoreMask;
    const uint32_t direct = position.attacks[q] & ~ignore;
    const uint32_t white = direct & kWhiteHalf, black = direct & kBlackHalf;
    const int code = position.board[q];
    int sign;
    if (code == 0) {
        if (white != 0 && black != 0) {
            sign = c.exchanges->Sign(position, q, ignore);
        } else {
            sign = white != 0 ? 1 : black != 0 ? -1 : 0;
        }
    } else {
        const uint32_t enemyHalf = code > 0 ? kBlackHalf : kWhiteHalf;
        const uint32_t seen = (direct | (position.xrays[q] & ~ignore)) & enemyHalf;
        if (seen != 0) {
            sign = c.exchanges->Sign(position, q, ignore);
        } else {
            sign = (direct & ~enemyHalf) == 0 ? 0 : code > 0 ? 1 : -1;
        }
    }
    controllers = sign > 0 ? white : sign < 0 ? black : 0;
    return sign;
}

// Recomputes one square; old holds the previous attack mask (0 after a reset). Inlined into
// the loops over the squares: it runs for many squares per evaluation.
template <typename Reader>
[[gnu::always_inline]] inline void Recompute(Position& position, const BasicContext<Reader>& c,
                                             const Reader& p, uint32_t choice, unsigned q,
                                             uint32_t oldAttacks, bool reset) {
    const uint32_t attacks = position.attacks[q];
    CountAttacks(c.e, oldAttacks, attacks);
    uint32_t controllers = 0;
    const int sign = SquareSign(position, c, q, controllers);
    const int value = SquareValue(p, choice, q, sign);
    const uint32_t oldControllers = reset ? 0 : c.e.squareControl[q];
    CountReach(c.e, oldControllers, controllers);
    c.e.controlTotal += value - (reset ? 0 : c.e.squareScore[q]);
    c.e.squareScore[q] = value;
    c.e.squareSign[q] = sign;
    c.e.squareControl[q] = controllers;
}

// The squares whose inputs changed since previous: attackers, x-rays, occupant, or an attacker
// or x-ray whose pinned state (pinChange) changed. Bit q for square q.
uint64_t ChangedSquares(const Position& position, const Position& previous, uint32_t pinChange) {
#if defined(__SSE2__)
    const auto load = [](const auto* four) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(four));
    };
    const __m128i pins = _mm_set1_epi32(static_cast<int>(pinChange));
    const __m128i zero = _mm_setzero_si128();
    uint64_t changed = 0;
    for (unsigned q = 0; q < 64; q += 4) {
        const __m128i attacks = load(&position.attacks[q]), xrays = load(&position.xrays[q]);
        __m128i same = _mm_and_si128(_mm_cmpeq_epi32(attacks, load(&previous.attacks[q])),
                                     _mm_cmpeq_epi32(xrays, load(&previous.xrays[q])));
        same = _mm_and_si128(same,
                             _mm_cmpeq_epi32(load(&position.board[q]), load(&previous.board[q])));
        const __m128i pinned = _mm_and_si128(_mm_or_si128(attacks, xrays), pins);
        same = _mm_and_si128(same, _mm_cmpeq_epi32(pinned, zero));
        const unsigned differ = ~static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(same)));
        changed |= static_cast<uint64_t>(differ & 15u) << q;
    }
    return changed;
#else
    uint64_t changed = 0;
    for (unsigned q = 0; q < 64; ++q) {
        const uint32_t attacks = position.attacks[q], xrays = position.xrays[q];
        if (attacks != previous.attacks[q] || xrays != previous.xrays[q] ||
            position.board[q] != previous.board[q] || ((attacks | xrays) & pinChange) != 0) {
            changed |= uint64_t{1} << q;
        }
    }
    return changed;
#endif
}

}  // namespace

template <typename Reader>
int SquareControl(Position& position, const BasicContext<Reader>& c) {
    const Reader p = c.p;  // a local copy: kept in registers across the stores below
    const uint32_t choice = ExtrasChoice(c);
    const Position* previous = c.previous;
    const bool all = previous == nullptr || c.allSquares || choice != c.e.extras;
    c.e.extras = choice;
    if (all) {
        for (int s = 0; s < kSlotCount; ++s) c.e.slotReach[s] = c.e.slotAttacks[s] = 0;
        c.e.whiteReach = c.e.blackReach = c.e.controlTotal = 0;
        for (unsigned q = 0; q < 64; ++q) {
            if ((position.attacks[q] | position.xrays[q]) == 0) {
                // Nobody sees the square: nobody controls it and it counts nothing.
                c.e.squareScore[q] = c.e.squareSign[q] = 0;
                c.e.squareControl[q] = 0;
                continue;
            }
            Recompute(position, c, p, choice, q, 0, true);
        }
        return c.e.controlTotal;
    }
    // Only the squares whose attackers, x-rays, occupant or pinned attackers changed.
    const uint32_t pinChange = c.e.ignoreMask ^ c.prev->ignoreMask;
    const uint64_t changed = ChangedSquares(position, *previous, pinChange);
    for (uint64_t m = changed; m != 0; m &= m - 1) {
        const unsigned q = static_cast<unsigned>(std::countr_zero(m));
        Recompute(position, c, p, choice, q, previous->attacks[q], false);
    }
    return c.e.controlTotal;
}

// The evaluation is compiled for both readers.
template int SquareControl(Position&, const BasicContext<PlainReader>&);
template int SquareControl(Position&, const BasicContext<WatchedReader>&);

}  // namespace tarvex::engine::eval
