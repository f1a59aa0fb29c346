// Move ordering and the tables it learns from: the hash move first, then killers, the stored
// best capture, the counter-move of the last move, the bounds of the children's table entries
// and the history of cutoffs. The sort is stable, so equal scores keep generation order.
#include <algorithm>
#include <cstring>
#include <limits>

#include "engine/searcher.h"
#include "engine/threat.h"
#include "movegen/evasions.h"

namespace tarvex::engine {
namespace {

constexpr int kBuffersPerGrowth = 30;
constexpr int32_t kHashMoveScore = 100000000;
constexpr int32_t kKillerScore = 10000;
constexpr int32_t kStoredCaptureScore = 15000;
constexpr int32_t kCounterMoveScore = 10000;
constexpr int32_t kChildBoundScore = 10000;
constexpr int kChildBoundStep = 5000;
constexpr int32_t kInvalidScore = -400000;

}  // namespace

Move* Searcher::BufferOfPly(int ply) {
    while (static_cast<int>(buffers_.size()) <= ply) {
        for (int i = 0; i < kBuffersPerGrowth; ++i)
            buffers_.push_back(std::make_unique<MoveBuffer>());
    }
    return buffers_[static_cast<size_t>(ply)]->moves;
}

void Searcher::GenerateAndOrder(Position& p, int ply, const Move* hashMove, int gamma) {
    Move* list = BufferOfPly(ply);
    const int count = (p.flags & kInCheck) ? GenerateEvasions(p, list) : GenerateMoves(p, list);
    MovesOf(p) = {list, static_cast<uint32_t>(count)};
    OrderMoves(p, list, count, ply, hashMove, gamma);
}

// The bonus from the child's table entry against h = 1 - gamma: a child proved below h is good
// for this node, one proved at or above it bad, by steps of half a pawn.
int Searcher::ChildTableBonus(uint32_t low, uint32_t high, int gamma) const {
    const TableEntry* entry = table_.Lookup(low, high);
    if (entry == nullptr) return 0;
    const int h = 1 - gamma;
    if (entry->lower < h && entry->upper < h) return (h - entry->upper) / kChildBoundStep + 1;
    if (entry->lower >= h) return -((entry->lower - h) / kChildBoundStep + 1);
    return 0;
}

void Searcher::OrderMoves(Position& p, Move* list, int count, int ply, const Move* hashMove,
                          int gamma) {
    if (hashMove != nullptr) {
        hashMove_ = *hashMove;
    } else {
        evaluator_.ThreatTerm(p, EvalOf(p));  // refreshes the stored best capture
        hashMove_ = Move{};
    }
    const bool killersApply = ply < maxDepth_ && ply < kKillerPlies;
    const Move reply = EvalOf(p).replyMove;  // the threat search's best capture
    const Move& counter = counterMoves_[p.lastMove.from & 63][p.lastMove.to & 63];
    // Every child's bucket is asked for before the first is read.
    uint32_t(*keys)[2] = childKeys_.get();
    for (int i = 0; i < count; ++i) {
        if (!ValidMove(p, list[i])) continue;
        ChildKeys(p, list[i], keys[i][0], keys[i][1]);
        table_.Prefetch(keys[i][0]);
    }
    for (int i = 0; i < count; ++i) {
        Move& m = list[i];
        if (!ValidMove(p, m)) {
            m.score = kInvalidScore;
            continue;
        }
        if (!IsNoMove(hashMove_) && SameSquares(m, hashMove_)) {
            m.score = kHashMoveScore;
            continue;
        }
        int64_t score = 0;
        if (killersApply &&
            (SameSquares(m, killers_[ply][0]) || SameSquares(m, killers_[ply][1]))) {
            score += kKillerScore;
        }
        if (!IsNoMove(reply) && SameSquares(m, reply)) score += kStoredCaptureScore;
        if (!IsNoMove(counter) && SameSquares(m, counter)) score += kCounterMoveScore;
        score += int64_t{kChildBoundScore} * ChildTableBonus(keys[i][0], keys[i][1], gamma);
        score += history_[m.from & 63][m.to & 63];
        m.score = static_cast<int32_t>(
            std::clamp<int64_t>(score, -kHashMoveScore + 1, kHashMoveScore - 1));
    }
    SortByScore(list, count);
}

// A bottom-up merge sort, highest score first; on equal scores the earlier move stays first.
void Searcher::SortByScore(Move* list, int count) {
    Move* from = list;
    Move* to = merge_.get();
    for (int width = 1; width < count; width *= 2) {
        for (int start = 0; start < count; start += 2 * width) {
            const int middle = std::min(start + width, count);
            const int end = std::min(start + 2 * width, count);
            int a = start, b = middle, k = start;
            while (a < middle && b < end)
                to[k++] = from[b].score > from[a].score ? from[b++] : from[a++];
            while (a < middle) to[k++] = from[a++];
            while (b < end) to[k++] = from[b++];
        }
        std::swap(from, to);
    }
    if (from != list) std::copy(from, from + count, list);
}

void Searcher::RecordCutoff(Position& p, const Move& move, int depth, int ply) {
    history_[move.from & 63][move.to & 63] += 1u << (depth % 32);
    counterMoves_[p.lastMove.from & 63][p.lastMove.to & 63] = move;
    if (ply >= maxDepth_ || ply >= kKillerPlies) return;
    Move* killers = killers_[ply];
    if (SameSquares(move, killers[0]) || SameSquares(move, killers[1])) return;
    const bool capture = move.to < kBoardSquares && p.board[move.to] != 0;
    killers[capture ? 0 : 1] = move;
}

void Searcher::ResetSearchTables(unsigned rootPly) {
    const long advance = static_cast<long>(rootPly) - static_cast<long>(previousRootPly_);
    const long shift = std::max(advance, 3L);
    std::memset(static_cast<void*>(killers_), 0, sizeof killers_);
    std::memset(static_cast<void*>(counterMoves_), 0, sizeof counterMoves_);
    for (auto& row : history_) {
        for (uint32_t& counter : row) counter >>= (shift % 32);
    }
    previousRootPly_ = rootPly;
}

}  // namespace tarvex::engine
