// Positions for the game-layer tests, built from a list of pieces.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "board/attack_boards.h"
#include "board/position.h"
#include "core/console.h"
#include "moves/initial_position.h"
#include "moves/position_setup.h"

namespace tarvex {

struct Placed {
    unsigned square;
    int code;
};

// A built position with these pieces (kings included by the caller); 3D boards at home.
inline Position Build(std::initializer_list<Placed> pieces, unsigned ply = 0, uint32_t rights = 0,
                      unsigned epSquare = 0) {
    Position p{};
    for (int board = 0; board < kBoardCount; ++board) {
        p.abPin[board] = kHomePin[board];
        p.abWhite[board] = kDefaultOwnerWhite[board];
    }
    for (const Placed& piece : pieces) p.board[piece.square] = piece.code;
    p.ply = ply;
    p.flags = rights;
    p.epSquare = epSquare;
    ConsoleCapture quiet;
    EXPECT_EQ(BuildPosition(p), 1);
    return p;
}

inline Position Initial() {
    Position p;
    ConsoleCapture quiet;
    EXPECT_EQ(SetUpInitialPosition(p), 1);
    return p;
}

}  // namespace tarvex
