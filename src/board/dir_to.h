// DirTo: the one step primitive of both games.
//
// A direction is the change of the 2D-style index (file * 8 + rank) that a step makes: +1 one
// rank up, +8 one file right, +9/+7/-7/-9 the diagonals and the eight knight jumps. In the 2D
// game a step has at most one destination. In the 3D game a step reaches every square at the
// next file and rank, on any level, so it has up to four destinations; those lists depend on
// where the attack boards stand and come from one immutable table per placement.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvex {

struct Position;

inline constexpr int kDirectionCount = 16;
inline constexpr int kMaxStepSquares = 4;
// Table slots 0..15 of the sixteen directions; slot k + 8 is the reverse of slot k.
inline constexpr int kDirections[kDirectionCount] = {1,  10,  9,  17,  8,  15,  7,  6,
                                                     -1, -10, -9, -17, -8, -15, -7, -6};

// Slot 0..15 of a direction, or -1 when it is none of the sixteen.
constexpr int DirectionSlot(int direction) {
    for (int slot = 0; slot < kDirectionCount; ++slot) {
        if (kDirections[slot] == direction) return slot;
    }
    return -1;
}

// A destination list: count 0..4 and the squares; sq[0] is 65 when the list is empty.
struct StepList {
    uint32_t count;
    uint8_t sq[kMaxStepSquares];
};

// Fills out with the squares one step from square in direction; returns the count.
int DirTo(const Position& position, unsigned square, int direction, StepList& out);

// The 3D direction table of one attack-board placement. Entry [slot][square] holds up to four
// squares, unused entries 255. Immutable once built; never freed while the program runs.
struct DirTable {
    uint32_t key;
    uint8_t lists[kDirectionCount][64][kMaxStepSquares];
};

// (pin of 100 << 24) + (pin of 106 << 16) + (pin of 116 << 8) + pin of 122.
uint32_t ConfigurationKey(const uint32_t pins[4]);

// The table of a placement, built on first use (announced with "\nBuilding <name> #<count>").
// Safe to call from several threads.
const DirTable& DirTableFor(const uint32_t pins[4]);

// Builds a table for a placement without caching or announcing it (measurements and tests).
void BuildDirTable(const uint32_t pins[4], DirTable& table);

// Starts announcing tables afresh: the next lookup of each placement prints its build message
// again, counting from 1. The tables themselves stay (positions may still point at them).
void ResetDirTableAnnouncements();

// Number of 3D tables built so far in this process, and the memory they hold.
size_t DirTablesBuilt();
size_t DirTableMemory();

}  // namespace tarvex
