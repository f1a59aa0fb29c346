#include "rules/random_mover.h"

#include "board/dir_to.h"
#include "movegen/board_moves.h"
#include "movegen/move_generation.h"
#include "rules/make_move.h"

namespace tarvex {
namespace {

// What a generated move does, from its kind and the position it is made in.
MoveClass ClassOf(const Position& p, const Move& m) {
    if (IsBoardMove(m)) return BoardMovePromotes(p, m.piece, m.to) ? kBoardPromotion : kBoardMove;
    if (m.kind == MoveKind::kCastleShort) return kShortCastling;
    if (m.kind == MoveKind::kCastleLong) return kLongCastling;
    if (m.kind == MoveKind::kEnPassant || m.kind == MoveKind::kEnPassantBlack) return kEnPassant;
    const int sign = m.piece > 0 ? 1 : -1;
    if (m.piece != sign * kPawn) return kPieceMove;
    if (PawnPromotesOn(p, m.piece, m.to)) return kPromotion;
    if (p.board[m.to] != 0) return kPieceMove;  // a capture
    StepList one;
    DirTo(p, m.from, sign, one);
    for (uint32_t i = 0; i < one.count; ++i) {
        if (one.sq[i] == m.to) return kPawnPush;
    }
    return kDoubleStep;
}

// Preferred half of the time. 3D short castling is open from the first move on and would
// otherwise use up the rights before long castling ever becomes possible.
bool Rare(MoveClass moveClass, bool threeD) {
    return (moveClass == kShortCastling && !threeD) || moveClass == kLongCastling ||
           moveClass == kEnPassant || moveClass == kPromotion || moveClass == kBoardPromotion;
}

}  // namespace

const char* MoveClassName(int moveClass) {
    static const char* const kNames[kMoveClassCount] = {
        "piece move", "pawn push", "double step", "short castling", "long castling",
        "en passant", "promotion", "board move",  "board promotion"};
    return moveClass >= 0 && moveClass < kMoveClassCount ? kNames[moveClass] : "?";
}

RandomMover::RandomMover(uint64_t seed)
    : state_(seed * 0x9E3779B97F4A7C15ull + 1), generated_(kMaxMoves) {}

uint32_t RandomMover::Below(uint32_t n) {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<uint32_t>((state_ * 2685821657736338717ull) >> 32) % n;
}

void RandomMover::Candidates(const Position& position, std::vector<Candidate>& out) {
    out.clear();
    Position scratch = position;  // the generator takes a writable position
    const int count = GenerateMoves(scratch, generated_.data());
    for (int i = 0; i < count; ++i) {
        Move move = generated_[static_cast<size_t>(i)];
        // Captures are written '-' now and then: making the move must turn them into 'x'.
        if (move.kind == MoveKind::kCapture && Below(2) == 0) move.kind = MoveKind::kQuiet;
        out.push_back({move, ClassOf(position, move)});
    }
}

size_t RandomMover::Pick(bool threeD) {
    size_t rare = 0;
    for (const Candidate& c : candidates_) rare += Rare(c.moveClass, threeD);
    if (rare == 0 || Below(2) == 0) return Below(static_cast<uint32_t>(candidates_.size()));
    size_t k = Below(static_cast<uint32_t>(rare));
    for (size_t i = 0; i < candidates_.size(); ++i) {
        if (Rare(candidates_[i].moveClass, threeD) && k-- == 0) return i;
    }
    return 0;
}

bool RandomMover::Play(Position& child, const Position& parent, const MoveContext& context,
                       Candidate& played, long& refused) {
    Candidates(parent, candidates_);
    while (!candidates_.empty()) {
        const size_t i = Pick(Is3D(parent));
        Candidate candidate = candidates_[i];
        if (MakeMove(child, parent, candidate.move, context)) {
            played = candidate;
            return true;
        }
        ++refused;
        candidates_[i] = candidates_.back();
        candidates_.pop_back();
    }
    return false;
}

}  // namespace tarvex
