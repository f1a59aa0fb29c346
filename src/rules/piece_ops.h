// Piece primitives on one Position. Each keeps board, squareSlot, pieces, the slot masks, both
// hash keys and the material sums consistent; none touches attacks or xrays.
#pragma once

#include <cstdint>

#include "board/position.h"

namespace tarvex {

// Material value of a piece code's kind (index |code|), kings counted as 0.
inline constexpr int32_t kMaterialValue[7] = {0, 10000, 32000, 33000, 50000, 95000, 0};

inline int32_t MaterialOf(int code) {
    return kMaterialValue[code < 0 ? -code : code];
}
inline bool IsSliderCode(int code) {
    const int kind = code < 0 ? -code : code;
    return kind == kBishop || kind == kRook || kind == kQueen;
}

void AddPiece(Position& position, int code, unsigned square, int slot);
void RemovePiece(Position& position, int slot);
// The destination must be empty; a missing slot is reported and nothing moves.
void MovePiece(Position& position, int slot, unsigned destination);
// A new queen takes its side's queen slot when that is free; otherwise the piece changes code
// in its own slot.
void PromotePiece(Position& position, int slot, int newCode);

}  // namespace tarvex
