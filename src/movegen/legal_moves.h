// The legal moves of a position as a player sees them: the generated moves (the evasions when
// the side to move is in check) that the make-move operation accepts, each once. A promotion
// counts once per piece: four moves of kinds 'Q', 'B', 'R', 'N'; the generator's plain
// promoting move is not a fifth one, and a plain promoting move of the evasion list stands for
// the four. Perft counts these moves.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "board/move.h"
#include "board/position.h"
#include "movegen/move_generation.h"
#include "rules/make_move.h"

namespace tarvex {

// A fixed-capacity list of legal moves; entries past count are left uninitialised.
struct LegalMoveList {
    LegalMoveList() {}
    int count = 0;
    union {
        Move moves[kMaxMoves];
    };
};

namespace detail {

// Remembers the moves already tried, so that each legal move is counted once. Plain piece
// moves are told apart by their squares alone (one piece stands on a square); promotions and
// attack-board moves, which are few, are compared in full.
class SeenMoves {
public:
    SeenMoves() { std::memset(plain_, 0, sizeof plain_); }
    // True the first time a move is offered. (Inline: every generated move passes here.)
    bool Insert(const Move& move) {
        if (!IsBoardMove(move) && !IsPromotionKind(move.kind)) {
            uint64_t& row = plain_[move.from & 63];
            const uint64_t bit = uint64_t{1} << (move.to & 63);
            if (row & bit) return false;
            row |= bit;
            return true;
        }
        return InsertSpecial(move);
    }

private:
    bool InsertSpecial(const Move& move);

    uint64_t plain_[64];  // bit to of entry from: a plain piece move seen
    int specialCount_ = 0;
    uint32_t special_[kMaxMoves];  // promotions and board moves seen, as keys
};

// The candidates of one generated move: itself, or its four promotions.
int Candidates(const Position& position, const Move& move, Move* out);

}  // namespace detail

// Calls visit(move, child) for each legal move, with the move as the make-move operation left
// it (capture kinds, gives-check byte) and the child position it made. Returns the number of
// legal moves.
template <typename Visit>
int ForEachLegalMove(Position& position, Visit&& visit) {
    MoveBuffer buffer;
    Move* generated = buffer.moves;
    const int count = (position.flags & kInCheck) ? GenerateEvasions(position, generated)
                                                  : GenerateMoves(position, generated);
    detail::SeenMoves seen;
    Position child;
    int legal = 0;
    for (int i = 0; i < count; ++i) {
        Move candidates[4];
        const int n = detail::Candidates(position, generated[i], candidates);
        for (int j = 0; j < n; ++j) {
            Move move = candidates[j];
            if (!seen.Insert(move)) continue;
            if (!MakeMove(child, position, move)) continue;
            ++legal;
            visit(static_cast<const Move&>(move), child);
        }
    }
    return legal;
}

// The legality gate: the legal move of position with move's piece, from and to (for a
// promotion, the one of move's kind when that names a piece), as making it leaves it; nothing
// when there is none. Tries only the generated moves that match, so it is cheap.
std::optional<Move> FindLegalMove(const Position& position, const Move& move);

// The generated moves of position (the evasions when in check), each record once: a later
// record identical to an earlier one is dropped and the order kept. Works on a copy; writes
// into out (room for kMaxMoves) and returns the number.
int GenerateDistinctMoves(const Position& position, Move* out);

// Whether the side to move has any legal move.
bool HasLegalMove(const Position& position);

// Fills list with the legal moves and returns their number.
int ListLegalMoves(Position& position, LegalMoveList& list);

// The same as a vector, for tools and tests.
std::vector<Move> LegalMoves(Position& position);

// The number of legal moves, as ForEachLegalMove counts them; decides most moves from the
// attack masks without making them.
int CountLegalMoves(Position& position);

// The number of move sequences of depth plies from the position.
uint64_t Perft(Position& position, int depth);

}  // namespace tarvex
