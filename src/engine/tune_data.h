// Training positions for the evaluation's tuner: recorded games replayed into their quiet
// positions, each labelled with the game's result, and the line format they are stored in.
//
// A data line is "<result> <game> <position text>": the result for White (1, 0.5 or 0, or a
// win chance from 0 to 1 that an outside judge of the position gave), the game ("2d",
// "3d-tournament" or "3d-standard": the 3D text alone does not name its rules) and the
// position as text/position_text.h writes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "board/position.h"

namespace tarvex::engine {

// Plies from the start of a recorded game that give no training positions: the random
// opening moves and the first replies to them.
inline constexpr int kSkippedPlies2D = 8;
inline constexpr int kSkippedPlies3D = 10;

// The side to move is not in check and has no capture that wins material by the static
// exchange: the static evaluation is then a fair guess of the position's worth.
bool IsQuietPosition(const Position& position);

// The game word of a data line for gameKind and rules, and the reverse (false: unknown word).
std::string_view TuneGameWord(int gameKind, int rules);
bool ReadTuneGameWord(std::string_view word, int& gameKind, int& rules);

// One training position as read from a data line.
struct TunePosition {
    double result = 0;  // for White: 1, 0.5, 0, or a chance between
    Position position;
};

// The data line of a position and its game's result for White.
std::string WriteTuneLine(double result, const Position& position);
// Reads a data line into out (its position built and staged); false with error set when the
// line does not read.
bool ReadTuneLine(std::string_view line, TunePosition& out, std::string& error);

}  // namespace tarvex::engine
