// The promotion piece of a promoting move. A kind of 'N', 'B' or 'R' names the piece. Otherwise
// a user's move asks the context's chooser (a queen when there is none) and any other move
// becomes a queen. The move's kind is rewritten to the piece's letter.
#pragma once

#include "board/move.h"
#include "rules/move_context.h"

namespace tarvex {

// Returns the piece kind (2 knight, 3 bishop, 4 rook, 5 queen).
int GetPromotedPiece(Move& move, const MoveContext& context);

}  // namespace tarvex
