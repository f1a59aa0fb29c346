// The whole-position terms: gathering, pinned mask, fixed patterns, king safety, attacked
// pieces, mobility and overloaded defenders.
#include <algorithm>
#include <array>
#include <cstdlib>

#include "engine/eval_terms.h"
#include "engine/static_exchange.h"
#include "rules/attacks.h"

namespace tarvex::engine::eval {
namespace {

using namespace slot;

// The first piece behind front on the line from the attacker through it, or kNoSlot.
uint8_t FirstBehind(const Position& position, const LineTables& lines, unsigned attacker,
                    unsigned front) {
    const int d = lines.dir[attacker][front];
    if (d == 0) return kNoSlot;
    if (!Is3D(position)) {
        unsigned q = front;
        for (int n = RayLength2D(front, d); n > 0; --n) {
            q += d;
            if (position.board[q] != 0) return position.squareSlot[q];
        }
        return kNoSlot;
    }
    // 3D: the pieces on the line beyond front, the nearest being the one with none between.
    uint32_t onLine = 0;
    for (uint32_t m = position.pieceMask; m != 0; m &= m - 1) {
        const int s = std::countr_zero(m);
        if (lines.dir[front][position.pieces[s].square] == d) onLine |= 1u << s;
    }
    for (uint32_t m = onLine; m != 0; m &= m - 1) {
        const int s = std::countr_zero(m);
        const unsigned at = position.pieces[s].square;
        bool nearest = true;
        for (uint32_t o = onLine & ~(1u << s); o != 0 && nearest; o &= o - 1) {
            nearest = !Collinear(lines, front, position.pieces[std::countr_zero(o)].square, at);
        }
        if (nearest) return static_cast<uint8_t>(s);
    }
    return kNoSlot;
}

// The king zone of each square: the squares of files and ranks within one of it (the square
// included), as file * 8 + rank.
struct KingZone {
    uint8_t count;
    uint8_t squares[9];
};
constexpr auto kKingZones = [] {
    std::array<KingZone, 64> zones{};
    for (int king = 0; king < 64; ++king) {
        KingZone& zone = zones[king];
        const int file = king >> 3, rank = king & 7;
        for (int f = std::max(file - 1, 0); f <= std::min(file + 1, 7); ++f) {
            for (int r = std::max(rank - 1, 0); r <= std::min(rank + 1, 7); ++r) {
                zone.squares[zone.count++] = static_cast<uint8_t>(f * 8 + r);
            }
        }
    }
    return zones;
}();

// One king's term: the enemy officers (king aside) attacking its zone directly or through a
// battery, and the zone's files without pawns.
template <typename Reader>
int KingTerm(const Position& position, const BasicContext<Reader>& c, int side) {
    const unsigned king = c.king[side];
    if (king == kNoKing) return 0;
    const int enemy = side ^ 1;
    const int file = FileOf(king);
    int openFiles = 0;
    for (int f = std::max(file - 1, 0); f <= std::min(file + 1, 7); ++f) {
        if (!c.HasPawn(0, f) && !c.HasPawn(1, f)) ++openFiles;
    }
    uint32_t seen = 0;
    const KingZone& zone = kKingZones[king & 63];
    for (int i = 0; i < zone.count; ++i) {
        const unsigned q = zone.squares[i];
        seen |= position.attacks[q] | position.xrays[q];
    }
    const uint32_t enemyKing = 1u << (enemy * 16);
    const uint32_t attackers = seen & position.officerMask & kHalf[enemy] & ~enemyKing;
    const int n =
        Capped(Bits(attackers) + ((attackers & c.rooks[enemy]) != 0 ? 1 : 0), kMaxZoneAttackers);
    const bool ownAtRoot = ((position.flags & kWhiteAtRoot) != 0) == (side == 0);
    const bool queen = c.queen[enemy];
    const int table = queen ? (ownAtRoot ? kKingZoneOwnQueen : kKingZoneOtherQueen)
                            : (ownAtRoot ? kKingZoneOwnNoQueen : kKingZoneOtherNoQueen);
    return -c.p[table + n] - openFiles * c.p[queen ? kOpenFileQueen : kOpenFileNoQueen];
}

constexpr int MobilityIndex(int kind) {
    return kind - kKnight;  // knight 0, bishop 1, rook 2, queen 3, king 4
}

}  // namespace

template <typename Reader>
void Gather(const Position& position, BasicContext<Reader>& c) {
    // The slots of each kind (index 0: codes that are no piece), gathered in one pass; the
    // counts, masks and tables come from them.
    uint32_t ofKind[kKing + 1] = {};
    for (uint32_t m = position.pieceMask; m != 0; m &= m - 1) {
        const int s = std::countr_zero(m);
        const int kind = KindOf(position.pieces[s].code);
        ofKind[kind >= kPawn && kind <= kKing ? kind : 0] |= m & -m;
    }
    // The slots of each kind when every piece stands in its role's slot.
    constexpr uint32_t kRoleSlots[kKing + 1] = {0,           0xFF00FF00u, 0x00C000C0u, 0x00300030u,
                                                0x000C000Cu, 0x00020002u, 0x00010001u};
    constexpr uint32_t kOfficerSlots = 0x00FF00FFu;
    bool slotsByKind =
        ofKind[0] == 0 && position.officerMask == (kOfficerSlots & position.pieceMask);
    for (int kind = kPawn; kind <= kKing; ++kind) {
        slotsByKind = slotsByKind && (ofKind[kind] & ~kRoleSlots[kind]) == 0;
        c.count[0][kind] = Bits(ofKind[kind] & kWhiteHalf);
        c.count[1][kind] = Bits(ofKind[kind] & kBlackHalf);
    }
    c.count[0][0] = c.count[1][0] = 0;
    c.slotsByKind = slotsByKind;
    for (int side = 0; side < 2; ++side) {
        const uint32_t half = kHalf[side];
        c.pawns[side] = ofKind[kPawn] & half;
        c.rooks[side] = ofKind[kRook] & half;
        uint64_t heavy = 0;
        for (uint32_t m = (ofKind[kRook] | ofKind[kQueen] | ofKind[kKing]) & half; m != 0;
             m &= m - 1) {
            heavy |= uint64_t{1} << (position.pieces[std::countr_zero(m)].square & 63);
        }
        c.heavy[side] = heavy;
        const int kingSlot = side * kBlackSlots;
        c.king[side] = (ofKind[kKing] >> kingSlot & 1) ? position.pieces[kingSlot].square : kNoKing;
    }
    std::fill(c.lowestWhite, c.lowestWhite + 8, kNoWhitePawn);
    std::fill(c.highestBlack, c.highestBlack + 8, kNoBlackPawn);
    for (uint32_t m = c.pawns[0]; m != 0; m &= m - 1) {
        const unsigned square = position.pieces[std::countr_zero(m)].square;
        int8_t& lowest = c.lowestWhite[FileOf(square)];
        lowest = static_cast<int8_t>(std::min<int>(lowest, RankOf(square)));
    }
    for (uint32_t m = c.pawns[1]; m != 0; m &= m - 1) {
        const unsigned square = position.pieces[std::countr_zero(m)].square;
        int8_t& highest = c.highestBlack[FileOf(square)];
        highest = static_cast<int8_t>(std::max<int>(highest, RankOf(square)));
    }
    c.queen[0] = c.count[0][kQueen] > 0;
    c.queen[1] = c.count[1][kQueen] > 0;
    c.material = std::clamp(position.whiteMaterial - position.blackMaterial, -kMaterialClamp,
                            kMaterialClamp);
}

template <typename Reader>
uint32_t PinnedMask(const Position& position, const BasicContext<Reader>& c) {
    uint32_t pinned = 0;
    // The fronts are the rooks, bishops and knights, the pieces behind any officer (a piece
    // promoted in a pawn slot counts as what it has become).
    for (uint32_t m = position.officerMask; m != 0; m &= m - 1) {
        const int front = std::countr_zero(m);
        const int kind = KindOf(position.pieces[front].code);
        if (kind != kRook && kind != kBishop && kind != kKnight) continue;
        const int side = SideOfSlot(front);
        const unsigned square = position.pieces[front].square;
        const uint32_t sliders =
            position.attacks[square] & position.sliderMask & kHalf[side ^ 1] & position.officerMask;
        for (uint32_t a = sliders; a != 0; a &= a - 1) {
            const int attacker = std::countr_zero(a);
            const unsigned from = position.pieces[attacker].square;
            if (position.attacks[from] >> front & 1) continue;  // it attacks back
            const uint8_t behind = FirstBehind(position, c.lines, from, square);
            if (behind == kNoSlot || SideOfSlot(behind) != side ||
                !(position.officerMask >> behind & 1)) {
                continue;
            }
            if (CaptureWins(position, position.pieces[behind].square, 1u << attacker)) {
                pinned |= 1u << front;
                break;
            }
        }
    }
    return pinned;
}

template <typename Reader>
int FixedPatterns(const Position& position, const BasicContext<Reader>& c) {
    const Reader p = c.p;
    int v = 0;
    for (int side = 0; side < 2; ++side) {
        const int sign = SignOf(side);
        const auto on = [&](unsigned whiteSquare) {
            return position.board[MirrorSquare(side, whiteSquare)] * sign;
        };
        constexpr unsigned b1 = 8, g1 = 48, c3 = 18, f3 = 42, d2 = 25, d3 = 26, e2 = 33, e3 = 34;
        if (on(d2) == kPawn && on(d3) != 0) v -= sign * p[kCentrePawnBlockedD];
        if (on(e2) == kPawn && on(e3) != 0) v -= sign * p[kCentrePawnBlockedE];
        if (on(b1) == kKnight && on(c3) != 0) v -= sign * p[kKnightBlocked];
        if (on(g1) == kKnight && on(f3) != 0) v -= sign * p[kKnightBlocked];
        if (c.count[side][kBishop] >= 2) v += sign * p[kBishopPair];
    }
    if (c.count[0][kBishop] == 1 && c.count[1][kBishop] == 1 &&
        std::abs(c.material) > kOppositeBishopsLead) {
        unsigned colour[2] = {0, 0};
        for (uint32_t m = position.pieceMask; m != 0; m &= m - 1) {
            const int s = std::countr_zero(m);
            if (KindOf(position.pieces[s].code) == kBishop) {
                colour[SideOfSlot(s)] = SquareParity(position.pieces[s].square);
            }
        }
        if (colour[0] != colour[1])
            v += c.material > 0 ? -p[kOppositeBishops] : p[kOppositeBishops];
    }
    if (position.officerMask == position.pieceMask && std::abs(c.material) >= kPawnlessLead) {
        const int winner = c.material > 0 ? 0 : 1;
        int bonus = p[kPawnlessAhead];
        const unsigned lone = c.king[winner ^ 1];
        if (c.count[winner][kBishop] == 1 && lone != kNoKing) {
            for (uint32_t m = position.pieceMask & kHalf[winner]; m != 0; m &= m - 1) {
                const int s = std::countr_zero(m);
                if (KindOf(position.pieces[s].code) != kBishop) continue;
                const bool dark = SquareParity(position.pieces[s].square) == 0;
                bonus += (7 - kCornerDistance[dark ? lone : lone ^ 7]) * p[kPawnlessCornerStep];
            }
        }
        v += SignOf(winner) * bonus;
    }
    return v;
}

template <typename Reader>
int KingSafety(const Position& position, const BasicContext<Reader>& c) {
    return KingTerm(position, c, 0) - KingTerm(position, c, 1);
}

template <typename Reader>
int AttackedPieces(Position& position, const BasicContext<Reader>& c, uint32_t& changed) {
    const uint32_t officers = position.officerMask;
    int attacks[2] = {0, 0};  // [side]: officer attacks of that side on enemy pieces
    uint32_t attacking = 0, hanging = 0;
    for (int side = 0; side < 2; ++side) {
        const int enemy = side ^ 1, enemySign = SignOf(enemy);
        const uint32_t enemyOfficers = officers & kHalf[enemy];
        const int shift = enemy * kBlackSlots;  // the enemy half down to bits 0..15
        int count = 0;
        // Without branches on the piece: the officers' masks select what they add.
        for (uint32_t m = position.pieceMask & kHalf[side]; m != 0; m &= m - 1) {
            const int s = std::countr_zero(m);
            const unsigned square = position.pieces[s].square;
            const uint32_t by = position.attacks[square] & enemyOfficers;
            const uint32_t officer = 0u - (officers >> s & 1);
            count += Bits16(by >> shift);
            attacking |= by & officer;
            hanging |= static_cast<uint32_t>(c.e.squareSign[square] == enemySign) << s & officer;
        }
        // The king's attackers do not count.
        const int king = side * kBlackSlots;
        if (position.pieceMask >> king & 1) {
            count -=
                Bits16((position.attacks[position.pieces[king].square] & enemyOfficers) >> shift);
        }
        attacks[enemy] = count;
    }
    changed = attacking ^ c.e.attackerMask;
    c.e.attackerMask = attacking;
    c.e.hangingMask = hanging;
    return c.p[kAttackedOfficers + Capped(attacks[0], kMaxAttackedOfficers)] -
           c.p[kAttackedOfficers + Capped(attacks[1], kMaxAttackedOfficers)];
}

template <typename Reader>
int Mobility(const Position& position, const BasicContext<Reader>& c) {
    if (c.stage == kStagePawnless) return 0;
    const Reader p = c.p;
    int v = 0;
    for (uint32_t m = position.officerMask; m != 0; m &= m - 1) {
        const int s = std::countr_zero(m);
        const int kind = KindOf(position.pieces[s].code);
        if (kind < kKnight || kind > kKing) continue;
        const int side = SideOfSlot(s);
        const int rel = RelativeRank(side, RankOf(position.pieces[s].square));
        const int attacked = c.e.slotAttacks[s], safe = c.e.slotReach[s];
        const int row = MobilityIndex(kind) * kMobilityTable + rel * 10;
        int term = p[kAttackMobility + row + Capped(attacked, kMaxMobilityCount)] +
                   p[kSafeMobility + row + Capped(safe, kMaxMobilityCount)];
        if (attacked < kMinimumMobility[kind] && !(c.e.attackerMask >> s & 1)) {
            term -= p[kLowMobility];
        }
        if (safe == 0) term -= p[kNoSafeSquare + rel];
        v += SignOf(side) * term;
    }
    return v;
}

template <typename Reader>
int OverloadedDefenders(const Position& position, const BasicContext<Reader>& c) {
    int held[32] = {};
    uint32_t once = 0, several = 0;  // defenders holding one square, two or more
    const uint32_t usable = position.officerMask & ~c.e.ignoreMask;
    for (uint32_t m = position.pieceMask; m != 0; m &= m - 1) {
        const int s = std::countr_zero(m);
        const unsigned square = position.pieces[s].square;
        if (c.e.squareSign[square] != 0) continue;
        const int side = SideOfSlot(s);
        const uint32_t seen = position.attacks[square] & ~c.e.ignoreMask;
        if ((seen & kHalf[side ^ 1]) == 0) continue;
        const uint32_t defenders = seen & usable & kHalf[side];
        several |= once & defenders;
        once |= defenders;
        for (uint32_t d = defenders; d != 0; d &= d - 1) ++held[std::countr_zero(d)];
    }
    int v = 0;
    for (uint32_t m = several; m != 0; m &= m - 1) {
        const int s = std::countr_zero(m);
        v -= SignOf(SideOfSlot(s)) * c.p[kOverloaded + Capped(held[s], kMaxOverloaded)];
    }
    return v;
}

// The evaluation is compiled for both readers.
template void Gather(const Position&, BasicContext<PlainReader>&);
template uint32_t PinnedMask(const Position&, const BasicContext<PlainReader>&);
template int FixedPatterns(const Position&, const BasicContext<PlainReader>&);
template int KingSafety(const Position&, const BasicContext<PlainReader>&);
template int AttackedPieces(Position&, const BasicContext<PlainReader>&, uint32_t&);
template int Mobility(const Position&, const BasicContext<PlainReader>&);
template int OverloadedDefenders(const Position&, const BasicContext<PlainReader>&);
template void Gather(const Position&, BasicContext<WatchedReader>&);
template uint32_t PinnedMask(const Position&, const BasicContext<WatchedReader>&);
template int FixedPatterns(const Position&, const BasicContext<WatchedReader>&);
template int KingSafety(const Position&, const BasicContext<WatchedReader>&);
template int AttackedPieces(Position&, const BasicContext<WatchedReader>&, uint32_t&);
template int Mobility(const Position&, const BasicContext<WatchedReader>&);
template int OverloadedDefenders(const Position&, const BasicContext<WatchedReader>&);

}  // namespace tarvex::engine::eval
