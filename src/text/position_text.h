// Positions as one line of text.
//
// 2D game: standard FEN, all six fields on output, the last two (halfmove clock and move
// number) optional on input. The program counts quiet plies from 1 (a capture or pawn move
// sets the count to 1), so a halfmove clock of n is stored as quietPlies n + 1; the move
// number m with side s (0 White, 1 Black) gives ply 2 (m - 1) + s.
//
// 3D game: five or six fields, "<squares> <pins> <side> <castling> <ep> [<moved>]":
//   squares   64 characters, one per square index 0..63: '.' empty, "PNBRQK" White,
//             "pnbrqk" Black;
//   pins      the pins of boards 100, 106, 116, 122 in that order, each with its owner's
//             letter, comma-separated (start: q1w,q6b,k1w,k6b);
//   side      'w' or 'b';
//   castling  a subset of "KQkq", or '-';
//   ep        the en-passant square as an index, or '-';
//   moved     (only when there are such pawns) the squares, comma-separated, of the pawns that
//             stand on a start square but have moved there, so they have no double step.
// A 3D position read from text has ply 0 or 1 and quietPlies 0, like a freshly set-up game.
//
// Reading checks everything before it touches the output: bad text is refused with a message
// that names the problem, and the output Position is then left as it was.
#pragma once

#include <string>
#include <string_view>

#include "board/position.h"

namespace tarvex {

inline constexpr std::string_view kStartText2D =
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
inline constexpr std::string_view kStartText3D =
    "RP....prQP....pqKP....pkRP....prNP....pnBP....pbBP....pbNP....pn q1w,q6b,k1w,k6b w KQkq -";

// The highest move number accepted, so that a game read from text keeps room in its record.
inline constexpr int kMaxTextMoveNumber = 400;
inline constexpr int kMaxTextHalfmoveClock = 9999;

// The start text of a game kind (kGame2D or kGame3D).
std::string_view StartPositionText(int gameKind);

// Reads text of gameKind (and, for the 3D game, rules) into out: a complete Position of that
// game (built, attack data regenerated, the in-check bit set when the side to move is in
// check). Returns false with a one-line message in error, out untouched.
bool ReadPositionText(int gameKind, int rules, std::string_view text, Position& out,
                      std::string& error);

// The text of a position (of its own game kind).
std::string WritePositionText(const Position& position);

}  // namespace tarvex
