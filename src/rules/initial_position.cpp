#include "rules/initial_position.h"

#include <span>

#include "board/attack_boards.h"
#include "rules/position_setup.h"

namespace tarvex {
namespace {

struct Placement {
    int code;
    unsigned squares[8];
    int count;
};

// White's pieces; Black's stand on the mirrored rank (square ^ 7) in both games.
constexpr Placement k2D[] = {
    {kRook, {0, 56}, 2}, {kKnight, {8, 48}, 2}, {kBishop, {16, 40}, 2},
    {kQueen, {24}, 1},   {kKing, {32}, 1},      {kPawn, {1, 9, 17, 25, 33, 41, 49, 57}, 8},
};
constexpr Placement k3D[] = {
    {kRook, {0, 24}, 2},    {kQueen, {8}, 1},
    {kKing, {16}, 1},       {kPawn, {1, 9, 17, 25, 33, 41, 49, 57}, 8},
    {kKnight, {32, 56}, 2}, {kBishop, {40, 48}, 2},
};

}  // namespace

void WriteInitialPlacement(Position& position) {
    for (int& square : position.board) square = 0;
    const bool three = Is3D(position);
    for (const Placement& placement :
         three ? std::span<const Placement>(k3D) : std::span<const Placement>(k2D)) {
        for (int i = 0; i < placement.count; ++i) {
            const unsigned square = placement.squares[i];
            position.board[square] = placement.code;
            position.board[square ^ 7] = -placement.code;
        }
    }
    if (!three) return;
    for (int board = 0; board < kBoardCount; ++board) {
        position.abPin[board] = kHomePin[board];
        position.abWhite[board] = kDefaultOwnerWhite[board];
    }
}

bool SetUpInitialPosition(Position& position, int gameKind, int rules) {
    ClearPosition(position, gameKind, rules);
    position.flags = kCastlingRights;
    WriteInitialPlacement(position);
    return BuildPosition(position);
}

}  // namespace tarvex
