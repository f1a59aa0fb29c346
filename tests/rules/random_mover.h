// Random moves for exercising the make-move layer: the candidates are the pseudo-legal moves of
// the move generator, each classified by what it does (captures now and then written as plain
// moves, which making them must correct), and making them decides which are legal. Free of
// GoogleTest so that the benchmarks can drive the same games.
#pragma once

#include <cstdint>
#include <vector>

#include "board/move.h"
#include "board/position.h"
#include "rules/move_context.h"

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

    // Makes a random candidate that MakeMove accepts from parent into child under context,
    // preferring the rarer kinds (castling, en passant, promotions) half of the time. played
    // receives the move as made (kind and givesCheck rewritten). False when MakeMove refuses
    // every candidate; refused counts the refusals.
    bool Play(Position& child, const Position& parent, const MoveContext& context,
              Candidate& played, long& refused);

private:
    size_t Pick(bool threeD);

    uint64_t state_;
    std::vector<Move> generated_;
    std::vector<Candidate> candidates_;
};

}  // namespace tarvex
