// Moves as the user enters them: from a picked square to another, or an attack board to a pin.
#pragma once

#include "board/move.h"
#include "board/position.h"

namespace tarvex {

// The piece on from to the square to: a capture ('x') onto an occupied square, else '-';
// castling recognised by the king's target while the matching right is held.
Move BuildUserMove(const Position& position, unsigned from, unsigned to);

// The attack board with this identifier from its pin to the pin toPin.
Move BuildBoardMove(const Position& position, int boardId, unsigned toPin);

}  // namespace tarvex
