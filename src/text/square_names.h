// Square names as text. The 2D game names squares "a1".."h8" (square index = file * 8 +
// rank); this is the one place that writes and reads those names. The 3D game names a square
// in the notation's two styles (Standard and Tournament) and an attack-board square's level by
// the pin its board stands at; the tool names a 3D square by its file, rank and level.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "board/geometry.h"
#include "board/position.h"

namespace tarvex {

// ---- 2D ----

// "a1" for square 0, "e4" for 35, "h8" for 63.
std::string SquareName2D(unsigned square);
// The square a 2D name gives: exactly a file letter a..h and a rank digit 1..8; else nothing.
std::optional<unsigned> ParseSquare2D(std::string_view name);
// A file letter alone (0..7 for a..h) and a rank digit alone (0..7 for 1..8), for the texts
// that name only part of a square (SAN's "Nbd7", "R1e2"); -1 for any other character.
int FileOfLetter(char letter);
int RankOfDigit(char digit);

// ---- 3D ----

// A square name of the notation: two characters and a terminator (kept in a value, never a
// shared buffer).
struct SquareText {
    char text[4];
};

// The name of a square in a notation (kNotationTournament, kNotationStandard or
// kNotationAlgebraic); in the 2D game the notation does not matter and an off-board square
// has an empty name.
SquareText SquareName(const Position& position, unsigned square, int notation);
SquareText posstr3D(const Position& position, unsigned square);     // Standard style
SquareText posstr3DRom(const Position& position, unsigned square);  // Tournament style
// Name of an attack-board square: s, the first square of its board column, the board's pin,
// the column (0 or 1) and the style (0 Standard, 1 Tournament).
void PosStrAB_L(char out[4], unsigned square, unsigned first, unsigned pin, int column, int style);

// Long ("QL1") or, with algebraic, algebraic-style ("Q1") name of the pin where the attack
// board concerned by square stands: the board owning square, or the board standing at the pin
// equal to it. The notation names an attack-board level this way. Any other square is reported
// and falls back to board 122.
const char* AttackBoardPinName(const Position& position, unsigned square, bool algebraic);

// The file letter ('a'..'f') and rank digit ('0'..'9') of a 3D place, as the tool prints it.
std::string PlaceName3D(const Place3D& place);

}  // namespace tarvex
