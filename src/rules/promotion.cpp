#include "rules/promotion.h"

#include "board/position.h"
#include "core/error_report.h"

namespace tarvex {
namespace {

char LetterOf(int piece) {
    switch (piece) {
        case kKnight:
            return 'N';
        case kBishop:
            return 'B';
        case kRook:
            return 'R';
        default:
            return 'Q';
    }
}

int AskUser(const MoveContext& context) {
    const int piece = context.chooser == nullptr ? kQueen : context.chooser->Choose();
    return piece == kKnight || piece == kBishop || piece == kRook ? piece : kQueen;
}

}  // namespace

int GetPromotedPiece(Move& move, const MoveContext& context) {
    switch (move.kind) {
        case 'N':
            return kKnight;
        case 'B':
            return kBishop;
        case 'R':
            return kRook;
        default:
            break;
    }
    const char kind = move.kind;
    const bool undecided = kind == 0 || kind == '-' || kind == 'x' || kind == 'T';
    int piece = kQueen;
    if (context.userMove) {
        if (undecided) {
            piece = AskUser(context);
        } else if (kind != 'Q') {
            ErrorReport(kStable, "GetPromotedPiece: cannot interpret move");
        }
        move.kind = LetterOf(piece);
        return piece;
    }
    if (undecided || kind == 'P') move.kind = 'Q';
    return kQueen;
}

}  // namespace tarvex
