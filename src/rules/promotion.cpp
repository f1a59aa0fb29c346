#include "rules/promotion.h"

#include "board/position.h"
#include "core/error_report.h"

namespace tarvex {
namespace {

MoveKind KindOf(int piece) {
    switch (piece) {
        case kKnight:
            return MoveKind::kPromoteKnight;
        case kBishop:
            return MoveKind::kPromoteBishop;
        case kRook:
            return MoveKind::kPromoteRook;
        default:
            return MoveKind::kPromoteQueen;
    }
}

int AskUser(const MoveContext& context) {
    const int piece = context.chooser == nullptr ? kQueen : context.chooser->Choose();
    return piece == kKnight || piece == kBishop || piece == kRook ? piece : kQueen;
}

}  // namespace

int GetPromotedPiece(Move& move, const MoveContext& context) {
    switch (move.kind) {
        case MoveKind::kPromoteKnight:
            return kKnight;
        case MoveKind::kPromoteBishop:
            return kBishop;
        case MoveKind::kPromoteRook:
            return kRook;
        default:
            break;
    }
    const MoveKind kind = move.kind;
    const bool undecided = kind == MoveKind::kNone || kind == MoveKind::kQuiet ||
                           kind == MoveKind::kCapture || kind == MoveKind::kBoardMove;
    int piece = kQueen;
    if (context.userMove) {
        if (undecided) {
            piece = AskUser(context);
        } else if (kind != MoveKind::kPromoteQueen) {
            ErrorReport(kStable, "GetPromotedPiece: cannot interpret move");
        }
        move.kind = KindOf(piece);
        return piece;
    }
    if (undecided || kind == MoveKind::kPromotionOpen) move.kind = MoveKind::kPromoteQueen;
    return kQueen;
}

}  // namespace tarvex
