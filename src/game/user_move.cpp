#include "game/user_move.h"

#include "board/attack_boards.h"
#include "board/geometry.h"
#include "core/error_report.h"

namespace tarvex {
namespace {

MoveKind CastlingKind(const Position& p, int piece, unsigned to) {
    const uint32_t rights = p.flags;
    if (OffBoard(to)) return MoveKind::kNone;
    if (!Is3D(p)) {
        if (piece == kKing && to == 48 && (rights & kWhiteKingSide)) return MoveKind::kCastleShort;
        if (piece == kKing && to == 16 && (rights & kWhiteQueenSide)) return MoveKind::kCastleLong;
        if (piece == -kKing && to == 55 && (rights & kBlackKingSide)) return MoveKind::kCastleShort;
        if (piece == -kKing && to == 23 && (rights & kBlackQueenSide)) return MoveKind::kCastleLong;
        return MoveKind::kNone;
    }
    if (piece == kKing && p.board[to] == kRook && (rights & kWhiteKingSide))
        return MoveKind::kCastleShort;
    if (piece == kKing && to == 8 && (rights & kWhiteQueenSide)) return MoveKind::kCastleLong;
    if (piece == -kKing && p.board[to] == -kRook && (rights & kBlackKingSide))
        return MoveKind::kCastleShort;
    if (piece == -kKing && to == 15 && (rights & kBlackQueenSide)) return MoveKind::kCastleLong;
    return MoveKind::kNone;
}

}  // namespace

Move BuildUserMove(const Position& position, unsigned from, unsigned to) {
    const int piece = OffBoard(from) ? 0 : position.board[from];
    if (piece == 0) ErrorReport(kStable, "not selecting?");
    const bool occupied = !OffBoard(to) && position.board[to] != 0;
    MoveKind kind = occupied ? MoveKind::kCapture : MoveKind::kQuiet;
    if (const MoveKind castling = CastlingKind(position, piece, to); castling != MoveKind::kNone)
        kind = castling;
    return MakeMoveRecord(piece, from, to, kind);
}

Move BuildBoardMove(const Position& position, int boardId, unsigned toPin) {
    const int board = BoardIndexOf(boardId);
    const unsigned from = board < 0 ? kNoSquare : position.abPin[board];
    return MakeMoveRecord(boardId, from, toPin, MoveKind::kBoardMove);
}

}  // namespace tarvex
