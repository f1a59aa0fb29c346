#include "rules/make_move.h"

#include <cstring>
#include <initializer_list>

#include "board/attack_boards.h"
#include "board/dir_to.h"
#include "board/hash.h"
#include "core/error_report.h"
#include "rules/attack_generation.h"
#include "rules/attacks.h"
#include "rules/line_tables.h"
#include "rules/piece_ops.h"
#include "rules/promotion.h"
#include "rules/update_attacks.h"

namespace tarvex {
namespace {

struct MoveState {
    int piece = 0;  // code of the mover (0 for an attack board or a bad move)
    bool captured = false;
    int capturedCode = 0;
    int capturedSlot = -1;
    bool completeNow = false;
};

bool IsCastlingKind(MoveKind kind) {
    return kind == MoveKind::kCastleLong || kind == MoveKind::kCastleShort;
}

void PromoteOnBoard(Position& child, Move& move, int pawnSlot, bool white,
                    const MoveContext& context) {
    const int piece = GetPromotedPiece(move, context);
    PromotePiece(child, pawnSlot, white ? piece : -piece);
    child.flags |= white ? kWhitePromoted : kBlackPromoted;
}

// A board arriving at its last pin promotes the one pawn it carries on the far rank.
void PromoteByBoardMove(Position& child, Move& move, int board, const MoveContext& context) {
    const unsigned base = kBoardBase[board];
    const unsigned pin = child.abPin[board];
    if (pin == kPinQ1 || pin == kPinK1) {
        for (unsigned square : {base, base + 8}) {
            if (child.board[square] == -kPawn) {
                PromoteOnBoard(child, move, child.squareSlot[square], false, context);
                return;
            }
        }
    } else if (pin == kPinQ6 || pin == kPinK6) {
        for (unsigned square : {base + 1, base + 9}) {
            if (child.board[square] == kPawn) {
                PromoteOnBoard(child, move, child.squareSlot[square], true, context);
                return;
            }
        }
    }
}

// Moving a board changes which pawns stand one step from promotion.
void RefreshPromoMask(Position& child) {
    child.promoMask = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const PieceEntry& entry = child.pieces[slot];
        if (entry.code != 0 && IsPromotionCandidate(child, entry.code, entry.square)) {
            child.promoMask |= 1u << slot;
        }
    }
}

void DoBoardMove(Position& child, const Position& parent, Move& move, MoveState& state,
                 const MoveContext& context) {
    const int board = BoardIndexOf(move.piece);
    HashBoardPin(child, board, child.abPin[board]);
    child.abPin[board] = move.to;
    HashBoardPin(child, board, child.abPin[board]);
    AttachGeometry(child);
    const uint32_t before = child.flags & (kWhitePromoted | kBlackPromoted);
    PromoteByBoardMove(child, move, board, context);
    if ((child.flags & (kWhitePromoted | kBlackPromoted)) != before) {
        child.flags |= child.abWhite[board] != 0 ? kWhitePromoted : kBlackPromoted;
    }
    RefreshPromoMask(child);
    child.hashKey ^= parent.epSquare << 8;
    child.epSquare = 0;
    // Completed at once, after the counters: the regeneration evaluates the finished child.
    state.completeNow = true;
}

void Capture(Position& child, Move& move, MoveState& state) {
    const unsigned to = move.to;
    if (child.board[to] == 0) return;
    state.capturedCode = child.board[to];
    state.capturedSlot = child.squareSlot[to];
    RemovePiece(child, state.capturedSlot);
    state.captured = true;
    const MoveKind k = move.kind;
    if (!IsCastlingKind(k) && !IsPromotionKind(k)) move.kind = MoveKind::kCapture;
}

bool SameFileAndRank(const Position& position, unsigned a, unsigned b) {
    const Place3D pa = SquarePlace3D(position.abPin, a), pb = SquarePlace3D(position.abPin, b);
    return pa.file >= 0 && pa.file == pb.file && pa.rank == pb.rank;
}

void EnPassant(Position& child, const Position& parent, Move& move, MoveState& state) {
    const int p = state.piece;
    if ((p != kPawn && p != -kPawn) || parent.epSquare == 0 || state.captured) return;
    const bool white = p > 0;
    if (!Is3D(child)) {
        if (move.to != parent.epSquare) return;
        // An en-passant square that came with an edited or restored board may have no pawn
        // beside it; the move is then a plain one.
        const uint8_t victim = SlotOn(child, white ? move.to - 1 : move.to + 1);
        if (victim == kNoSlot || child.pieces[victim].code != -p) return;
        RemovePiece(child, victim);
        move.kind = MoveKind::kCapture;
    } else {
        // Only a pawn that changes file captures: a straight push from another level onto
        // the passed-over file and rank takes nothing.
        const int fromFile = SquarePlace3D(parent.abPin, move.from).file;
        const int toFile = SquarePlace3D(parent.abPin, move.to).file;
        if (!SameFileAndRank(parent, move.to, parent.epSquare) || fromFile == toFile) return;
        StepList behind;
        DirTo(child, move.to, white ? -1 : 1, behind);
        int victim = -1;
        for (uint32_t i = 0; i < behind.count && victim < 0; ++i) {
            if (child.board[behind.sq[i]] == -p) victim = behind.sq[i];
        }
        if (victim < 0) {
            ErrorReport(kStable, "OFFBOARD E.P. capture");
            return;
        }
        RemovePiece(child, child.squareSlot[victim]);
        move.kind = MoveKind::kEnPassant;
    }
    state.captured = true;
    state.completeNow = true;
}

void Promotion(Position& child, Move& move, MoveState& state, const MoveContext& context) {
    const int p = state.piece;
    if ((p != kPawn && p != -kPawn) || !PawnPromotesOn(child, p, move.to)) return;
    PromoteOnBoard(child, move, child.squareSlot[move.to], p > 0, context);
    state.completeNow = true;
}

// Only a pawn can take en passant; a piece promoted in a pawn slot attacks from that slot too.
unsigned EnPassantSquare2D(const Position& parent, const Move& move, int p) {
    const uint32_t pawns = parent.pieceMask & ~parent.officerMask;
    if (p == kPawn && move.to == move.from + 2 &&
        (parent.attacks[move.from + 1] & kBlackPawnSlots & pawns)) {
        return move.from + 1;
    }
    if (p == -kPawn && move.to + 2 == move.from &&
        (parent.attacks[move.from - 1] & kWhitePawnSlots & pawns)) {
        return move.from - 1;
    }
    return 0;
}

unsigned EnPassantSquare3D(const Position& child, const Position& parent, const Move& move, int p) {
    if (p != kPawn && p != -kPawn) return 0;
    const int d = p > 0 ? 1 : -1;
    if (!IsDoubleStep(parent, move.from, move.to, d) || !PawnBeside(child, move.to, -p)) return 0;
    StepList front;
    DirTo(parent, move.from, d, front);
    if (p > 0 && (front.count == 0 || front.sq[0] >= kNoSquare)) {
        ErrorReport(kUnstable, "error 2 in EP DoMove");
    }
    return front.count == 0 ? 0 : front.sq[0];
}

void SetEnPassantSquare(Position& child, const Position& parent, const Move& move, int p) {
    child.hashKey ^= parent.epSquare << 8;
    child.epSquare = Is3D(child) ? EnPassantSquare3D(child, parent, move, p)
                                 : EnPassantSquare2D(parent, move, p);
    child.hashKey ^= child.epSquare << 8;
}

struct CastlingGeometry {
    unsigned whiteKing, blackKing;
    unsigned whiteShort, whiteLong, blackShort, blackLong;                  // king destinations
    unsigned whiteShortRook, whiteLongRook, blackShortRook, blackLongRook;  // rook homes
};

constexpr CastlingGeometry kCastling2D = {32, 39, 48, 16, 55, 23, 56, 0, 63, 7};
constexpr CastlingGeometry kCastling3D = {16, 23, 24, 8, 31, 15, 24, 0, 31, 7};

void CastlingRook(Position& child, const Move& move, MoveState& state) {
    const int p = state.piece;
    const unsigned from = move.from, to = move.to;
    if (!Is3D(child)) {
        if (to == from + 16)
            MovePiece(child, SlotOn(child, from + 24), from + 8);
        else if (to + 16 == from)
            MovePiece(child, SlotOn(child, from - 32), from - 8);
        else
            return;
        state.completeNow = true;
        return;
    }
    const bool white = p > 0;
    if (move.kind == MoveKind::kCastleShort && to == (white ? 24u : 31u)) {
        if (state.captured)
            AddPiece(child, state.capturedCode, white ? 16 : 23, state.capturedSlot);
        state.completeNow = true;
    } else if (move.kind == MoveKind::kCastleLong && to == (white ? 8u : 15u)) {
        const unsigned rookHome = white ? 0 : 7;
        if (child.board[rookHome] == 0) {
            ErrorReport(kStable, white ? "w" : "b");
        } else {
            MovePiece(child, child.squareSlot[rookHome], white ? 16 : 23);
        }
        state.completeNow = true;
    }
}

void UpdateRights(Position& child, const Position& parent, const Move& move, MoveState& state) {
    const CastlingGeometry& g = Is3D(child) ? kCastling3D : kCastling2D;
    const int p = state.piece;
    child.hashKey ^= (child.flags & kCastlingRights) << 16;
    if (p == kKing || p == -kKing) CastlingRook(child, move, state);
    if (p == kKing && (child.flags & (kWhiteKingSide | kWhiteQueenSide))) {
        if (move.from == g.whiteKing && (move.to == g.whiteShort || move.to == g.whiteLong)) {
            child.flags |= kWhiteCastled;
        }
        child.flags &= ~(kWhiteKingSide | kWhiteQueenSide);
    }
    if (p == -kKing && (child.flags & (kBlackKingSide | kBlackQueenSide))) {
        if (move.from == g.blackKing && (move.to == g.blackShort || move.to == g.blackLong)) {
            child.flags |= kBlackCastled;
        }
        child.flags &= ~(kBlackKingSide | kBlackQueenSide);
    }
    struct RookHome {
        unsigned square;
        int code;
        uint32_t right;
    };
    const RookHome homes[4] = {{g.whiteLongRook, kRook, kWhiteQueenSide},
                               {g.whiteShortRook, kRook, kWhiteKingSide},
                               {g.blackLongRook, -kRook, kBlackQueenSide},
                               {g.blackShortRook, -kRook, kBlackKingSide}};
    for (const RookHome& home : homes) {
        if (p == home.code && move.from == home.square) child.flags &= ~home.right;
    }
    if (state.captured) {
        for (const RookHome& home : homes) {
            if (move.to == home.square && (child.flags & home.right)) {
                child.flags &= ~home.right;
                break;
            }
        }
    }
    child.hashKey ^= (child.flags & kCastlingRights) << 16;
    if ((child.flags & kCastlingRights) != (parent.flags & kCastlingRights))
        state.completeNow = true;
}

void PieceMove(Position& child, const Position& parent, Move& move, MoveState& state,
               const MoveContext& context) {
    const unsigned from = move.from;
    const uint8_t slot = SlotOn(child, from);
    if (OffBoard(from) || OffBoard(move.to) || child.board[from] == 0 || slot == kNoSlot) {
        ErrorReport(kUnstable, "bad piece @ DoMove");
        return;
    }
    state.piece = child.board[from];
    Capture(child, move, state);
    MovePiece(child, slot, move.to);
    EnPassant(child, parent, move, state);
    Promotion(child, move, state, context);
    SetEnPassantSquare(child, parent, move, state.piece);
    if (child.flags & kCastlingRights) UpdateRights(child, parent, move, state);
}

void Counters(Position& child, const Position& parent, const Position* link, MoveState& state,
              const MoveContext& context) {
    const int p = state.piece;
    child.quietPlies = (state.captured || p == kPawn || p == -kPawn) ? 1 : parent.quietPlies + 1;
    child.ply = parent.ply + 1;
    child.winner = parent.winner;
    child.parent = link;
    if (link == nullptr) state.completeNow = true;
    child.hashKey ^= 1;
    if (context.history != nullptr) {
        context.history->keys[parent.ply] = parent.hashKey;
        context.history->keys[child.ply] = child.hashKey;
    }
}

// The body of DoMove: child holds the parent's primary part; link is the parent to remember.
bool MakeChild(Position& child, const Position& parent, const Position* link, Move& move,
               const MoveContext& context) {
    child.lastMove = move;
    child.flags = parent.flags & kChildFlagsMask;
    if (parent.flags & kInCheck) child.flags |= kMovedOutOfCheck;
    // The en-passant square stays the parent's (the one the hash key carries) until the move
    // sets it; a refused "bad piece" move leaves it so.
    child.epSquare = parent.epSquare;

    MoveState state;
    const bool boardMove = IsBoardMove(move);
    if (boardMove) {
        DoBoardMove(child, parent, move, state, context);
    } else {
        PieceMove(child, parent, move, state, context);
    }
    Counters(child, parent, link, state, context);
    if (!state.completeNow) {
        child.flags |= kAttacksPending;
        return true;
    }
    child.flags &= ~kAttacksPending;
    RegenerateAttacks(child, context.evaluator);
    const bool moverWhite =
        boardMove ? child.abWhite[BoardIndexOf(move.piece)] != 0 : state.piece >= 1;
    return CheckBookkeeping(child, move, moverWhite);
}

}  // namespace

