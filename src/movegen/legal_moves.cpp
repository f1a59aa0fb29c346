#include "movegen/legal_moves.h"

#include <bit>
#include <memory>

#include "rules/line_tables.h"
#include "rules/piece_ops.h"

namespace tarvex {
namespace detail {

bool SeenMoves::InsertSpecial(const Move& move) {
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
    if (!MovePromotes(position, move.piece, move.to)) {
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

// Judges a plain move (quiet or capture: no castling, en passant or promotion) of a 2D position
// whose king is not attacked from the attack masks alone, with the answer making it would give:
// then the move loses its king only by leaving a pin, or as a king move onto an attacked
// square. Castling, en passant and promotions move or remove a second piece and are made.
class QuickLegality {
public:
    enum class Verdict { kLegal, kIllegal, kMake };

    explicit QuickLegality(const Position& position) : p_(position), lines_(LinesFor(position)) {
        enemy_ = WhiteToMove(position) ? kBlackHalf : kWhiteHalf;
        if (Is3D(position) || (position.flags & kAttacksPending) || PlyLimitReached(position))
            return;
        const PieceEntry& king = position.pieces[WhiteToMove(position) ? kSlotKing : kBlackSlots];
        if (king.code != SideSign(position) * kKing || OffBoard(king.square)) return;
        if (position.attacks[king.square] & enemy_) return;
        king_ = king.square;
    }

    Verdict Judge(const Move& move) const {
        if (king_ == kNoSquare) return Verdict::kMake;
        if (move.kind != MoveKind::kQuiet && move.kind != MoveKind::kCapture) return Verdict::kMake;
        const unsigned f = move.from, t = move.to;
        if (OffBoard(f) || OffBoard(t) || p_.board[f] == 0) return Verdict::kMake;
        if (f == king_) return (p_.attacks[t] & enemy_) ? Verdict::kIllegal : Verdict::kLegal;
        const int code = p_.board[f];
        if (code == kKing || code == -kKing) return Verdict::kMake;
        return LeavesPin(f, t) ? Verdict::kIllegal : Verdict::kLegal;
    }

private:
    // An enemy slider attacks f along the line to the king, with nothing between f and the
    // king, and t leaves that line.
    bool LeavesPin(unsigned f, unsigned t) const {
        for (uint32_t m = p_.attacks[f] & enemy_; m != 0; m &= m - 1) {
            const PieceEntry& attacker = p_.pieces[std::countr_zero(m)];
            if (!IsSliderCode(attacker.code)) continue;
            const unsigned slider = attacker.square;
            const int d = lines_.dir[slider][f];
            if (d == 0 || lines_.dir[f][king_] != d || !EmptyBetween(f, d)) continue;
            const bool staysOnLine =
                t == slider || (lines_.dir[slider][t] == d && lines_.dir[t][king_] == d);
            if (!staysOnLine) return true;
        }
        return false;
    }

    bool EmptyBetween(unsigned f, int d) const {
        for (unsigned q = f + d; q != king_; q += d) {
            if (p_.board[q] != 0) return false;
        }
        return true;
    }

    const Position& p_;
    const LineTables& lines_;
    uint32_t enemy_;
    unsigned king_ = kNoSquare;
};

}  // namespace

int CountLegalMoves(Position& position) {
    MoveBuffer buffer;
    Move* generated = buffer.moves;
    const int count = (position.flags & kInCheck) ? GenerateEvasions(position, generated)
                                                  : GenerateMoves(position, generated);
    const QuickLegality quick(position);
    detail::SeenMoves seen;
    Position child;  // for the moves the masks leave open
    const auto legal = [&](const Move& offered) {
        if (!seen.Insert(offered)) return 0;
        switch (quick.Judge(offered)) {
            case QuickLegality::Verdict::kLegal:
                return 1;
            case QuickLegality::Verdict::kIllegal:
                return 0;
            case QuickLegality::Verdict::kMake:
                break;
        }
        Move move = offered;
        return MakeMove(child, position, move) ? 1 : 0;
    };
    int total = 0;
    for (int i = 0; i < count; ++i) {
        const Move& move = generated[i];
        // Most moves are their own only candidate (see detail::Candidates).
        if (!MovePromotes(position, move.piece, move.to) || IsPromotionKind(move.kind)) {
            total += legal(move);
            continue;
        }
        Move candidates[4];
        const int n = detail::Candidates(position, move, candidates);
        for (int j = 0; j < n; ++j) total += legal(candidates[j]);
    }
    return total;
}

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
    if (depth == 1) return static_cast<uint64_t>(CountLegalMoves(position));
    uint64_t nodes = 0;
    ForEachLegalMove(position,
                     [&](const Move&, Position& child) { nodes += Perft(child, depth - 1); });
    return nodes;
}

}  // namespace tarvex
