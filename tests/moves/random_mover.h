// Random moves for exercising the make-move layer without the move generator. Candidates are
// read off the attack masks (a piece to any square it attacks that holds no own piece; pawns
// only onto enemy pieces) and completed by pawn pushes, double steps, castling, en passant,
// promotions and, in the 3D game, attack-board moves, each under the rule that allows it.
// Free of GoogleTest so that the benchmarks can drive the same games.
#pragma once

#include <cstdint>
#include <vector>

#include "board/move.h"
#include "board/position.h"

namespace tarvex {

enum MoveClass {
    kPieceMove,  // read off the attack masks (pawn captures included)
    kPawnPush,
    kDoubleStep,
    kShortCastling,
    kLongCastling,
    kEnPassant,
    kPromotion,  // a pawn move to its last rank, in one of five kinds
    kBoardMove,
    kBoardPromotion,  // an attack-board move that carries a pawn to its last rank
    kMoveClassCount
};

const char* MoveClassName(int moveClass);

struct Candidate {
    Move move;
    MoveClass moveClass;
};

class RandomMover {
public:
    explicit RandomMover(uint64_t seed);

    // Uniform in [0, n); n must be positive.
    uint32_t Below(uint32_t n);

    // Every candidate of the side to move; the position's attack data must be complete.
    void Candidates(const Position& position, std::vector<Candidate>& out);

    // Makes a random candidate that MakeMove accepts from parent into child, preferring the
    // rarer kinds (castling, en passant, promotions) half of the time. played receives the
    // move as made (kind and givesCheck rewritten). False when MakeMove refuses every
    // candidate; refused counts the refusals.
    bool Play(Position& child, const Position& parent, Candidate& played, long& refused);

private:
    size_t Pick();

    uint64_t state_;
    std::vector<Candidate> candidates_;
};

}  // namespace tarvex
