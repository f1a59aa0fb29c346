// Random positions for the move-generation tests: pieces scattered over the board (in the 3D
// game with the attack boards at random pins) and positions reached by random legal moves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/move.h"
#include "board/position.h"

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

// A built position of the current game kind with both kings and up to maxMen other men per
// side, pawns only where they may stand, castling rights where king and rook are at home, the
// side to move chosen at random and the side not to move not in check; the in-check bit is set
// when the side to move is attacked. False when the draw did not give such a position.
bool RandomPlacement(Random& random, int maxMen, Position& out);

// Plays up to plies random legal moves from position, calling keep on every position reached
// (the start included); stops early when a side has no move.
template <typename Keep>
void RandomGame(Random& random, Position position, int plies, Keep&& keep);

// A move as a test message shows it: "piece from-to kind".
std::string MoveName(const Move& move);

// The legal moves of the position as sorted names, taking the generator the position's
// in-check bit chooses, or GenerateMoves when ordinary is set.
std::vector<std::string> LegalMoveNames(const Position& position, bool ordinary);

}  // namespace tarvex::testing

#include "movegen/legal_moves.h"

namespace tarvex::testing {

template <typename Keep>
void RandomGame(Random& random, Position position, int plies, Keep&& keep) {
    keep(static_cast<const Position&>(position));
    for (int ply = 0; ply < plies; ++ply) {
        const std::vector<Move> moves = LegalMoves(position);
        if (moves.empty()) return;
        Move move = moves[random.Below(static_cast<uint32_t>(moves.size()))];
        Position child;
        if (MakeMove(child, position, move) == 0) return;
        position = child;
        position.parent = nullptr;
        keep(static_cast<const Position&>(position));
    }
}

}  // namespace tarvex::testing
