// Random positions for the move-generation tests: pieces scattered over the board (in the 3D
// game with the attack boards at random pins) and positions reached by random legal moves.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "board/move.h"
#include "board/position.h"
#include "movegen/legal_moves.h"

namespace tarvex::testing {

// A small reproducible generator (splitmix64).
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    // Uniform in [0, n); n must be positive.
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }

private:
    uint64_t state_;
};

// A built position of the game and rules with both kings and up to maxMen other men per side,
// pawns only where they may stand, no castling rights, the side to move chosen at random and
// the side not to move not in check; the in-check bit is set when the side to move is
// attacked. False when the draw did not give such a position.
bool RandomPlacement(Random& random, int game, int rules, int maxMen, Position& out);

// One of the moves at random, a pawn move pawnWeight times as likely as any other.
const Move& PickMove(Random& random, const std::vector<Move>& moves, int pawnWeight);

// Plays up to plies random legal moves from position, calling keep on every position reached
// (the start included); stops early when a side has no move.
template <typename Keep>
void RandomGame(Random& random, Position position, int plies, Keep&& keep, int pawnWeight = 1) {
    keep(std::as_const(position));
    for (int ply = 0; ply < plies; ++ply) {
        const std::vector<Move> moves = LegalMoves(position);
        if (moves.empty()) return;
        Move move = PickMove(random, moves, pawnWeight);
        Position child;
        if (!MakeMove(child, position, move)) return;
        position = child;
        position.parent = nullptr;
        keep(std::as_const(position));
    }
}

}  // namespace tarvex::testing
