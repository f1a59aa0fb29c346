// An independent model of the 3D board for the board tests: the file, rank and level of every
// square under a placement of the attack boards, written out from the index classes and the pin
// table, and the list of all placements. It shares no code with src/board, so that the tables
// built there can be checked against it.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace tarvex::reference {

inline constexpr int kFiles = 6;   // a..f
inline constexpr int kRanks = 10;  // 0..9
inline constexpr int kPinTotal = 12;
inline constexpr int kBoards = 4;  // attack boards 100, 106, 116, 122
inline constexpr int kPlacementCount = 12 * 11 * 10 * 9;

struct Pin {
    unsigned square;
    const char* name;  // short name
    int firstFile;     // file of the board's first column
    int lowerRank;
    int level;
};

// The twelve pins: their squares and the files, ranks and level they give a board.
inline constexpr Pin kPinTable[kPinTotal] = {
    {32, "q1", 0, 0, 3}, {35, "q2", 0, 4, 3}, {2, "q3", 0, 2, 5},  {5, "q4", 0, 6, 5},
    {36, "q5", 0, 4, 7}, {39, "q6", 0, 8, 7}, {56, "k1", 4, 0, 3}, {59, "k2", 4, 4, 3},
    {26, "k3", 4, 2, 5}, {29, "k4", 4, 6, 5}, {60, "k5", 4, 4, 7}, {63, "k6", 4, 8, 7},
};

// Lowest square of each attack board; its squares are b, b + 1 (first column) and b + 8,
// b + 9 (second column), b and b + 8 on the lower rank.
inline constexpr unsigned kBoardLowest[kBoards] = {0, 6, 16, 22};

struct Place {
    int file = -1;
    int rank = -1;
    int level = -1;
    bool operator==(const Place&) const = default;
};

// Readable test names and failure messages.
inline std::ostream& operator<<(std::ostream& out, const Pin& pin) {
    return out << pin.name;
}
inline std::ostream& operator<<(std::ostream& out, const Place& place) {
    return out << "file " << place.file << " rank " << place.rank << " level " << place.level;
}

inline const Pin* PinAt(unsigned square) {
    for (const Pin& pin : kPinTable) {
        if (pin.square == square) return &pin;
    }
    return nullptr;
}

// Board 0..3 holding square, or -1 for a main-level square.
inline int BoardHolding(unsigned square) {
    for (int board = 0; board < kBoards; ++board) {
        const unsigned b = kBoardLowest[board];
        if (square == b || square == b + 1 || square == b + 8 || square == b + 9) return board;
    }
    return -1;
}

inline bool IsMainLevel(unsigned square) {
    return square < 64 && BoardHolding(square) < 0;
}

// File, rank and level by the index classes: White level 32..63 rows 0..3, Black level rows
// 4..7, neutral level 0..31 rows 2..5, the rest from the pin of the board holding the square.
inline Place PlaceOf(const uint32_t pins[kBoards], unsigned square) {
    if (square >= 64) return {};
    const int column = static_cast<int>(square / 8);
    const int row = static_cast<int>(square % 8);
    if (square >= 32) return {column - 3, row + 1, row <= 3 ? 2 : 6};
    const int board = BoardHolding(square);
    if (board < 0) return {column + 1, row + 1, 4};
    const Pin* pin = PinAt(pins[board]);
    if (pin == nullptr) return {};
    const unsigned local = square - kBoardLowest[board];
    return {pin->firstFile + static_cast<int>(local / 8),
            pin->lowerRank + static_cast<int>(local % 8), pin->level};
}

using Placement = std::array<uint32_t, kBoards>;

// Every ordered assignment of four distinct pins to the boards 100, 106, 116, 122.
inline std::vector<Placement> AllPlacements() {
    std::vector<Placement> all;
    all.reserve(kPlacementCount);
    for (const Pin& a : kPinTable) {
        for (const Pin& b : kPinTable) {
            for (const Pin& c : kPinTable) {
                for (const Pin& d : kPinTable) {
                    const Placement p{a.square, b.square, c.square, d.square};
                    bool distinct = true;
                    for (int i = 0; i < kBoards; ++i) {
                        for (int j = i + 1; j < kBoards; ++j) distinct = distinct && p[i] != p[j];
                    }
                    if (distinct) all.push_back(p);
                }
            }
        }
    }
    return all;
}

// "q1q6k1k6" style name of a placement.
inline std::string NameOf(const Placement& placement) {
    std::string name;
    for (uint32_t pin : placement) name += PinAt(pin) != nullptr ? PinAt(pin)->name : "??";
    return name;
}

// The sixteen directions in table-slot order with their file and rank change.
struct Step {
    int direction;
    int fileChange;
    int rankChange;
};
inline constexpr Step kSteps[16] = {
    {1, 0, 1},   {10, 1, 2},   {9, 1, 1},   {17, 2, 1},    {8, 1, 0},    {15, 2, -1},
    {7, 1, -1},  {6, 1, -2},   {-1, 0, -1}, {-10, -1, -2}, {-9, -1, -1}, {-17, -2, -1},
    {-8, -1, 0}, {-15, -2, 1}, {-7, -1, 1}, {-6, -1, 2},
};

}  // namespace tarvex::reference
