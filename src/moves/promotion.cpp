#include "moves/promotion.h"

#include <atomic>

#include "board/position.h"
#include "core/error_report.h"

namespace tarvex {
namespace {

std::atomic<platform::PromotionChoice*> gChoice{nullptr};
thread_local bool tUserMoving = false;

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

int AskUser() {
    platform::PromotionChoice* choice = gChoice.load();
    const int piece = choice == nullptr ? kQueen : choice->Choose();
    return piece == kKnight || piece == kBishop || piece == kRook ? piece : kQueen;
}

}  // namespace

int GetPromotedPiece(Move& move) {
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
    if (tUserMoving) {
        if (undecided) {
            piece = AskUser();
        } else if (kind != 'Q') {
            ErrorReport(kStable, "GetPromotedPiece: cannot interpret move");
        }
        move.kind = LetterOf(piece);
        return piece;
    }
    if (undecided || kind == 'P') move.kind = 'Q';
    return kQueen;
}

void SetPromotionChoice(platform::PromotionChoice* choice) {
    gChoice.store(choice);
}

UserMoveScope::UserMoveScope(bool user) : previous_(tUserMoving) {
    tUserMoving = user;
}
UserMoveScope::~UserMoveScope() {
    tUserMoving = previous_;
}

}  // namespace tarvex
