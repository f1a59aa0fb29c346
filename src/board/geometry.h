// Square geometry of both games.
//
// Both games address squares by one index 0..63, so that the board array, the piece list,
// the attack masks and the move record are the same in both. Column = index >> 3 and
// row = index & 7. Any index of 64 or more is off the board; 65 is the "no square" value
// used by every list of squares.
//
// 2D game: index = file * 8 + rank (a1 = 0, a8 = 7, h1 = 56, h8 = 63).
// 3D game: indexes 32..63 hold the White level (rows 0..3) and the Black level (rows 4..7),
// indexes 0..31 with rows 2..5 the neutral level, and the sixteen remaining indexes the
// squares of the four attack boards, whose file, rank and level follow the board's pin.
#pragma once

#include <cstdint>

namespace tarvex {

struct Position;

inline constexpr unsigned kNoSquare = 65;
inline constexpr unsigned kBoardSquares = 64;

inline constexpr bool OffBoard(unsigned square) {
    return square >= kBoardSquares;
}
inline constexpr unsigned Column(unsigned square) {
    return square >> 3;
}
inline constexpr unsigned Row(unsigned square) {
    return square & 7;
}
// Colour of a square: 0 or 1.
inline constexpr unsigned SquareParity(unsigned square) {
    return (Column(square) ^ Row(square)) & 1;
}

// Levels of the 3D game: main levels 2 (White), 4 (neutral), 6 (Black); attack boards stand
// one level above the main level whose corner holds their pin (3, 5, 7).
inline constexpr int kWhiteLevel = 2;
inline constexpr int kNeutralLevel = 4;
inline constexpr int kBlackLevel = 6;
inline constexpr int kLevelCount = 8;

// Main-level squares of the 3D game (the 48 squares that never move).
inline constexpr bool IsMainLevelSquare3D(unsigned square) {
    if (square >= 32) return square < 64;
    return Row(square) >= 2 && Row(square) <= 5;
}
inline constexpr bool IsAttackBoardSquare(unsigned square) {
    return square < 32 && !IsMainLevelSquare3D(square);
}

// File (0..5 = a..f), rank (0..9) and level (2..7) of a 3D square under the attack-board
// placement given by pins (the pin squares of boards 100, 106, 116, 122). Off-board squares
// give -1 for all three.
struct Place3D {
    int file;
    int rank;
    int level;
};
Place3D SquarePlace3D(const uint32_t pins[4], unsigned square);

// Level of a square: 0 in the 2D game; 2..7 in the 3D game.
int SquareLevel(const Position& position, unsigned square);

// Drawing coordinates of the square at (column, row), in units of one square.
struct Coords {
    float x;
    float y;
    float z;
};
Coords SquareCoords(const Position& position, unsigned column, unsigned row);

}  // namespace tarvex
