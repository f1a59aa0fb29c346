// What a restore may take from a decoded save file. Every byte of a file is untrusted: each
// field is checked against the values the program gives it, and the recorded moves are played
// from the start position through the legality gate, before the restore changes anything.
#pragma once

#include <string>

#include "board/position.h"
#include "game/save_layout.h"

namespace tarvex {

// The highest ply a game reaches: the key history holds one more entry.
inline constexpr unsigned kMaxGamePly = kKeyHistorySize - 1;

// The view settings a file may hold: a scale the zoom keys reach in practice, angles as the
// view keeps them.
inline constexpr float kMinSavedScale = 1e-4f;
inline constexpr float kMaxSavedScale = 1e4f;
inline constexpr int kMaxTableMegabytes = 4096;

// Checks every field of image that a restore reads. Returns "" when all hold, else what is
// wrong, mostly as "<field> <value> out of range" ("current position: ply 1200 out of range").
std::string CheckSaveImage(const SaveImage& image);

// Plays the recorded moves of a checked image from its start position to its current ply,
// each through the legality gate, the way the game's rebuild will play them. Each recorded kind
// becomes the kind of the legal move (the board, not the file, says whether a move captures,
// castles or takes en passant). Returns "" when every move is legal, else what is wrong.
std::string ReplaySaveImage(SaveImage& image);

// The start position a restore takes from the image: for an edited start the fields that
// building a position reads (board, piece list, castling rights and castled bits, en-passant
// square, counters, ply, stage, attack-board pins and owners), nothing else taken, and the
// position built from them as board editing builds it (the in-check bit found afresh); for a
// standard start a cleared position, as the set-up leaves it. Returns 0 when an edited start cannot
// be built (a king missing, too many pieces).
int RestoredStartPosition(const SaveImage& image, Position& out);

}  // namespace tarvex
