// The alpha-beta search: every call is a null-window search at gamma (the window gamma - 1 ..
// gamma) that returns a fail-soft value; a result >= gamma proves a lower bound, a result below
// it an upper bound.
#include <algorithm>
#include <bit>

#include "board/attack_boards.h"
#include "board/hash.h"
#include "engine/evaluation.h"
#include "engine/parameters.h"
#include "engine/score.h"
#include "engine/searcher.h"
#include "engine/threat.h"
#include "movegen/legal_moves.h"
#include "rules/make_move.h"

namespace tarvex::engine {
namespace {

constexpr int kNullMoveReduction = 4;
constexpr int kNullMoveMinMobility = 6;
constexpr int kNullMoveMateDrop = 10000;
constexpr int kRecaptureMargin = 5000;
constexpr int kFutilityMargin = 9000;

bool InCheck(const Position& p) {
    return (p.flags & kInCheck) != 0;
}

bool Extended(const Position* p) {
    return p != nullptr && (p->flags & kExtended) != 0;
}

// The side to move has an officer besides its king.
bool HasOfficer(const Position& p) {
    const uint32_t own = WhiteToMove(p) ? kWhiteHalf : kBlackHalf;
    const uint32_t king = WhiteToMove(p) ? 1u : 1u << kBlackSlots;
    return (p.officerMask & own & ~king) != 0;
}

}  // namespace

bool ValidMove(const Position& p, const Move& m) {
    if (m.from >= kNoSquare) return false;
    return IsBoardMove(m) || (m.from < kBoardSquares && p.board[m.from] != 0);
}

// The child's hash keys, formed without making the move: the mover leaves its square, the
// captured piece goes, the mover arrives, the side changes. (Castling's rook, en passant and
// promotion are not followed: such children are simply not found.)
void ChildKeys(const Position& p, const Move& m, uint32_t& low, uint32_t& high) {
    Position keys;
    keys.hashKey = p.hashKey;
    keys.hashKey2 = p.hashKey2;
    if (IsBoardMove(m)) {
        const int board = BoardIndexOf(m.piece);
        HashBoardPin(keys, board, m.from);
        HashBoardPin(keys, board, m.to);
    } else {
        const int mover = p.board[m.from];
        HashPiece(keys, mover, m.from);
        if (m.to < kBoardSquares && p.board[m.to] != 0) HashPiece(keys, p.board[m.to], m.to);
        HashPiece(keys, mover, m.to);
    }
    low = keys.hashKey ^ 1;
    high = keys.hashKey2;
}

int Searcher::DrawValue(const Position& node) const {
    return evaluator_.DrawScore(node) * SideSign(node);
}

bool Searcher::OwnSide(const Position& p) const {
    const bool whiteAtRoot = (p.flags & kWhiteAtRoot) != 0;
    return whiteAtRoot == WhiteToMove(p);
}

// The enhanced transposition cutoff: a child whose table entry proves it below 1 - gamma proves
// this node at least gamma, without searching it.
bool Searcher::TryHashChildren(Position& p, Move* list, int count, int depth, int gamma, int& value,
                               Move* best, int ply) {
    bool found = false;
    Position& child = At(ply + 1);
    for (int i = 0; i < count; ++i) {
        if (!ValidMove(p, list[i])) continue;
        uint32_t low, high;
        ChildKeys(p, list[i], low, high);
        int upper;
        if (!table_.ProbeChildUpper(low, high, depth - 1, 1 - gamma, upper)) continue;
        Move move = list[i];
        StartMove(child, p);
        if (PlyLimitReached(p) || !MakeMove(child, p, move, context_)) continue;
        if (IsDraw(child, keys_, 1)) continue;
        if (!table_.ProbeChildUpper(child.hashKey, child.hashKey2, depth - 1, 1 - gamma, upper)) {
            continue;
        }
        if (!found || -upper > value) {
            value = -upper;
            if (best != nullptr) *best = list[i];
            found = true;
        }
    }
    return found;
}

int Searcher::SearchRoot(Position& root, int depth, int gamma, Move& best) {
    rootDepth_ = depth;
    int bestValue = kScoreNoMove;
    ++nodes_;
    Position& child = At(1);
    // A table entry that decides gamma with a legal move that draws nothing.
    int value;
    Move stored;
    if (table_.Probe(root, depth, gamma, value, &stored) && !IsNoMove(stored)) {
        if (const auto legal = FindLegalMove(root, stored)) {
            Move made = *legal;
            StartMove(child, root);
            if (MakeMove(child, root, made, context_) != 0 && !IsDraw(child, keys_, 1)) {
                best = *legal;
                return value;
            }
        }
    }
    Move* list = MovesOf(root).list;
    const int count = static_cast<int>(MovesOf(root).count);
    // The children's entries may prove the node at once.
    if (TryHashChildren(root, list, count, depth, gamma, value, &best, 0)) return value;
    // The driver's best move first.
    OrderMoves(root, list, count, 0, IsNoMove(best) ? nullptr : &best, gamma);
    Move cutoff;
    bool cut = false;
    for (int i = 0; i < count; ++i) {
        Move& move = list[i];
        if (!ValidMove(root, move)) continue;
        Move made = move;
        StartMove(child, root);
        if (IsNoMove(move) || PlyLimitReached(root) || !MakeMove(child, root, made, context_)) {
            value = kScoreNoMove;
        } else if (IsDraw(child, keys_, 1)) {
            value = DrawValue(root);
        } else {
            value = -Search(child, depth - 1, 1 - gamma, 1);
        }
        if (StopTest()) return bestValue;
        move.score = value;
        bestValue = std::max(bestValue, value);
        if (bestValue >= gamma) {
            best = move;
            cutoff = move;
            cut = true;
            break;
        }
    }
    if (bestValue == kScoreNoMove && !InCheck(root)) bestValue = 0;
    table_.Store(root, depth, gamma, bestValue, cut ? &cutoff : nullptr);
    return bestValue;
}

int Searcher::Search(Position& p, int depth, int gamma, int ply) {
    if (depth <= 0) return QuiescenceEntry(p, gamma, ply);
    if (ply >= kMaxPly - 1) return evaluator_.EvaluateClamped(p, EvalOf(p), gamma, 0);
    ++nodes_;
    gamma = StepGamma(gamma);
    // The table.
    Move hashMove;
    int value;
    if (table_.Probe(p, depth, gamma, value, &hashMove)) return StepTowardZero(value);
    // The move that led here is completed now; it may prove illegal.
    Move last = p.lastMove;
    if (!FinishMove(p, last, context_)) return kScoreKingTaken;
    const int staticValue = evaluator_.EvaluateClamped(p, EvalOf(p), gamma, depth);
    int extended = ExtendedDepth(p, depth, ply, staticValue, gamma);
    if (extended <= 0) return QuiescenceEntry(p, gamma, ply);
    // The null move.
    bool threatened = false;
    if (NullMove(p, depth, gamma, ply, extended, value)) return StepTowardZero(value);
    if (stopped_) return kScoreNoMove;
    if (value <= -kMateBand && extended + ply < rootDepth_ + kExtensionRoom) {
        p.flags |= kExtended;
        threatened = true;
        ++extended;
    }
    // The moves, ordered.
    GeneratedMoves& moves = MovesOf(p);
    if (moves.list == nullptr) {
        GenerateAndOrder(p, ply, IsNoMove(hashMove) ? nullptr : &hashMove, gamma);
        for (uint32_t i = 0; i < moves.count; ++i) moves.list[i].score = -kMateNextPly;
    }
    Move* list = moves.list;
    const int count = static_cast<int>(moves.count);
    int best = kScoreNoMove;
    int bestIndex = -1;
    if (count > 0) {
        // A single reply to check is searched deeper.
        if (InCheck(p) && count == 1 && !Extended(p.parent) &&
            extended + ply < rootDepth_ + kExtensionRoom) {
            p.flags |= kExtended;
            ++extended;
        }
        extended = std::min(extended, depth + 1);
        // The children's entries.
        if (TryHashChildren(p, list, count, extended, gamma, value, nullptr, ply)) {
            return StepTowardZero(StepTowardZero(value));
        }
        const MovesSearched searched =
            SearchMoves(p, list, count, depth, extended, threatened, gamma, ply);
        if (searched.stopped) return searched.best;
        best = searched.best;
        bestIndex = searched.bestIndex;
    }
    if (best == kScoreNoMove && !InCheck(p)) best = 0;
    table_.Store(p, depth, gamma, best, bestIndex >= 0 ? &list[bestIndex] : nullptr);
    return StepTowardZero(best);
}

// Searches the ordered moves until one reaches gamma, each move's score becoming its value.
Searcher::MovesSearched Searcher::SearchMoves(Position& p, Move* list, int count, int depth,
                                              int extended, bool threatened, int gamma, int ply) {
    MovesSearched result;
    Position& child = At(ply + 1);
    const bool own = OwnSide(p);
    for (int i = 0; i < count; ++i) {
        Move& move = list[i];
        if (!ValidMove(p, move)) continue;
        Move made = move;
        StartMove(child, p);
        if (PlyLimitReached(p) || !DoMove(child, p, made, context_)) {
            move.score = kScoreNoMove;
            continue;
        }
        const int value = ChildValue(p, child, depth, extended, threatened, own, gamma, ply);
        move.score = value;
        if (StopTest()) {
            result.stopped = true;
            return result;
        }
        if (value > result.best) {
            result.best = value;
            result.bestIndex = i;
        }
        if (result.best >= gamma) {
            RecordCutoff(p, move, extended, ply);
            break;
        }
    }
    return result;
}

// The value of a made child. An extension that is not for a threat is tried at the nominal depth
// first when not in check, and searched again at the extended depth only when the shallow value
// could change the outcome for the side that gains by it.
int Searcher::ChildValue(Position& p, Position& child, int depth, int extended, bool threatened,
                         bool own, int gamma, int ply) {
    if (IsDraw(child, keys_, 1)) return DrawValue(p);
    if (extended <= depth || threatened || InCheck(p)) {
        return -Search(child, extended - 1, 1 - gamma, ply + 1);
    }
    const int value = -Search(child, depth - 1, 1 - gamma, ply + 1);
    const bool research = value != kScoreNoMove && (own ? value >= gamma : value < gamma);
    if (!research) return value;
    MovesOf(child) = {};
    return -Search(child, extended - 1, 1 - gamma, ply + 1);
}

// The extension rule: the depth to search this node at, 0 for a futile frontier node.
int Searcher::ExtendedDepth(Position& p, int depth, int ply, int staticValue, int gamma) {
    if (ply > 0 && nullMoveAt_[ply - 1]) return depth;
    const Position* parent = p.parent;
    if (depth + ply < rootDepth_ + kExtensionRoom) {
        if (InCheck(p)) {
            p.flags |= kExtended;
            return depth + 1;
        }
        if (Extended(parent)) return depth;
        // A recapture on the square where the parent's move captured, by a piece, that keeps
        // the material about level.
        const Position* grandparent = parent != nullptr ? parent->parent : nullptr;
        if (grandparent != nullptr) {
            const unsigned to = parent->lastMove.to;
            const bool recapture = p.lastMove.to == to && to < kBoardSquares &&
                                   grandparent->board[to] != 0 && p.board[to] != kPawn &&
                                   p.board[to] != -kPawn;
            const int now = p.whiteMaterial - p.blackMaterial;
            const int before = grandparent->whiteMaterial - grandparent->blackMaterial;
            if (recapture && std::abs(now - before) < kRecaptureMargin) {
                p.flags |= kExtended;
                return depth + 1;
            }
        }
    }
    if ((p.flags & kExtended) != 0 || Extended(parent) || depth != 1) return depth;
    // Futility at the frontier.
    if (staticValue >= gamma - kFutilityMargin || parent == nullptr) return depth;
    return 0;
}

// Passes the move: true when the null move alone proves the node (value holds the result).
// Otherwise value holds the null move's value (or 0 when none was tried).
bool Searcher::NullMove(Position& p, int depth, int gamma, int ply, int extended, int& value) {
    value = 0;
    EvalState& record = EvalOf(p);
    const int reach = WhiteToMove(p) ? record.whiteReach : record.blackReach;
    const bool own = OwnSide(p);
    if (ply >= maxDepth_ || !HasOfficer(p) || (ply > 0 && nullMoveAt_[ply - 1]) ||
        (own && extended < 3) || InCheck(p) || reach <= kNullMoveMinMobility) {
        return false;
    }
    int reduced = extended - kNullMoveReduction;
    if (own) reduced = std::max(reduced, 1);
    // The null move changes the record's threat term and total only (and their marks).
    const Move savedReply = record.replyMove;
    const int32_t savedTactics = record.tacticsValue, savedScore = record.score;
    const bool savedValid = record.valid, savedTacticsValid = record.tacticsValid;
    const uint32_t savedExtras = record.extras;
    const uint32_t savedFlags = p.flags, savedEp = p.epSquare;
    const GeneratedMoves savedMoves = MovesOf(p);
    nullMoveAt_[ply] = true;
    p.epSquare = 0;
    ++p.ply;
    MovesOf(p) = {};
    p.hashKey ^= 1;
    // The passed pawns whose fate depends on who moves change their worth with the move.
    const int unstoppable = evaluator_.Set(p)[slot::kUnstoppable];
    const uint32_t first = record.unstoppablePawns[0], second = record.unstoppablePawns[1];
    if (WhiteToMove(p)) {
        record.score +=
            unstoppable * (std::popcount(first & kBlackHalf) + std::popcount(second & kWhiteHalf));
    } else {
        record.score -=
            unstoppable * (std::popcount(first & kWhiteHalf) + std::popcount(second & kBlackHalf));
    }
    evaluator_.UpdateThreatAfterNullMove(p, record);
    value = -Search(p, reduced, 1 - gamma, ply + 1);
    if (!own && value >= gamma && !stopped_) {
        MovesOf(p) = {};
        value = -Search(p, reduced + 1, 1 - gamma, ply + 1);
    }
    record.replyMove = savedReply;
    record.tacticsValue = savedTactics;
    record.score = savedScore;
    record.valid = savedValid;
    record.tacticsValid = savedTacticsValid;
    record.extras = savedExtras;
    p.flags = savedFlags;
    p.epSquare = savedEp;
    MovesOf(p) = savedMoves;
    --p.ply;
    p.hashKey ^= 1;
    nullMoveAt_[ply] = false;
    if (stopped_) {
        value = 0;
        return false;
    }
    if (value >= kMateNextPly) value -= kNullMoveMateDrop;
    if (value >= gamma) {
        table_.Store(p, depth, gamma, value, nullptr);
        return true;
    }
    return false;
}

}  // namespace tarvex::engine
