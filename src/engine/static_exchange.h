// The static exchange on one square, read from the attack masks without making moves.
//
// Each side captures on the square with its least valuable attacker first and may stop when
// going on would lose; the first capture is forced, so a result above 0 means the side that
// starts wins material, below 0 that it loses. A king counts kKingCaptureValue, so it never
// captures into a defended square. In the 2D game the x-ray masks add the pieces that stand
// behind a friendly slider on the same line: they join once their side's direct attackers are
// used up (the front piece of a battery is always a direct attacker, so this order holds for
// one battery per square and approximates it for several). Pieces in the ignore mask (the
// pinned ones) take no part.
#pragma once

#include <cstdint>

#include "board/position.h"

namespace tarvex::engine {

// The attackers of one square by side: [0] White, [1] Black.
struct ExchangeSides {
    uint32_t direct[2];
    uint32_t xray[2];
};

// The non-ignored attackers of square q.
inline ExchangeSides AttackersOf(const Position& position, unsigned q, uint32_t ignore) {
    const uint32_t direct = position.attacks[q] & ~ignore;
    const uint32_t xray = position.xrays[q] & ~ignore & ~direct;
    return {{direct & kWhiteHalf, direct & kBlackHalf}, {xray & kWhiteHalf, xray & kBlackHalf}};
}

// The value a piece code counts in an exchange (a king: kKingCaptureValue; 0 for no piece).
int ExchangeValue(int code);

// The gain of side capturer (0 White, 1 Black) capturing first on q a victim worth victim,
// with the attackers in sides. 0 when capturer has no attacker.
int ExchangeGain(const Position& position, ExchangeSides sides, int capturer, int victim);

// ControlSign of an empty square that both sides attack directly.
int ContestedEmptySign(const Position& position, const ExchangeSides& sides);
// ControlSign of an occupied square that the enemy of its occupant (code) attacks.
int ContestedPieceSign(const Position& position, const ExchangeSides& sides, int code);

// Which side controls square q: +1 White, -1 Black, 0 neither.
//  - Occupied square: when the enemy of the occupant attacks it, the exchange the enemy starts
//    decides (it wins: the enemy's; it loses: the occupant's; even: 0); unattacked by the
//    enemy, the occupant's side controls it when it defends it.
//  - Empty square: attacked by one side only, that side's; by both, the side that can put its
//    least valuable attacker there without the other side winning it back, when only one can.
// extraWhite and extraBlack are added to the direct attackers (a rook behind a passed pawn).
// controllers, when given, receives the controlling side's direct attackers (0 for none).
// (Inline: the evaluation asks it for many squares; the exchanges stay out of line.)
inline int ControlSign(const Position& position, unsigned q, uint32_t ignore,
                       uint32_t extraWhite = 0, uint32_t extraBlack = 0,
                       uint32_t* controllers = nullptr) {
    ExchangeSides sides = AttackersOf(position, q, ignore);
    const uint32_t plain[2] = {sides.direct[0], sides.direct[1]};
    sides.direct[0] |= extraWhite;
    sides.direct[1] |= extraBlack;
    sides.xray[0] &= ~extraWhite;
    sides.xray[1] &= ~extraBlack;
    int sign = 0;
    const int code = position.board[q];
    if (code == 0) {
        const bool white = sides.direct[0] != 0, black = sides.direct[1] != 0;
        if (white != black) {
            sign = white ? 1 : -1;
        } else if (white) {
            sign = ContestedEmptySign(position, sides);
        }
    } else {
        const int owner = code > 0 ? 0 : 1, enemy = owner ^ 1;
        if ((sides.direct[enemy] | sides.xray[enemy]) == 0) {
            if (sides.direct[owner] != 0) sign = owner == 0 ? 1 : -1;
        } else {
            sign = ContestedPieceSign(position, sides, code);
        }
    }
    if (controllers != nullptr) *controllers = sign > 0 ? plain[0] : sign < 0 ? plain[1] : 0;
    return sign;
}

// Whether the enemy of the piece on q wins material by starting the exchange there, with the
// pieces in extraEnemy added to its attackers (the slider of a pin, once the front piece left).
bool CaptureWins(const Position& position, unsigned q, uint32_t extraEnemy);

}  // namespace tarvex::engine
