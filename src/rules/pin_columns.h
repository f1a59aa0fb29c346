// The two columns of pins along which the outer files of the attack boards line up under
// Tournament rules: each listed from White's end to Black's end, with the middle pair P2, P5
// (which cover the same files and ranks on levels 3 and 7) treated as one group.
#pragma once

#include <initializer_list>

#include "board/attack_boards.h"
#include "board/position.h"

namespace tarvex {

struct PinColumn {
    unsigned p1, p3, p2, p5, p4, p6;
    unsigned rearOffset;   // outer square on the board's lower rank (base + offset)
    unsigned frontOffset;  // outer square on the board's upper rank
};

inline constexpr PinColumn kQueenColumn = {kPinQ1, kPinQ3, kPinQ2, kPinQ5, kPinQ4, kPinQ6, 0, 1};
inline constexpr PinColumn kKingColumn = {kPinK1, kPinK3, kPinK2, kPinK5, kPinK4, kPinK6, 8, 9};

inline const PinColumn& ColumnOfPin(unsigned pin) {
    const PinInfo* info = FindPin(pin);
    return info != nullptr && info->side == BoardSide::kKing ? kKingColumn : kQueenColumn;
}

// Pin number 1..6 of a pin square, 0 when it is no pin.
inline int PinNumber(unsigned pin) {
    const PinInfo* info = FindPin(pin);
    return info == nullptr ? 0 : info->number;
}

// Board index standing at a pin, or -1.
inline int BoardAt(const Position& position, unsigned pin) {
    const unsigned board = BoardAtPin(position, pin);
    return board == kNoBoard ? -1 : static_cast<int>(board);
}

// The outer squares at offset of every board standing at the board's own pin are empty; at
// the middle pair P2/P5 that means both boards there.
inline bool OwnOuterEmpty(const Position& position, const PinColumn& column, int board,
                          unsigned offset) {
    const int number = PinNumber(position.abPin[board]);
    if (number != 2 && number != 5) return position.board[kBoardBase[board] + offset] == 0;
    for (unsigned pin : {column.p2, column.p5}) {
        const int at = BoardAt(position, pin);
        if (at >= 0 && position.board[kBoardBase[at] + offset] != 0) return false;
    }
    return true;
}

}  // namespace tarvex
