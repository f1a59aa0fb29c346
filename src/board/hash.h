// Hash keys: two tables of 13 x 64 words, indexed by piece code + 6 and square, filled from a
// fixed linear congruential generator so that every run gives the same keys.
//
// A position's keys are the XOR of the entries of every piece on its square; the primary key
// also carries the side to move in bit 0, the en-passant square in bits 8..15 and the castling
// rights in bits 16..19. The attack-board placement is not part of the keys.
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

// XORs the entries of (code, square) into both keys: placing and removing are the same.
inline void HashPiece(Position& position, int code, unsigned square) {
    position.hashKey ^= kHashTables.primary[code + 6][square];
    position.hashKey2 ^= kHashTables.secondary[code + 6][square];
}

// Keys recomputed from the board, side, en-passant square and castling rights.
uint32_t ComputeHashKey(const Position& position);
uint32_t ComputeHashKey2(const Position& position);

}  // namespace tarvex
