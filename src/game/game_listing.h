// The text listing of a game: its moves in move-number form, and a diagram of the board.
#pragma once

#include <cstdio>

#include "board/position.h"
#include "game/game.h"

namespace tarvex {

// The moves of game from its first ply, to the console and, when file is not null, into the
// file as well: "\n%2d." and the text of each White move, " -" and the text of each Black
// move. A game set up at Black's move begins "\n%2d. ... -".
void PrintMoveList(const Game& game, std::FILE* file);

// The board of position as an 8 x 8 grid of square indices (file f, rank r: square 8f + r),
// rank 7 at the top: each square "|" then '*' for a black piece or a blank, then the piece's
// letter (" pNBRQK", a pawn "p" for both colours) and a blank; the 3D game shows the same grid
// of its 64 square indices.
void WriteBoardDiagram(const Position& position, std::FILE* file);

}  // namespace tarvex
