// Small helpers for the make-move tests: positions built from a short list of pieces, square
// names, and the squares a slot attacks or x-rays.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "board/attack_boards.h"
#include "board/position.h"
#include "core/console.h"
#include "moves/position_setup.h"

namespace tarvex {

// A square as a 2D name ("e4": a1 = 0, a8 = 7, h1 = 56) or as an index ("35").
constexpr unsigned Sq(std::string_view name) {
    if (name[0] >= 'a') return static_cast<unsigned>(name[0] - 'a') * 8 + (name[1] - '1');
    unsigned index = 0;
    for (char digit : name) index = index * 10 + static_cast<unsigned>(digit - '0');
    return index;
}

// Squares from a list of names: "a2 b3 c4".
inline std::vector<unsigned> Sqs(std::string_view names) {
    std::vector<unsigned> squares;
    std::istringstream in{std::string(names)};
    for (std::string name; in >> name;) squares.push_back(Sq(name));
    return squares;
}

struct Setup {
    uint32_t flags = 0;  // castling rights; BuildPosition drops those that cannot hold
    uint32_t ply = 0;    // odd: Black to move
    uint32_t epSquare = 0;
    uint32_t pins[4] = {kHomePin[0], kHomePin[1], kHomePin[2], kHomePin[3]};  // 3D only
};

// Builds a Position of the current game kind holding exactly these pieces, each a letter of
// "PNBRQK" (upper case White) and a square: "Ke1 Ra1 ke8" or "K58 p43". False when the build
// fails. Any "\nBuilding" notice of a new attack-board placement is swallowed.
inline bool BuildFrom(Position& position, std::string_view pieces, const Setup& setup = {}) {
    ConsoleCapture quiet;
    ClearPosition(position);
    std::istringstream in{std::string(pieces)};
    for (std::string piece; in >> piece;) {
        const bool white = piece[0] < 'a';
        const auto kind = std::string_view("PNBRQK").find(white ? piece[0] : piece[0] - 'a' + 'A');
        const int code = static_cast<int>(kind) + 1;
        position.board[Sq(std::string_view(piece).substr(1))] = white ? code : -code;
    }
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
