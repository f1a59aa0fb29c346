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

#include "board/geometry.h"
#include "board/position.h"

namespace tarvex {

inline constexpr int kDirectionCount = 16;
inline constexpr int kMaxStepSquares = 4;
// Table slots 0..15 of the sixteen directions; slot k + 8 is the reverse of slot k.
inline constexpr int kDirections[kDirectionCount] = {1,  10,  9,  17,  8,  15,  7,  6,
                                                     -1, -10, -9, -17, -8, -15, -7, -6};

// The largest step of the sixteen (a knight's jump across two files).
inline constexpr int kLongestStep = 17;

// Slot of each direction -17..17 (index direction + 17), -1 for none of the sixteen.
inline constexpr auto kDirectionSlots = [] {
    struct {
        int8_t slot[2 * kLongestStep + 1];
    } table{};
    for (int8_t& slot : table.slot) slot = -1;
    for (int slot = 0; slot < kDirectionCount; ++slot) {
        table.slot[kDirections[slot] + kLongestStep] = static_cast<int8_t>(slot);
    }
    return table;
}();

// Slot 0..15 of a direction, or -1 when it is none of the sixteen.
constexpr int DirectionSlot(int direction) {
    if (direction < -kLongestStep || direction > kLongestStep) return -1;
    return kDirectionSlots.slot[direction + kLongestStep];
}

// The 2D game's steps: to[slot][square] is the square one step away, kNoSquare off the board.
struct Steps2D {
    uint8_t to[kDirectionCount][64];
};
inline constexpr Steps2D kSteps2D = [] {
    Steps2D table{};
    for (int slot = 0; slot < kDirectionCount; ++slot) {
        // direction = 8 x file change + rank change, the rank change within -2..2
        const int fileDelta = (kDirections[slot] + 4 + 64) / 8 - 8;
        const int rankDelta = kDirections[slot] - 8 * fileDelta;
        for (int square = 0; square < 64; ++square) {
            const int f = (square >> 3) + fileDelta, r = (square & 7) + rankDelta;
            const bool inside = f >= 0 && f < 8 && r >= 0 && r < 8;
            table.to[slot][square] = static_cast<uint8_t>(inside ? f * 8 + r : kNoSquare);
        }
    }
    return table;
}();

// The pieces that only step, and their directions: pawns capture diagonally forward.
enum StepKind { kWhitePawnSteps, kBlackPawnSteps, kKnightSteps, kKingSteps, kStepKinds };
struct StepSet {
    int count;
    int directions[8];
};
inline constexpr StepSet kStepSets[kStepKinds] = {
    {2, {-7, 9}},
    {2, {-9, 7}},
    {8, {10, 6, 17, 15, -10, -6, -17, -15}},
    {8, {1, 9, 8, 7, -1, -9, -8, -7}},
};

// The 2D game's step targets: bit t of targets[kind][square] when t is one step away.
struct StepTargets2D {
    uint64_t targets[kStepKinds][64];
};
inline constexpr StepTargets2D kStepTargets2D = [] {
    StepTargets2D table{};
    for (int kind = 0; kind < kStepKinds; ++kind) {
        for (int square = 0; square < 64; ++square) {
            for (int i = 0; i < kStepSets[kind].count; ++i) {
                const unsigned to =
                    kSteps2D.to[DirectionSlot(kStepSets[kind].directions[i])][square];
                if (to < kBoardSquares) table.targets[kind][square] |= uint64_t{1} << to;
            }
        }
    }
    return table;
}();

// A destination list: count 0..4 and the squares; sq[0] is 65 when the list is empty.
struct StepList {
    uint32_t count;
    uint8_t sq[kMaxStepSquares];
};

// The 3D direction table of one attack-board placement. Entry [slot][square] holds up to four
// squares, unused entries 255; counts holds each list's length and levels each square's level
// (0 for a square of a board at no pin). stepTargets holds, for the pieces that only step, the
// union of their step lists from each square (bit t: square t), in the order of StepKind.
// Immutable once built; never freed while the program runs.
struct DirTable {
    uint32_t key;
    uint8_t lists[kDirectionCount][64][kMaxStepSquares];
    uint8_t counts[kDirectionCount][64];
    uint8_t levels[64];
    uint64_t stepTargets[kStepKinds][64];
};

// (pin of 100 << 24) + (pin of 106 << 16) + (pin of 116 << 8) + pin of 122.
inline uint32_t ConfigurationKey(const uint32_t pins[4]) {
    return (pins[0] << 24) + (pins[1] << 16) + (pins[2] << 8) + pins[3];
}

// The table of a placement, built on first use (announced with "\nBuilding <name> #<count>").
// Safe to call from several threads.
const DirTable& DirTableFor(const uint32_t pins[4]);

// The position's own table when it is attached and fits its placement, else the cached one.
inline const DirTable& DirTableOf(const Position& position) {
    const DirTable* table = position.dirTable;
    if (table == nullptr || table->key != ConfigurationKey(position.abPin)) [[unlikely]] {
        table = &DirTableFor(position.abPin);
    }
    return *table;
}

// Fills out with the squares one step from square in the direction of table slot directionSlot
// (0..15); returns the count.
inline int DirTo3DSlot(const DirTable& table, unsigned square, int directionSlot, StepList& out) {
    const uint8_t* list = table.lists[directionSlot][square];
    const int count = table.counts[directionSlot][square];
    for (int i = 0; i < kMaxStepSquares; ++i) {
        out.sq[i] = i < count ? list[i] : static_cast<uint8_t>(kNoSquare);
    }
    out.count = static_cast<uint32_t>(count);
    return count;
}

// Reports a direction that is none of the sixteen; gives the slot to use instead.
int UnknownDirection(bool game3D, int direction);

// Fills out with the squares one step from square in direction; returns the count.
inline int DirTo(const Position& position, unsigned square, int direction, StepList& out) {
    if (OffBoard(square)) {
        out.count = 0;
        for (uint8_t& sq : out.sq) sq = static_cast<uint8_t>(kNoSquare);
        return 0;
    }
    int slot = DirectionSlot(direction);
    if (!Is3D(position)) {
        for (uint8_t& sq : out.sq) sq = static_cast<uint8_t>(kNoSquare);
        out.count = 0;
        if (slot < 0) [[unlikely]]
            return UnknownDirection(false, direction);
        const uint8_t to = kSteps2D.to[slot][square];
        if (to >= kBoardSquares) return 0;
        out.sq[0] = to;
        out.count = 1;
        return 1;
    }
    const DirTable& table = DirTableOf(position);
    if (slot < 0) [[unlikely]]
        slot = UnknownDirection(true, direction);
    return DirTo3DSlot(table, square, slot, out);
}

// Builds a table for a placement without caching or announcing it (measurements and tests).
void BuildDirTable(const uint32_t pins[4], DirTable& table);

// Starts announcing tables afresh: the next lookup of each placement prints its build message
// again, counting from 1. The tables themselves stay (positions may still point at them).
void ResetDirTableAnnouncements();

// Number of 3D tables built so far in this process, and the memory they hold.
size_t DirTablesBuilt();
size_t DirTableMemory();

}  // namespace tarvex
