#include "movegen/legal_moves.h"

#include <memory>

namespace tarvex {
namespace detail {

bool SeenMoves::Insert(const Move& move) {
    if (!IsBoardMove(move) && !IsPromotionKind(move.kind)) {
        uint64_t& row = plain_[move.from & 63];
        const uint64_t bit = uint64_t{1} << (move.to & 63);
        if (row & bit) return false;
        row |= bit;
        return true;
    }
    // The piece follows from the from square, or for a board move from its pin.
    constexpr uint32_t kBoardBit = 1u << 24;
    const uint32_t key = (move.from & 63) | (move.to & 63) << 8 |
                         static_cast<uint32_t>(static_cast<unsigned char>(move.kind)) << 16 |
                         (IsBoardMove(move) ? kBoardBit : 0);
    for (int i = 0; i < specialCount_; ++i) {
        if (special_[i] == key) return false;
    }
    special_[specialCount_++] = key;
    return true;
}

int Candidates(const Position& position, const Move& move, Move* out) {
    if (!IsPromotion(position, move.piece, move.to, move)) {
        out[0] = move;
        return 1;
    }
    if (IsPromotionKind(move.kind)) {
        out[0] = move;
        return 1;
    }
    constexpr MoveKind kKinds[4] = {MoveKind::kPromoteQueen, MoveKind::kPromoteBishop,
                                    MoveKind::kPromoteRook, MoveKind::kPromoteKnight};
    for (int i = 0; i < 4; ++i) {
        out[i] = move;
        out[i].kind = kKinds[i];
    }
    return 4;
}

}  // namespace detail

namespace {

// Generates the moves of a copy of position (the evasions when in check) into buffer.
int Generate(const Position& position, Position& scratch, MoveBuffer& buffer) {
    scratch = position;
    return (scratch.flags & kInCheck) ? GenerateEvasions(scratch, buffer.moves)
                                      : GenerateMoves(scratch, buffer.moves);
}

}  // namespace

int GenerateDistinctMoves(const Position& position, Move* out) {
    auto work = std::make_unique<std::pair<Position, MoveBuffer>>();
    auto& [scratch, buffer] = *work;
    const int count = Generate(position, scratch, buffer);
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const Move& m = buffer.moves[i];
        bool seen = false;
        for (int j = 0; j < kept && !seen; ++j) {
            const Move& k = out[j];
            seen = k.from == m.from && k.to == m.to && k.score == m.score && k.piece == m.piece &&
                   k.kind == m.kind && k.givesCheck == m.givesCheck;
        }
        if (!seen) out[kept++] = m;
    }
    return kept;
}

std::optional<Move> FindLegalMove(const Position& position, const Move& move) {
    auto work = std::make_unique<std::pair<Position, MoveBuffer>>();
    auto& [scratch, buffer] = *work;
    const int count = Generate(position, scratch, buffer);
    Position child;
    for (int i = 0; i < count; ++i) {
        if (!SameMove(buffer.moves[i], move)) continue;
        Move candidates[4];
        const int n = detail::Candidates(scratch, buffer.moves[i], candidates);
        for (int j = 0; j < n; ++j) {
            Move made = candidates[j];
            const bool namesPiece = IsPromotionKind(move.kind) && n > 1;
            if (namesPiece && made.kind != move.kind) continue;
            if (MakeMove(child, scratch, made)) return made;
        }
    }
    return std::nullopt;
}

bool HasLegalMove(const Position& position) {
    auto work = std::make_unique<std::pair<Position, MoveBuffer>>();
    auto& [scratch, buffer] = *work;
    const int count = Generate(position, scratch, buffer);
    Position child;
    for (int i = 0; i < count; ++i) {
        Move move = buffer.moves[i];
        if (MakeMove(child, scratch, move)) return true;
    }
    return false;
}

int ListLegalMoves(Position& position, LegalMoveList& list) {
    list.count = 0;
    ForEachLegalMove(position,
                     [&](const Move& move, Position&) { list.moves[list.count++] = move; });
    return list.count;
}

std::vector<Move> LegalMoves(Position& position) {
    auto list = std::make_unique<LegalMoveList>();
    ListLegalMoves(position, *list);
    return std::vector<Move>(list->moves, list->moves + list->count);
}

uint64_t Perft(Position& position, int depth) {
    if (depth <= 0) return 1;
    uint64_t nodes = 0;
    ForEachLegalMove(position, [&](const Move&, Position& child) {
        nodes += depth == 1 ? 1 : Perft(child, depth - 1);
    });
    return nodes;
}

}  // namespace tarvex
