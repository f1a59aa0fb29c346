// The game block: everything that describes the game being played, owned by the game
// controller (the only writer). A new game clears it.
#pragma once

#include <cstdint>

#include "board/move.h"
#include "board/position.h"
#include "rules/repetition.h"

namespace tarvex {

inline constexpr unsigned kGameRecordSize = 1000;
inline constexpr int kCapturedCapacity = 39;

// Pieces taken during the game, in the order of capture, and the four counters the display
// reads (captured White men, Black men, White pawns, Black pawns).
struct CapturedList {
    int8_t codes[kCapturedCapacity];
    uint8_t count;
    int32_t whiteMen, blackMen, whitePawns, blackPawns;
};

struct GameBlock {
    Position current;              // the position on the board
    Position start;                // the edited start position, valid when startEdited
    int32_t startEdited;           // 1 when the game starts from an edited position
    Move record[kGameRecordSize];  // entry i: the move made from the position of ply i
    KeyHistory keyHistory;         // entry i: hashKey of the position of ply i
    int32_t playsBoth;             // 1: the engine plays whichever side is to move
    int32_t engineScore;           // the engine's last score, White's point of view (saved)
    CapturedList captured;
};

}  // namespace tarvex
