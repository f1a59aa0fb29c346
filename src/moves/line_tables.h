// Empty-board line and reach tables.
//
// dir[a][b] is the step that leads from a towards b along a rank, file or diagonal (0 when
// none); reach[code + 6][a][b] is 1 when a piece of that code on a could move to b on an empty
// board (pawns: their two capture squares). The 2D tables never change. The 3D tables depend
// on the attack-board placement and the rules; they are immutable once built and shared
// through a small bounded cache, and each thread keeps a reference to the ones it last used,
// so the two threads never rebuild tables under each other's feet.
#pragma once

#include <cstdint>

#include "board/dir_to.h"
#include "board/position.h"

namespace tarvex {

struct LineTables {
    int8_t dir[64][64];
    uint8_t reach[13][64][64];
};

// Tables of the position's game kind, placement and the current rules.
const LineTables& LinesFor(const Position& position);

// Makes sure the tables for the position exist (builds them when missing).
void BuildLineTables(const Position& position);

// Builds tables into out without caching (measurements and tests).
void BuildLineTablesInto(const Position& position, LineTables& out);

// 1 when target is reached from start by repeated steps in direction d on an empty board.
int Reaches(const Position& position, unsigned target, unsigned start, int d);

// The plain step, or, when that is empty, the Tournament-rule step across the attack boards'
// outer files and back rows. With emptyBoard the occupancy conditions are taken as met.
int EdgeStep(const Position& position, unsigned square, int d, StepList& out,
             bool emptyBoard = false);

// a, b and c lie on one line in this order.
inline bool Collinear(const LineTables& lines, unsigned a, unsigned b, unsigned c) {
    return lines.dir[a][b] != 0 && lines.dir[a][b] == lines.dir[b][c];
}

inline bool ReachOf(const LineTables& lines, int code, unsigned from, unsigned to) {
    return lines.reach[code + 6][from][to] != 0;
}

}  // namespace tarvex
