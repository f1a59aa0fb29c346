// The marks the display puts on squares around the selected piece, one byte a square (the save
// file keeps them as they are).
#pragma once

#include <cstdint>

namespace tarvex {

enum Highlight : uint8_t {
    kHighlightEmpty = 0,     // the selected piece moves to an empty square
    kHighlightAttacked = 1,  // Team spread: an empty square the side to move attacks
    kNoHighlight = 65,       // "A": no mark; every byte up to kLastNoHighlight means the same
    kLastNoHighlight = 127,
    kHighlightOccupied = 255,  // a capture, or an enemy piece attacked
};

// A byte the display gives a meaning.
constexpr bool IsHighlightByte(uint8_t h) {
    return h == kHighlightEmpty || h == kHighlightAttacked || h == kHighlightOccupied ||
           (h >= kNoHighlight && h <= kLastNoHighlight);
}

}  // namespace tarvex
