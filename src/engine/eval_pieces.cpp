// The per-piece terms and PieceValues, which caches them per slot.
#include <algorithm>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/error_report.h"
#include "engine/eval_terms.h"
#include "engine/static_exchange.h"

namespace tarvex::engine::eval {
namespace {

using namespace slot;

bool IsPawnOn(const Position& position, unsigned square) {
    return KindOf(position.board[square]) == kPawn;
}

// The pawn can step to a square that an own pawn defends (from its starting rank also by the
// double step, when the first square is not attacked by an enemy pawn).
template <typename Reader>
bool CanAdvanceToDefended(const Position& position, const BasicContext<Reader>& c, int side,
                          unsigned square, int relRank) {
    if (relRank >= 7) return false;
    const int forward = side == 0 ? 1 : -1;
    const unsigned front = square + forward;
    if (IsPawnOn(position, front)) return false;
    if (position.attacks[front] & c.pawns[side]) return true;
    if (relRank != 1 || (position.attacks[front] & c.pawns[side ^ 1])) return false;
    const unsigned two = front + forward;
    return !IsPawnOn(position, two) && (position.attacks[two] & c.pawns[side]);
}

// The square rule against a lone king: p[kUnstoppable] when the king cannot catch the pawn.
// Marks the pawns whose verdict hangs on the side to move: unstoppablePawns[0] those that are
// unstoppable only because their side moves, [1] those stoppable only because the enemy moves
// (the search's null move corrects the cached total with them).
template <typename Reader>
int SquareRule(Position& position, const BasicContext<Reader>& c, int side, int slot,
               unsigned square, int distance) {
    const unsigned king = c.king[side ^ 1];
    if (king == kNoKing) return 0;
    const int forward = side == 0 ? 1 : -1;
    const bool ownMove = WhiteToMove(position) == (side == 0);
    int kingDistance =
        std::max(std::abs(FileOf(king) - FileOf(square)), 7 - RelativeRank(side, RankOf(king)));
    if (!ownMove) --kingDistance;
    int pawnDistance = distance;
    if (kingDistance > distance) {
        const int ownPawn = side == 0 ? kPawn : -kPawn;
        unsigned q = square;
        for (int step = 0; step < distance && pawnDistance < kingDistance; ++step) {
            q += forward;
            if (position.board[q] == ownPawn)
                pawnDistance += 10;
            else if (position.board[q] != 0)
                pawnDistance += 1;
        }
    }
    const uint32_t bit = 1u << slot;
    if (kingDistance > pawnDistance) {
        if (ownMove && kingDistance == pawnDistance + 1) c.e.unstoppablePawns[0] |= bit;
        return c.p[kUnstoppable];
    }
    if (!ownMove && kingDistance == pawnDistance) c.e.unstoppablePawns[1] |= bit;
    return 0;
}

// The terms of a passed pawn, in the pawn's side's frame.
template <typename Reader>
int PassedPawn(Position& position, const BasicContext<Reader>& c, int side, int slot,
               unsigned square) {
    const Reader p = c.p;
    const int file = FileOf(square), rank = RankOf(square);
    const int rel = RelativeRank(side, rank), distance = 7 - rel;
    const int forward = side == 0 ? 1 : -1, enemy = side ^ 1;
    (side == 0 ? position.whitePassed : position.blackPassed) |= 1u << slot;

    int v = p[kPassed + distance];
    for (int who = 0; who < 2; ++who) {
        const unsigned king = c.king[who];
        if (king == kNoKing || std::abs(FileOf(king) - file) > 1) continue;
        if (RelativeRank(side, RankOf(king)) < rel) continue;
        v += who == side ? p[kKingByPasser] : -p[kEnemyKingAhead];
    }
    if (rel < 7) {
        const int ahead = position.board[square + forward];
        if (side == 0 ? ahead < 0 : ahead > 0) v -= p[kPasserBlocked];
    }
    uint32_t ownRooksBehind = 0;
    const uint32_t rooks = position.attacks[square] & ~c.e.ignoreMask & (c.rooks[0] | c.rooks[1]);
    for (uint32_t m = rooks; m != 0; m &= m - 1) {
        const int rook = std::countr_zero(m);
        const unsigned at = position.pieces[rook].square;
        if (FileOf(at) != file || RelativeRank(side, RankOf(at)) >= rel) continue;
        if (SideOfSlot(rook) == side) {
            v += p[kOwnRookBehindPasser];
            ownRooksBehind |= 1u << rook;
        } else {
            v -= p[kEnemyRookBehindPasser];
        }
    }
    if (!Is3D(position)) {
        const int enemySign = SignOf(enemy);
        int k = kFreePathStart[rel];
        unsigned q = square;
        for (int step = 0; step < distance && k <= 20; ++step, ++k) {
            q += forward;
            const int control = ownRooksBehind == 0 ? c.e.squareSign[q]
                                                    : ControlSign(position, q, c.e.ignoreMask,
                                                                  side == 0 ? ownRooksBehind : 0,
                                                                  side == 1 ? ownRooksBehind : 0);
            if (control == enemySign) break;
            v += p[kFreePath + k];
        }
    }
    for (int next : {file - 1, file + 1}) {
        if (c.HasPawn(side, next) && std::abs(c.Rearmost(side, next) - rank) <= 1) {
            v += p[kPassedConnected + distance];
        }
    }
    if ((position.pieceMask & kHalf[enemy]) == (1u << (enemy * 16))) {
        v += SquareRule(position, c, side, slot, square, distance);
    }
    const int squareValue = p[kPawnSquares + MirrorSquare(side, square)];
    if (distance < 4 && squareValue + v < p[kPassedFloor]) v = p[kPassedFloor] - squareValue;
    return v;
}

template <typename Reader>
int Pawn(Position& position, const BasicContext<Reader>& c, int side, int slot, unsigned square) {
    const Reader p = c.p;
    const int file = FileOf(square), rank = RankOf(square);
    const int rel = RelativeRank(side, rank), distance = 7 - rel, enemy = side ^ 1;
    const int ownPawn = side == 0 ? kPawn : -kPawn;
    (side == 0 ? position.whitePassed : position.blackPassed) &= ~(1u << slot);

    int v = p[kPawnSquares + MirrorSquare(side, square)];
    if ((file > 0 && position.board[square - 8] == ownPawn) ||
        (file < 7 && position.board[square + 8] == ownPawn)) {
        v += p[kPawnBeside];
    }
    bool backward = false;
    if ((position.attacks[square] & c.pawns[side]) == 0) {
        v -= p[kPawnUndefended];
        backward = !CanAdvanceToDefended(position, c, side, square, rel);
        if (backward) {
            v -= p[kBackward];
            if (!c.HasPawn(enemy, file)) v -= p[kBackwardOpenFile];
            const uint32_t attackers =
                position.attacks[square] & position.officerMask & kHalf[enemy] & ~c.e.ignoreMask;
            v -= p[kBackwardAttacked + Capped(Bits(attackers), kMaxAttackedOfficers)];
        }
    }
    if (!c.EnemyPawnAhead(side, file, rank)) {
        if (!backward) v += p[kOpenPawn + distance];
        if (!c.EnemyPawnAhead(side, file - 1, rank) && !c.EnemyPawnAhead(side, file + 1, rank)) {
            v += PassedPawn(position, c, side, slot, square);
        }
    }
    if (c.Rearmost(side, file) != rank) v -= p[kDoubled];
    if (!c.HasPawn(side, file - 1) && !c.HasPawn(side, file + 1)) v -= p[kIsolated];
    return v;
}

// Knight and bishop outposts: relative rank 4 or 5, out of reach of the enemy pawns.
template <typename Reader>
int Outpost(const Position& position, const BasicContext<Reader>& c, int side, unsigned square,
            int bonus, int supported) {
    const int file = FileOf(square), rank = RankOf(square);
    const int rel = RelativeRank(side, rank);
    if (rel < 4 || rel > 5) return 0;
    if (c.EnemyPawnAhead(side, file - 1, rank) || c.EnemyPawnAhead(side, file + 1, rank)) return 0;
    int v = c.p[bonus];
    if (position.attacks[square] & c.pawns[side]) v += c.p[supported];
    return v;
}

template <typename Reader>
int Knight(const Position& position, const BasicContext<Reader>& c, int side, unsigned square) {
    return c.p[kKnightSquares + MirrorSquare(side, square)] +
           Outpost(position, c, side, square, kKnightOutpost, kKnightOutpostSupported);
}

template <typename Reader>
int Bishop(const Position& position, const BasicContext<Reader>& c, int side, int slot,
           unsigned square) {
    const int code = position.pieces[slot].code;
    int aims = 0;  // the enemy king, queens and rooks on the bishop's lines
    for (uint64_t m = c.lines.reach[code + 6][square] & c.heavy[side ^ 1]; m != 0; m &= m - 1) {
        ++aims;
    }
    return c.p[kBishopAims + Capped(aims, kMaxBishopAims)] +
           Outpost(position, c, side, square, kBishopOutpost, kBishopOutpostSupported);
}

template <typename Reader>
int Rook(const Position& position, const BasicContext<Reader>& c, int side, int slot,
         unsigned square) {
    int v = c.p[kRookSquares + MirrorSquare(side, square)];
    const uint32_t defenders =
        position.attacks[square] & c.rooks[side] & ~c.e.ignoreMask & ~(1u << slot);
    if (defenders == 0) return v;
    v += c.p[kRookDefended];
    if (RelativeRank(side, RankOf(square)) != 6) return v;
    for (uint32_t m = defenders; m != 0; m &= m - 1) {
        const unsigned at = position.pieces[std::countr_zero(m)].square;
        if (RelativeRank(side, RankOf(at)) == 6) return v + c.p[kRooksOnSeventh];
    }
    return v;
}

template <typename Reader>
int Queen(const BasicContext<Reader>& c, int side, unsigned square) {
    if (c.stage == kStageOpening && RelativeRank(side, RankOf(square)) > 2)
        return -c.p[kEarlyQueen];
    return 0;
}

// Shelter of a king on its back rank: own pawns on the squares named for White (mirrored for
// Black), some of them only while the enemy bishop of the holes' colour is gone.
template <typename Reader>
int Shelter(const Position& position, const BasicContext<Reader>& c, int side, unsigned king) {
    const int file = FileOf(king);
    const bool shortRight = position.flags & (side == 0 ? kWhiteKingSide : kBlackKingSide);
    const int ownPawn = side == 0 ? kPawn : -kPawn;
    const int enemyBase = (side ^ 1) * 16;
    // Set-up puts White's light-squared and Black's dark-squared bishop at index 4, so for
    // either side index 5 is the enemy bishop of the colour of the g3 and c3 patterns' holes
    // and index 4 that of the f3 and b3 holes.
    const bool enemyBishop4 = position.pieceMask >> (enemyBase + kSlotBishop1) & 1;
    const bool enemyBishop5 = position.pieceMask >> (enemyBase + kSlotBishop2) & 1;
    const auto pawn = [&](unsigned whiteSquare) {
        return position.board[MirrorSquare(side, whiteSquare)] == ownPawn;
    };
    const Reader p = c.p;
    int v = 0;
    if (file >= 5 || shortRight) {
        constexpr unsigned f2 = 41, g2 = 49, h2 = 57, f3 = 42, g3 = 50, h3 = 58;
        if (pawn(f2)) v += p[kShelter];
        if (pawn(g2)) v += p[kShelter + 1];
        if (pawn(h2)) v += p[kShelter + 2];
        if (pawn(h3) && pawn(g2)) v += p[kShelter + 3];
        if (pawn(g3) && pawn(h2) && !enemyBishop5) v += p[kShelter + 4];
        if (pawn(f3) && pawn(g2) && !enemyBishop4) v += p[kShelter + 5];
    } else if (file < 3) {
        constexpr unsigned a2 = 1, b2 = 9, c2 = 17, a3 = 2, b3 = 10, c3 = 18;
        if (pawn(a2)) v += p[kShelter + 6];
        if (pawn(b2)) v += p[kShelter + 7];
        if (pawn(c2)) v += p[kShelter + 8];
        if (pawn(a3) && pawn(b2)) v += p[kShelter + 9];
        if (pawn(b3) && pawn(a2) && !enemyBishop4) v += p[kShelter + 10];
        if (pawn(c3) && pawn(b2) && !enemyBishop5) v += p[kShelter + 11];
    }
    return v;
}

template <typename Reader>
int King(const Position& position, const BasicContext<Reader>& c, int side, unsigned square) {
    const Reader p = c.p;
    const int file = FileOf(square), rel = RelativeRank(side, RankOf(square));
    const bool enemyQueen = c.queen[side ^ 1];
    int v = 0;
    if (c.stage == kStagePawnless) {
        const int own = side == 0 ? c.material : -c.material;
        if (own >= -10000) {
            const unsigned other = c.king[side ^ 1];
            const int distance = other == kNoKing
                                     ? 0
                                     : std::max(std::abs(FileOf(other) - file),
                                                std::abs(RankOf(other) - RankOf(square)));
            v -= p[kKingDistancePawnless + distance];
        } else {
            v += 10 * (p[kKingCentre + file] + p[kKingCentre + rel]);
        }
    } else if (enemyQueen) {
        if (rel > 0 && c.stage == kStageOpening) v -= p[kKingOffRankOpening + rel];
        if (rel > 0 && c.stage == kStageMiddlegame) v -= p[kKingOffRankMiddlegame + rel];
    } else {
        v += p[kKingCentre + file] + p[kKingCentre + rel];
    }
    if (c.stage == kStageOpening || c.stage == kStageMiddlegame) {
        const uint32_t castled = side == 0 ? kWhiteCastled : kBlackCastled;
        const uint32_t rights =
            side == 0 ? kWhiteKingSide | kWhiteQueenSide : kBlackKingSide | kBlackQueenSide;
        if (position.flags & castled)
            v += p[kCastled];
        else if ((position.flags & rights) == 0)
            v -= p[kCastled];
        if (enemyQueen && rel == 0) v += Shelter(position, c, side, square);
    }
    return v;
}

// The term of the piece in a slot, in White's frame.
template <typename Reader>
int PieceTerm(Position& position, const BasicContext<Reader>& c, int slot) {
    const int side = SideOfSlot(slot);
    const unsigned square = position.pieces[slot].square;
    int v;
    switch (KindOf(position.pieces[slot].code)) {
        case kPawn:
            v = Pawn(position, c, side, slot, square);
            break;
        case kKnight:
            v = Knight(position, c, side, square);
            break;
        case kBishop:
            v = Bishop(position, c, side, slot, square);
            break;
        case kRook:
            v = Rook(position, c, side, slot, square);
            break;
        case kQueen:
            v = Queen(c, side, square);
            break;
        case kKing:
            v = King(position, c, side, square);
            break;
        default:
            ErrorReport(kStable, "PieceValues: no piece?");
            return 0;
    }
    return side == 0 ? v : -v;
}

// The sum of the values of the slots in living, four slots at a time.
int LivingSum(const int32_t (&values)[kSlotCount], uint32_t living) {
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(static_cast<int>(living));
    __m128i bit = _mm_setr_epi32(1, 2, 4, 8);
    __m128i total = _mm_setzero_si128();
    for (int slot = 0; slot < kSlotCount; slot += 4) {
        const __m128i chosen = _mm_cmpeq_epi32(_mm_and_si128(mask, bit), bit);
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&values[slot]));
        total = _mm_add_epi32(total, _mm_and_si128(chosen, four));
        bit = _mm_slli_epi32(bit, 4);
    }
    total = _mm_add_epi32(total, _mm_shuffle_epi32(total, _MM_SHUFFLE(1, 0, 3, 2)));
    total = _mm_add_epi32(total, _mm_shuffle_epi32(total, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(total);
#else
    int sum = 0;
    for (uint32_t m = living; m != 0; m &= m - 1) sum += values[std::countr_zero(m)];
    return sum;
#endif
}

}  // namespace

template <typename Reader>
int PieceValues(Position& position, const BasicContext<Reader>& c, bool reuse) {
    const uint32_t dirty = reuse ? position.dirtySlots : ~0u;
    position.whitePassed &= c.pawns[0];
    position.blackPassed &= c.pawns[1];
    // Each piece's term reads no other slot's value: the dirty ones first, then the sum.
    for (uint32_t m = position.pieceMask & dirty; m != 0; m &= m - 1) {
        const int slot = std::countr_zero(m);
        c.e.slotValue[slot] = PieceTerm(position, c, slot);
    }
    position.dirtySlots = 0;
    return LivingSum(c.e.slotValue, position.pieceMask);
}

// The evaluation is compiled for both readers.
template int PieceValues(Position&, const BasicContext<PlainReader>&, bool);
template int PieceValues(Position&, const BasicContext<WatchedReader>&, bool);

}  // namespace tarvex::engine::eval
