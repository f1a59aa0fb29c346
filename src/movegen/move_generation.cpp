#include "movegen/move_generation.h"

#include <bit>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "board/geometry.h"
#include "rules/attacks.h"
#include "rules/make_move.h"
#include "rules/position_setup.h"

namespace tarvex {
namespace {

constexpr MoveKind kPromotionKinds[4] = {MoveKind::kPromoteQueen, MoveKind::kPromoteBishop,
                                         MoveKind::kPromoteRook, MoveKind::kPromoteKnight};
constexpr uint32_t kEpHashShift = 8;
constexpr uint32_t kRightsHashShift = 16;

// What differs between the two sides.
struct Side {
    bool white;
    int sign;      // +1 White, -1 Black
    uint32_t own;  // own half of a slot mask
    uint32_t enemy;
    int kingSlot;
};

Side SideToMove(const Position& position) {
    if (WhiteToMove(position)) return {true, 1, kWhiteHalf, kBlackHalf, kSlotKing};
    return {false, -1, kBlackHalf, kWhiteHalf, kBlackSlots + kSlotKing};
}

void Add(Move* out, int& count, int piece, unsigned from, unsigned to, MoveKind kind) {
    FillMove(out[count++], piece, from, to, kNoScore, kind, 0);
}

// Every destination the attack masks give. An empty square is open to officers only,
// since pawns attack diagonally and move there only to capture.
int MovesFromAttacks(const Position& position, const Side& side, Move* out) {
    int count = 0;
    for (unsigned q = 0; q < kBoardSquares; ++q) {
        const int code = position.board[q];
        if (code * side.sign > 0) continue;
        uint32_t attackers = position.attacks[q] & side.own;
        if (code == 0) attackers &= position.officerMask;
        const bool guarded = (position.attacks[q] & side.enemy) != 0;
        const MoveKind kind = code == 0 ? MoveKind::kQuiet : MoveKind::kCapture;
        while (attackers != 0) {
            const int slot = std::countr_zero(attackers);
            attackers &= attackers - 1;
            if (slot == side.kingSlot && guarded) continue;
            const PieceEntry& entry = position.pieces[slot];
            Add(out, count, entry.code, entry.square, q, kind);
        }
    }
    return count;
}

// 2D en passant: the pawns beside the passing pawn, one row behind the en-passant square.
int EnPassant2D(const Position& position, const Side& side, Move* out) {
    const unsigned ep = position.epSquare;
    const uint32_t pawnAttackers = side.white ? kWhitePawnSlots : kBlackPawnSlots;
    if ((position.attacks[ep] & pawnAttackers) == 0 || position.board[ep] != 0) return 0;
    // A capturing pawn stands one row behind ep: below it for White, above it for Black.
    if (side.white ? Row(ep) == 0 : Row(ep) == 7) return 0;
    const unsigned behind = side.white ? ep - 1 : ep + 1;
    const MoveKind kind = side.white ? MoveKind::kEnPassant : MoveKind::kEnPassantBlack;
    int count = 0;
    if (Column(ep) != 0 && position.board[behind - 8] == side.sign * kPawn) {
        Add(out, count, side.sign * kPawn, behind - 8, ep, kind);
    }
    if (Column(ep) != 7 && position.board[behind + 8] == side.sign * kPawn) {
        Add(out, count, side.sign * kPawn, behind + 8, ep, kind);
    }
    return count;
}

// 3D en passant: a pawn on either diagonal behind the en-passant square may take towards any
// empty square at its file and rank, on any level.
int EnPassant3D(const Position& position, const Side& side, Move* out) {
    const unsigned ep = position.epSquare;
    // (direction from ep back to the capturer, direction of the capture)
    const int pairs[2][2] = {{side.white ? -9 : -7, side.white ? 9 : 7},
                             {side.white ? 7 : 9, side.white ? -7 : -9}};
    const int pawn = side.sign * kPawn;
    int count = 0;
    StepList capturers, targets;
    for (const auto& pair : pairs) {
        DirTo(position, ep, pair[0], capturers);
        for (uint32_t i = 0; i < capturers.count; ++i) {
            const unsigned from = capturers.sq[i];
            if (position.board[from] != pawn) continue;
            DirTo(position, from, pair[1], targets);
            for (uint32_t j = 0; j < targets.count; ++j) {
                if (position.board[targets.sq[j]] == 0)
                    Add(out, count, pawn, from, targets.sq[j], MoveKind::kEnPassant);
            }
        }
    }
    return count;
}

bool Attacked(const Position& position, const Side& side, unsigned square) {
    return (position.attacks[square] & side.enemy) != 0;
}

void DropRight(Position& position, uint32_t right) {
    if ((position.flags & right) == 0) return;
    position.hashKey ^= (position.flags & kCastlingRights) << kRightsHashShift;
    position.flags &= ~right;
    position.hashKey ^= (position.flags & kCastlingRights) << kRightsHashShift;
}

int Castling2D(const Position& position, const Side& side, Move* out) {
    const unsigned king = side.white ? 32 : 39;  // e1 / e8; other squares follow by file
    const uint32_t shortRight = side.white ? kWhiteKingSide : kBlackKingSide;
    const uint32_t longRight = side.white ? kWhiteQueenSide : kBlackQueenSide;
    const int kingCode = side.sign * kKing, rookCode = side.sign * kRook;
    const auto empty = [&](unsigned s) { return position.board[s] == 0; };
    const auto safe = [&](unsigned s) { return !Attacked(position, side, s); };
    int count = 0;
    if (position.board[king] != kingCode) return 0;
    if ((position.flags & shortRight) && position.board[king + 24] == rookCode && empty(king + 8) &&
        empty(king + 16) && safe(king) && safe(king + 8) && safe(king + 16)) {
        Add(out, count, kingCode, king, king + 16, MoveKind::kCastleShort);
    }
    if ((position.flags & longRight) && position.board[king - 32] == rookCode && empty(king - 8) &&
        empty(king - 16) && empty(king - 24) && safe(king) && safe(king - 8) && safe(king - 16)) {
        Add(out, count, kingCode, king, king - 16, MoveKind::kCastleLong);
    }
    return count;
}

// 3D castling: short castling exchanges king and rook; long castling takes the king to the
// square beside the queen-side rook, which goes to the king's square. A right whose king or
// rook has left its square is dropped.
int Castling3D(Position& position, const Side& side, Move* out) {
    const unsigned king = side.white ? 16 : 23;
    const unsigned shortRook = side.white ? 24 : 31;
    const unsigned longRook = side.white ? 0 : 7;
    const unsigned longTarget = side.white ? 8 : 15;
    const uint32_t shortRight = side.white ? kWhiteKingSide : kBlackKingSide;
    const uint32_t longRight = side.white ? kWhiteQueenSide : kBlackQueenSide;
    const int kingCode = side.sign * kKing, rookCode = side.sign * kRook;
    const bool kingHome = position.board[king] == kingCode;
    int count = 0;
    if (position.flags & shortRight) {
        if (!kingHome || position.board[shortRook] != rookCode) {
            DropRight(position, shortRight);
        } else if (!Attacked(position, side, king) && !Attacked(position, side, shortRook)) {
            Add(out, count, kingCode, king, shortRook, MoveKind::kCastleShort);
        }
    }
    if (position.flags & longRight) {
        if (!kingHome || position.board[longRook] != rookCode) {
            DropRight(position, longRight);
        } else if (position.board[longTarget] == 0 && !Attacked(position, side, king) &&
                   !Attacked(position, side, longTarget)) {
            Add(out, count, kingCode, king, longTarget, MoveKind::kCastleLong);
        }
    }
    return count;
}

int LevelOf(const Position& position, unsigned square) {
    return Is3D(position) ? Level3D(position, square) : 0;
}

// A pawn on an attack board's start square may double-step only while its board is at home.
bool BoardAllowsDoubleStep(const Position& position, unsigned square) {
    if (!Is3D(position) || !IsAttackBoardSquare(square)) return true;
    const int board = AttackBoardOfSquare(square);
    return position.abPin[board] == kHomePin[board];
}

int AppendPromotions(const Position& position, Move* out, int count) {
    int total = count;
    for (int i = 0; i < count; ++i) {
        const Move& m = out[i];
        if (!MovePromotes(position, m.piece, m.to)) continue;
        for (MoveKind kind : kPromotionKinds) Add(out, total, m.piece, m.from, m.to, kind);
    }
    return total;
}

// The 2D pawn's single and double step, read off the step table.
int PawnPushes2D(const Position& position, int slot, Move* out) {
    const PieceEntry& pawn = position.pieces[slot];
    const int dirSlot = DirectionSlot(pawn.code > 0 ? 1 : -1);
    const unsigned single = kSteps2D.to[dirSlot][pawn.square];
    if (OffBoard(single) || position.board[single] != 0) return 0;
    int count = 0;
    Add(out, count, pawn.code, pawn.square, single, MoveKind::kQuiet);
    const unsigned startRow = pawn.code > 0 ? 1 : 6;
    if (Row(pawn.square) != startRow || !PawnMayDoubleStep(slot, pawn.square)) return count;
    const unsigned twice = kSteps2D.to[dirSlot][single];
    if (!OffBoard(twice) && position.board[twice] == 0)
        Add(out, count, pawn.code, pawn.square, twice, MoveKind::kQuiet);
    return count;
}

}  // namespace

bool IsBoardPromotion(const Position& position, int piece, unsigned destination) {
    return IsAttackBoardId(piece) && BoardMovePromotes(position, piece, destination);
}

bool IsPromotion(const Position& position, int piece, unsigned destination, const Move&) {
    return MovePromotes(position, piece, destination);
}

int AppendEnPassant(Position& position, Move* out) {
    if (position.epSquare == 0) return 0;
    if (OffBoard(position.epSquare)) {
        position.hashKey ^= position.epSquare << kEpHashShift;
        position.epSquare = 0;
        return 0;
    }
    const Side side = SideToMove(position);
    return Is3D(position) ? EnPassant3D(position, side, out) : EnPassant2D(position, side, out);
}

int AppendPawnPushes(const Position& position, int slot, Move* out) {
    const PieceEntry& pawn = position.pieces[slot];
    if (!Is3D(position) && !OffBoard(pawn.square)) return PawnPushes2D(position, slot, out);
    const int forward = pawn.code > 0 ? 1 : -1;
    StepList single;
    if (DirTo(position, pawn.square, forward, single) == 0) return 0;
    // A level with an occupied single-step square stays closed to the double step.
    bool open[kLevelCount] = {true, true, true, true, true, true, true, true};
    bool blocked = false;
    int count = 0;
    for (uint32_t i = 0; i < single.count; ++i) {
        const unsigned t = single.sq[i];
        if (position.board[t] != 0) {
            open[LevelOf(position, t)] = false;
            blocked = true;
        } else {
            Add(out, count, pawn.code, pawn.square, t, MoveKind::kQuiet);
        }
    }
    // The double step passes through an empty single-step square (count > 0); under
    // Tournament rules every one of them must be empty.
    const unsigned startRow = pawn.code > 0 ? 1 : 6;
    const bool mayDouble =
        count > 0 && Row(pawn.square) == startRow && PawnMayDoubleStep(slot, pawn.square) &&
        BoardAllowsDoubleStep(position, pawn.square) && !(blocked && TournamentRules(position));
    if (!mayDouble) return count;
    StepList twice;
    DirTo(position, single.sq[0], forward, twice);
    for (uint32_t i = 0; i < twice.count; ++i) {
        const unsigned u = twice.sq[i];
        if (position.board[u] == 0 && open[LevelOf(position, u)]) {
            Add(out, count, pawn.code, pawn.square, u, MoveKind::kQuiet);
        }
    }
    return count;
}

int GenerateMoves(Position& position, Move* out) {
    const Side side = SideToMove(position);
    int count = MovesFromAttacks(position, side, out);
    count += AppendEnPassant(position, out + count);
    count += Is3D(position) ? Castling3D(position, side, out + count)
                            : Castling2D(position, side, out + count);
    uint32_t pawns = position.pieceMask & ~position.officerMask & side.own;
    while (pawns != 0) {
        const int slot = std::countr_zero(pawns);
        pawns &= pawns - 1;
        count += AppendPawnPushes(position, slot, out + count);
    }
    if (Is3D(position)) {
        for (int id : kBoardIds) count += GenerateAttackBoardMoves(position, id, out + count);
    }
    return AppendPromotions(position, out, count);
}

}  // namespace tarvex
