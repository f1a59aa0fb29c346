// The four movable 2 x 2 attack boards of the 3D game: identity, pins, owners, levels,
// drawing coordinates and names.
//
// Board identifiers are 100 plus the board's lowest square index (100, 106, 116, 122); that
// is also the piece value an attack-board Move carries. Board indexes are 0..3 in the same
// order. A board stands at one of twelve pins, each a corner square of a main level.
#pragma once

#include <cstdint>

#include "board/geometry.h"
#include "board/position.h"

namespace tarvex {

inline constexpr int kBoardCount = 4;
inline constexpr int kBoardIds[kBoardCount] = {100, 106, 116, 122};
inline constexpr unsigned kBoardBase[kBoardCount] = {0, 6, 16, 22};
inline constexpr unsigned kHomePin[kBoardCount] = {32, 39, 56, 63};
inline constexpr uint32_t kDefaultOwnerWhite[kBoardCount] = {1, 0, 1, 0};
inline constexpr unsigned kNoBoard = 65;

// Pin squares.
inline constexpr unsigned kPinQ1 = 32, kPinQ2 = 35, kPinQ3 = 2, kPinQ4 = 5, kPinQ5 = 36,
                          kPinQ6 = 39;
inline constexpr unsigned kPinK1 = 56, kPinK2 = 59, kPinK3 = 26, kPinK4 = 29, kPinK5 = 60,
                          kPinK6 = 63;
inline constexpr int kPinCount = 12;

enum class BoardSide { kQueen, kKing };

struct PinInfo {
    unsigned square;        // the main-level corner that names the pin
    const char* longName;   // "QL1"
    const char* algName;    // "Q1"
    const char* shortName;  // "q1"
    BoardSide side;
    int number;        // 1..6: 1, 2 White level, 3, 4 neutral, 5, 6 Black level
    int firstFile;     // file of the board's first column (a on the queen's side, e on the king's)
    int lowerRank;     // rank of the board's lower row
    int level;         // 3, 5 or 7
    unsigned freeBit;  // bit code used to mark free pins in the display
};

// All twelve pins, queen's side q1..q6 then king's side k1..k6.
extern const PinInfo kPins[kPinCount];

// Index in kPins of the pin on each square 0..63, -1 where there is none.
inline constexpr auto kPinIndexOfSquare = [] {
    struct {
        int8_t index[64];
    } table{};
    constexpr unsigned kSquares[kPinCount] = {kPinQ1, kPinQ2, kPinQ3, kPinQ4, kPinQ5, kPinQ6,
                                              kPinK1, kPinK2, kPinK3, kPinK4, kPinK5, kPinK6};
    for (int8_t& index : table.index) index = -1;
    for (int i = 0; i < kPinCount; ++i) table.index[kSquares[i]] = static_cast<int8_t>(i);
    return table;
}();

// The pin with this square, or nullptr when the square is no pin.
inline const PinInfo* FindPin(unsigned square) {
    if (square >= 64) return nullptr;
    const int index = kPinIndexOfSquare.index[square];
    return index < 0 ? nullptr : &kPins[index];
}
inline bool IsPin(unsigned square) {
    return square < 64 && kPinIndexOfSquare.index[square] >= 0;
}

// Board index 0..3 of an identifier, or -1 when the identifier is none of the four.
int BoardIndexOf(int identifier);
inline bool IsAttackBoardId(int piece) {
    return BoardIndexOf(piece) >= 0;
}

// Board index 0..3 owning an attack-board square (IsAttackBoardSquare must hold).
inline int AttackBoardOfSquare(unsigned square) {
    const bool kingSide = Column(square) >= 2;
    const bool blackEnd = Row(square) >= 6;
    return (kingSide ? 2 : 0) + (blackEnd ? 1 : 0);
}

// Pin square of a board given by identifier; reports and gives 65 for an unknown identifier.
unsigned PinOfBoard(const Position& position, int identifier);

// Board index standing at a pin, or kNoBoard.
inline unsigned BoardAtPin(const Position& position, unsigned pin) {
    for (unsigned i = 0; i < kBoardCount; ++i) {
        if (position.abPin[i] == pin) return i;
    }
    return kNoBoard;
}

bool WhiteOwns(const Position& position, int identifier);
bool IsAttackBoardHome(const Position& position, int identifier);
int GetAttackBoardLevel(const Position& position, int boardIndex);
void GetAttackBoardCoords(const Position& position, unsigned column, unsigned row, int boardIndex,
                          Coords& out);

// Name of a pin square in the long or algebraic style; "" (with a report) for no pin.
const char* PinName(unsigned pin, bool algebraic);
// "q1" .. "k6", or "??" for a value that is no pin.
const char* ShortPinName(unsigned pin);

// The pin's bit code when square is a pin with no board on it, else 0.
unsigned FreePinBit(const Position& position, unsigned square);

// Recomputes the owners: an empty board reverts to its default owner, a board with one piece
// belongs to that piece's side, a board with two or more keeps its owner.
void ComputeBoardOwners(Position& position);

}  // namespace tarvex
