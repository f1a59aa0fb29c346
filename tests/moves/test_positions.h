// Small helpers for the make-move tests: positions built from a list of pieces, and the
// squares a slot attacks or x-rays.
#pragma once

#include <initializer_list>
#include <vector>

#include "board/attack_boards.h"
#include "board/position.h"
#include "core/console.h"
#include "moves/position_setup.h"

namespace tarvex {

struct Placed {
    int code;
    unsigned square;
};

struct Setup {
    uint32_t flags = 0;  // castling rights; BuildPosition drops those that cannot hold
    uint32_t ply = 0;    // odd: Black to move
    uint32_t epSquare = 0;
    uint32_t pins[4] = {kHomePin[0], kHomePin[1], kHomePin[2], kHomePin[3]};  // 3D only
};

// Builds a Position of the current game kind holding exactly these pieces; false when the
// build fails. Any "\nBuilding" notice of a new attack-board placement is swallowed.
inline bool BuildFrom(Position& position, std::initializer_list<Placed> pieces,
                      const Setup& setup = {}) {
    ConsoleCapture quiet;
    ClearPosition(position);
    for (const Placed& piece : pieces) position.board[piece.square] = piece.code;
    position.flags = setup.flags;
    position.ply = setup.ply;
    position.epSquare = setup.epSquare;
    for (int b = 0; b < kBoardCount; ++b) {
        position.abPin[b] = setup.pins[b];
        position.abWhite[b] = kDefaultOwnerWhite[b];
    }
    return BuildPosition(position) == 1;
}

inline std::vector<unsigned> SquaresWith(const uint32_t (&masks)[64], int slot) {
    std::vector<unsigned> squares;
    for (unsigned q = 0; q < 64; ++q) {
        if (masks[q] >> slot & 1) squares.push_back(q);
    }
    return squares;
}

inline std::vector<unsigned> Attacked(const Position& p, unsigned from) {
    return SquaresWith(p.attacks, p.squareSlot[from]);
}

inline std::vector<unsigned> Xrayed(const Position& p, unsigned from) {
    return SquaresWith(p.xrays, p.squareSlot[from]);
}

}  // namespace tarvex
