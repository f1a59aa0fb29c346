// Hash keys: two tables of 13 x 64 words, indexed by piece code + 6 and square, filled from a
// fixed linear congruential generator so that every run gives the same keys.
//
// A position's keys are the XOR of the entries of every piece on its square; the primary key
// also carries the side to move in bit 0, the en-passant square in bits 8..15 and the castling
// rights in bits 16..19. In the 3D game both keys also carry each attack board's pin, so that
// equal keys mean equal positions (the repetition rule and the engine's table rely on it).
#pragma once

#include <cstdint>

#include "board/position.h"

namespace tarvex {

inline constexpr int kHashCodes = 13;

struct HashTables {
    uint32_t primary[kHashCodes][64];  // bit 0 always clear (it holds the side to move)
    uint32_t secondary[kHashCodes][64];
};

// The generator: state = state * 214013 + 2531011 (mod 2^32), value = (state >> 16) & 0x7FFF.
struct HashGenerator {
    uint32_t state = 1;
    constexpr uint32_t Next() {
        state = state * 214013u + 2531011u;
        return (state >> 16) & 0x7FFFu;
    }
};

// Fills both tables square by square within each piece code, alternating one primary and one
// secondary entry. The row of code 0 (empty) stays zero and draws no numbers.
constexpr HashTables MakeHashTables() {
    HashTables tables{};
    HashGenerator generator;
    for (int code = 0; code < kHashCodes; ++code) {
        if (code == 6) continue;
        for (int square = 0; square < 64; ++square) {
            tables.primary[code][square] = generator.Next() & ~1u;
            tables.secondary[code][square] = generator.Next();
        }
    }
    return tables;
}

inline constexpr HashTables kHashTables = MakeHashTables();

// One pair of words per attack board and pin square, from a generator of their own so that the
// piece entries above stay as they are.
struct PinHashTables {
    uint32_t primary[4][64];  // bit 0 always clear
    uint32_t secondary[4][64];
};

constexpr PinHashTables MakePinHashTables() {
    PinHashTables tables{};
    uint64_t state = 0x9E3779B97F4A7C15u;
    for (int board = 0; board < 4; ++board) {
        for (int square = 0; square < 64; ++square) {
            // splitmix64: one 64-bit draw gives both words.
            uint64_t z = (state += 0x9E3779B97F4A7C15u);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
            z ^= z >> 31;
            tables.primary[board][square] = static_cast<uint32_t>(z) & ~1u;
            tables.secondary[board][square] = static_cast<uint32_t>(z >> 32);
        }
    }
    return tables;
}

inline constexpr PinHashTables kPinHashTables = MakePinHashTables();

// XORs the entries of (code, square) into both keys: placing and removing are the same.
inline void HashPiece(Position& position, int code, unsigned square) {
    position.hashKey ^= kHashTables.primary[code + 6][square];
    position.hashKey2 ^= kHashTables.secondary[code + 6][square];
}

// XORs the entries of attack board (index 0..3) standing at pin into both keys.
inline void HashBoardPin(Position& position, int board, unsigned pin) {
    position.hashKey ^= kPinHashTables.primary[board][pin & 63];
    position.hashKey2 ^= kPinHashTables.secondary[board][pin & 63];
}

// Keys recomputed from the board, side, en-passant square, castling rights and (3D) pins.
uint32_t ComputeHashKey(const Position& position);
uint32_t ComputeHashKey2(const Position& position);

}  // namespace tarvex
