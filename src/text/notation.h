// Move notation: the text of a move in the three notations (its square names come from
// text/square_names.h), and the texts of every move of a position with the prefixes that tell
// apart two moves of the same piece type to the same square. The notation (kNotationTournament,
// kNotationStandard or kNotationAlgebraic) is the caller's; it only matters in the 3D game. Nothing
// here remembers a call: the texts go back to the caller.
#pragma once

#include <cstddef>

#include "board/move.h"
#include "board/position.h"
#include "movegen/move_generation.h"
#include "text/square_names.h"

namespace tarvex {

inline constexpr size_t kMoveTextSize = 32;  // room for the longest text, never cut
inline constexpr int kMaxTextMoves = kMaxMoves;

// Writes the text of a move made from position, with prefix telling it apart from another
// move of the same piece type to the same square.
void MoveText(const Position& position, const Move& move, const char* prefix, int notation,
              char out[kMoveTextSize]);

// The moves of a position with their texts.
struct MoveTextList {
    int count = 0;
    Move moves[kMaxTextMoves];
    char texts[kMaxTextMoves][kMoveTextSize];
};

// Generates the moves of position (the evasions when in check) without duplicates and writes
// each move's text into list. Returns the number of moves.
int GenerateMoveTexts(const Position& position, int notation, MoveTextList& list);

// Text of the first move of list with the same to, from and piece, or "reselect".
const char* FindMoveText(const MoveTextList& list, const Move& move);

// The text of a move as made from position, whose texts list holds: for a promotion, the text
// naming the piece the pawn became, and a "+" when the made move gives check (made.givesCheck);
// "reselect" for a move the list does not hold.
void MadeMoveText(const Position& position, const MoveTextList& list, const Move& made,
                  int notation, char out[kMoveTextSize]);

}  // namespace tarvex