bool PlyLimitReached(const Position& position) {
    return position.ply + 1 >= kKeyHistorySize;
}

bool PawnPromotesOn3D(const Position& position, int code, unsigned square) {
    const bool white = code > 0;
    if (IsAttackBoardSquare(square)) {
        const int board = AttackBoardOfSquare(square);
        const unsigned offset = square - kBoardBase[board];
        const unsigned pin = position.abPin[board];
        if (white) return (offset == 1 || offset == 9) && (pin == kPinQ6 || pin == kPinK6);
        return (offset == 0 || offset == 8) && (pin == kPinQ1 || pin == kPinK1);
    }
    StepList step;
    return DirTo(position, square, white ? 1 : -1, step) == 0;
}

bool DoMove(Position& child, const Position& parentIn, Move& move, const MoveContext& context) {
    if (PlyLimitReached(parentIn)) {
        ErrorReport(kStable, "game record full @ DoMove");
        return false;
    }
    const bool inPlace = &child == &parentIn;
    if (inPlace) {
        // A move made in place works from a copy of the parent; the child then has no parent.
        const Position parent = parentIn;
        return MakeChild(child, parent, nullptr, move, context);
    }
    std::memcpy(static_cast<void*>(&child), &parentIn, kPrimaryPartSize);
    return MakeChild(child, parentIn, &parentIn, move, context);
}

bool FinishMove(Position& child, Move& move, const MoveContext& context) {
    if ((child.flags & kAttacksPending) == 0) return true;
    child.flags &= ~kAttacksPending;
    if (child.parent != nullptr)
        UpdateAttacks(child, *child.parent, child.lastMove, context.evaluator);
    if (Is3D(child) || child.parent == nullptr) RegenerateAttacks(child, context.evaluator);
    const bool moverWhite = (child.ply & 1) != 0;
    return CheckBookkeeping(child, move, moverWhite);
}

bool MakeMove(Position& child, const Position& parent, Move& move, const MoveContext& context) {
    if (!DoMove(child, parent, move, context)) return false;
    return FinishMove(child, move, context);
}

}  // namespace tarvex
