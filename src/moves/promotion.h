// The promotion piece of a promoting move. A kind of 'N', 'B' or 'R' names the piece. Otherwise
// a user's move asks the user (through the installed chooser; a queen while none is installed)
// and an engine's move becomes a queen. The move's kind is rewritten to the piece's letter.
#pragma once

#include "board/move.h"
#include "platform/promotion_choice.h"

namespace tarvex {

// Returns the piece kind (2 knight, 3 bishop, 4 rook, 5 queen).
int GetPromotedPiece(Move& move);

// Installs the chooser that answers a user's promotion (nullptr: always a queen).
void SetPromotionChoice(platform::PromotionChoice* choice);

// Marks the moves made on this thread while it lives as the user's own (or, with false, as not
// the user's: a trial move made only to test legality asks nothing).
class UserMoveScope {
public:
    explicit UserMoveScope(bool user = true);
    ~UserMoveScope();
    UserMoveScope(const UserMoveScope&) = delete;
    UserMoveScope& operator=(const UserMoveScope&) = delete;

private:
    bool previous_;
};

}  // namespace tarvex
