// The quiescence search: below the nominal depth, captures, promotions and (2D) en passant are
// tried until the position is quiet; the static value stands in for the quiet moves. In check,
// every reply is searched while the ply is below the maximum depth.
#include <algorithm>
#include <bit>

#include "engine/evaluation.h"
#include "engine/score.h"
#include "engine/searcher.h"
#include "movegen/move_generation.h"
#include "rules/make_move.h"

namespace tarvex::engine {
namespace {

constexpr int kStandPatFloor = 6500;  // the stand-pat value never reports less than gamma - this

bool InCheck(const Position& p) {
    return (p.flags & kInCheck) != 0;
}

}  // namespace

int Searcher::QuiescenceEntry(Position& p, int gamma, int ply) {
    ++nodes_;
    return Quiesce(p, gamma, ply + 1);
}

// Makes one move and searches it; false when the search is to stop (best >= gamma).
bool Searcher::TryQuiet(Position& p, Move move, int gamma, int ply, int& best) {
    Position& child = At(ply + 1);
    StartMove(child, p);
    if (PlyLimitReached(p) || !DoMove(child, p, move, context_)) return true;
    const int value = -Quiesce(child, 1 - gamma, ply + 1);
    if (value > best) best = value;
    return best < gamma && !StopTest();
}

int Searcher::Quiesce(Position& p, int gamma, int ply) {
    gamma = StepGamma(gamma);
    int value;
    if (table_.Probe(p, 0, gamma, value, nullptr)) return StepTowardZero(value);
    Move last = p.lastMove;
    if (!FinishMove(p, last, context_)) return kScoreKingTaken;
    if (ply >= kMaxPly - 2) return evaluator_.EvaluateClamped(p, EvalOf(p), gamma, 0);
    if (InCheck(p) && ply < maxDepth_) return QuiesceCheck(p, gamma, ply);
    int best = evaluator_.EvaluateClamped(p, EvalOf(p), gamma, 0);
    if (best >= gamma || ply >= maxDepth_) return StepTowardZero(best);
    if (!EvalOf(p).valid) {
        best = evaluator_.EvaluateClamped(p, EvalOf(p), gamma, 1);
        if (best >= gamma) return StepTowardZero(best);
    }
    best = std::max(best, gamma - kStandPatFloor);
    const bool white = WhiteToMove(p);
    const int sign = white ? 1 : -1;
    const uint32_t own = white ? kWhiteHalf : kBlackHalf;
    const uint32_t enemy = ~own;
    // a. Pawns one step from promotion, onto empty squares.
    for (uint32_t pawns = p.promoMask & own; pawns != 0; pawns &= pawns - 1) {
        const int slot = std::countr_zero(pawns);
        if (p.pieces[slot].code != sign * kPawn) continue;
        Move pushes[2 * kMaxStepSquares];
        const int n = AppendPawnPushes(p, slot, pushes);
        for (int i = 0; i < n; ++i) {
            if (p.board[pushes[i].to] != 0) continue;
            const Move move = MakeMoveRecord(sign * kPawn, pushes[i].from, pushes[i].to,
                                             MoveKind::kPromotionOpen);
            if (!TryQuiet(p, move, gamma, ply, best)) return StepTowardZero(best);
        }
    }
    // b. The stored best capture, while it still stands.
    const Move reply = EvalOf(p).replyMove;
    if (!IsNoMove(reply) && reply.from < kBoardSquares && reply.to < kBoardSquares &&
        p.board[reply.to] * sign < 0 && p.board[reply.from] * sign > 0 &&
        (p.attacks[reply.to] >> p.squareSlot[reply.from] & 1) != 0) {
        const Move move =
            MakeMoveRecord(p.board[reply.from], reply.from, reply.to, MoveKind::kCapture);
        if (!TryQuiet(p, move, gamma, ply, best)) return StepTowardZero(best);
    }
    // c. Captures: the most valuable victims first, each by its least valuable attackers first.
    for (uint32_t victims = p.pieceMask & enemy; victims != 0; victims &= victims - 1) {
        const unsigned target = p.pieces[std::countr_zero(victims)].square;
        uint32_t attackers = p.attacks[target] & own;
        while (attackers != 0) {
            const int slot = 31 - std::countl_zero(attackers);
            attackers &= ~(1u << slot);
            const PieceEntry& attacker = p.pieces[slot];
            const Move move =
                MakeMoveRecord(attacker.code, attacker.square, target, MoveKind::kCapture);
            if (!TryQuiet(p, move, gamma, ply, best)) return StepTowardZero(best);
        }
    }
    // d. En passant (2D game).
    if (!Is3D(p) && p.epSquare != 0) {
        Move captures[2];
        const int n = AppendEnPassant(p, captures);
        for (int i = 0; i < n; ++i) {
            if (!TryQuiet(p, captures[i], gamma, ply, best)) return StepTowardZero(best);
        }
    }
    return StepTowardZero(best);
}

int Searcher::QuiesceCheck(Position& p, int gamma, int ply) {
    if (!EvalOf(p).valid) evaluator_.EvaluateClamped(p, EvalOf(p), gamma, 1);
    const GeneratedMoves& moves = MovesOf(p);
    if (moves.list == nullptr) GenerateAndOrder(p, ply, nullptr, gamma);
    int best = kScoreNoMove;
    Position& child = At(ply + 1);
    for (uint32_t i = 0; i < moves.count; ++i) {
        Move move = moves.list[i];
        if (!ValidMove(p, move)) continue;
        StartMove(child, p);
        if (PlyLimitReached(p) || !DoMove(child, p, move, context_)) continue;
        best = std::max(best, -Quiesce(child, 1 - gamma, ply + 1));
        if (best >= gamma || StopTest()) break;
    }
    if (!stopped_) table_.Store(p, 0, gamma, best, nullptr);
    return StepTowardZero(best);
}

}  // namespace tarvex::engine
