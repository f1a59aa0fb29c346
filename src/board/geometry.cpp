#include "board/geometry.h"

#include "board/attack_boards.h"
#include "board/position.h"

namespace tarvex {

Place3D SquarePlace3D(const uint32_t pins[4], unsigned square) {
    if (OffBoard(square)) return {-1, -1, -1};
    const int column = static_cast<int>(Column(square));
    const int row = static_cast<int>(Row(square));
    if (square >= 32) {
        return {column - 3, row + 1, row < 4 ? kWhiteLevel : kBlackLevel};
    }
    if (row >= 2 && row <= 5) return {column + 1, row + 1, kNeutralLevel};
    const int board = AttackBoardOfSquare(square);
    const PinInfo* pin = FindPin(pins[board]);
    if (pin == nullptr) return {-1, -1, -1};
    const unsigned base = kBoardBase[board];
    const int localColumn = static_cast<int>(Column(square) - Column(base));
    const int localRow = static_cast<int>(Row(square) - Row(base));
    return {pin->firstFile + localColumn, pin->lowerRank + localRow, pin->level};
}

int SquareLevel(const Position& position, unsigned square) {
    if (!Is3D(position)) return 0;
    if (square >= 32) return Row(square) < 4 ? kWhiteLevel : kBlackLevel;
    if (IsAttackBoardSquare(square)) {
        return GetAttackBoardLevel(position, AttackBoardOfSquare(square));
    }
    return kNeutralLevel;
}

Coords SquareCoords(const Position& position, unsigned column, unsigned row) {
    const float c = static_cast<float>(column);
    const float r = static_cast<float>(row);
    if (!Is3D(position)) return {c - 4, r - 4, 0};
    if (column >= 4) return {c - 6, r - 4, row < 4 ? -2.0f : 2.0f};
    if (row >= 2 && row <= 5) return {c - 2, r - 4, 0};
    Coords coords{0, 0, 0};
    const unsigned square = column * 8 + row;
    GetAttackBoardCoords(position, column, row, AttackBoardOfSquare(square), coords);
    return coords;
}

}  // namespace tarvex
