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
ExchangeSides AttackersOf(const Position& position, unsigned q, uint32_t ignore);

// The value a piece code counts in an exchange (a king: kKingCaptureValue; 0 for no piece).
int ExchangeValue(int code);

// The gain of side capturer (0 White, 1 Black) capturing first on q a victim worth victim,
// with the attackers in sides. 0 when capturer has no attacker.
int ExchangeGain(const Position& position, ExchangeSides sides, int capturer, int victim);

// Which side controls square q: +1 White, -1 Black, 0 neither.
//  - Occupied square: when the enemy of the occupant attacks it, the exchange the enemy starts
//    decides (it wins: the enemy's; it loses: the occupant's; even: 0); unattacked by the
//    enemy, the occupant's side controls it when it defends it.
//  - Empty square: attacked by one side only, that side's; by both, the side that can put its
//    least valuable attacker there without the other side winning it back, when only one can.
// extraWhite and extraBlack are added to the direct attackers (a rook behind a passed pawn).
// controllers, when given, receives the controlling side's direct attackers (0 for none).
int ControlSign(const Position& position, unsigned q, uint32_t ignore, uint32_t extraWhite = 0,
                uint32_t extraBlack = 0, uint32_t* controllers = nullptr);

// Whether the enemy of the piece on q wins material by starting the exchange there, with the
// pieces in extraEnemy added to its attackers (the slider of a pin, once the front piece left).
bool CaptureWins(const Position& position, unsigned q, uint32_t extraEnemy);

}  // namespace tarvex::engine
