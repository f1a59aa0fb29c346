#include "engine/static_exchange.h"

#include <algorithm>
#include <bit>

#include "engine/threat.h"
#include "rules/piece_ops.h"

namespace tarvex::engine {
namespace {

constexpr uint32_t kHalf[2] = {kWhiteHalf, kBlackHalf};
constexpr int kMaxExchange = 32;

// Takes the least valuable piece out of mask and returns its value. Pawns (pawn slots holding
// a pawn) come first; officers are compared by their codes, promoted ones included.
int TakeLeast(const Position& position, uint32_t& mask) {
    const uint32_t pawns = mask & ~position.officerMask;
    if (pawns != 0) {
        mask &= ~(1u << std::countr_zero(pawns));
        return kMaterialValue[kPawn];
    }
    int best = -1, bestValue = 0;
    for (uint32_t m = mask; m != 0; m &= m - 1) {
        const int slot = std::countr_zero(m);
        const int value = ExchangeValue(position.pieces[slot].code);
        if (best < 0 || value < bestValue) best = slot, bestValue = value;
    }
    mask &= ~(1u << best);
    return bestValue;
}

// The next piece of a side: direct attackers first, then the x-ray ones. -1 when none.
int TakeNext(const Position& position, ExchangeSides& sides, int side) {
    if (sides.direct[side] != 0) return TakeLeast(position, sides.direct[side]);
    if (sides.xray[side] != 0) return TakeLeast(position, sides.xray[side]);
    return -1;
}

// Whether side can put its least valuable direct attacker on the empty square without the
// other side winning it.
bool OccupiesSafely(const Position& position, ExchangeSides sides, int side) {
    const int mover = TakeLeast(position, sides.direct[side]);
    return ExchangeGain(position, sides, side ^ 1, mover) <= 0;
}

}  // namespace

int ExchangeValue(int code) {
    const int kind = code < 0 ? -code : code;
    if (kind == kKing) return kKingCaptureValue;
    return kind < kKing ? kMaterialValue[kind] : 0;
}

int ExchangeGain(const Position& position, ExchangeSides sides, int capturer, int victim) {
    int onSquare = TakeNext(position, sides, capturer);
    if (onSquare < 0) return 0;
    int gain[kMaxExchange + 1];
    gain[0] = victim;
    int depth = 0;
    for (int side = capturer ^ 1; depth < kMaxExchange; side ^= 1) {
        const int next = TakeNext(position, sides, side);
        if (next < 0) break;
        ++depth;
        gain[depth] = onSquare - gain[depth - 1];
        onSquare = next;
    }
    for (; depth > 0; --depth) gain[depth - 1] = -std::max(-gain[depth - 1], gain[depth]);
    return gain[0];
}

int ContestedEmptySign(const Position& position, const ExchangeSides& sides) {
    const bool whiteSafe = OccupiesSafely(position, sides, 0);
    const bool blackSafe = OccupiesSafely(position, sides, 1);
    if (whiteSafe == blackSafe) return 0;
    return whiteSafe ? 1 : -1;
}

int ContestedPieceSign(const Position& position, const ExchangeSides& sides, int code) {
    const int ownerSign = code > 0 ? 1 : -1;
    const int enemy = code > 0 ? 1 : 0;
    const int gain = ExchangeGain(position, sides, enemy, ExchangeValue(code));
    return gain > 0 ? -ownerSign : gain < 0 ? ownerSign : 0;
}

bool CaptureWins(const Position& position, unsigned q, uint32_t extraEnemy) {
    const int code = position.board[q];
    if (code == 0) return false;
    const int enemy = code > 0 ? 1 : 0;
    ExchangeSides sides = AttackersOf(position, q, 0);
    sides.direct[enemy] |= extraEnemy & kHalf[enemy];
    sides.xray[enemy] &= ~extraEnemy;
    return ExchangeGain(position, sides, enemy, ExchangeValue(code)) > 0;
}

}  // namespace tarvex::engine
