// Empty-board line and reach tables.
//
// dir[a][b] is the step that leads from a towards b along a rank, file or diagonal (0 when
// none); bit b of reach[code + 6][a] is set when a piece of that code on a could move to b on an
// empty board (pawns: their two capture squares). The 2D tables never change. The 3D tables
// depend on the attack-board placement and the rules: one immutable set per (placement, rules),
// built under a lock on first use and kept for the run (about 11 KB each), so that a position
// may point at its own and every thread reads them without locking.
#pragma once

#include <cstddef>
#include <cstdint>

#include "board/dir_to.h"
#include "board/position.h"

namespace tarvex {

struct LineTables {
    uint64_t key;  // game kind, rules and placement the tables describe (LineTablesKey)
    int8_t dir[64][64];
    uint64_t reach[13][64];
};

// The key of the tables a position needs.
inline uint64_t LineTablesKey(const Position& position) {
    if (!Is3D(position)) return kGame2D;
    return uint64_t{ConfigurationKey(position.abPin)} << 8 |
           static_cast<uint64_t>(position.rules & 1) << 4 | kGame3D;
}

// The tables of the key, found (or built) in the shared cache.
const LineTables& FetchLineTables(const Position& position, uint64_t key);

// Tables of the position's game kind, placement and rules: the attached ones when they fit,
// else found (or built) in the shared cache. Never writes the position. (Inline: the attached
// tables are read on every step of the attack updates.)
inline const LineTables& LinesFor(const Position& position) {
    const uint64_t key = LineTablesKey(position);
    const LineTables* attached = position.lineTables;
    if (attached != nullptr && attached->key == key) return *attached;
    return FetchLineTables(position, key);
}

// Attaches to the position the direction and line tables of its game kind, placement and rules
// (building them when they are new). Every change of those fields is followed by this.
void AttachGeometry(Position& position);

// Builds tables into out without caching (measurements and tests).
void BuildLineTablesInto(const Position& position, LineTables& out);

// True when target is reached from start by repeated steps in direction d on an empty board.
bool Reaches(const Position& position, unsigned target, unsigned start, int d);

// The plain step, or, when that is empty, the Tournament-rule step across the attack boards'
// outer files and back rows. With emptyBoard the occupancy conditions are taken as met.
int EdgeStep(const Position& position, unsigned square, int d, StepList& out,
             bool emptyBoard = false);

// a, b and c lie on one line in this order.
inline bool Collinear(const LineTables& lines, unsigned a, unsigned b, unsigned c) {
    return lines.dir[a][b] != 0 && lines.dir[a][b] == lines.dir[b][c];
}

inline bool ReachOf(const LineTables& lines, int code, unsigned from, unsigned to) {
    return (lines.reach[code + 6][from] >> to & 1) != 0;
}

}  // namespace tarvex
