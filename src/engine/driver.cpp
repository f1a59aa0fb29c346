// The MTD driver: iterative deepening from depth 2 below the difficulty; at each depth a
// sequence of null-window root searches moves a lower and an upper bound toward each other
// until they lie within 700 of each other (10 for mate scores), or the root moves' table
// entries prove the best move. The effort clock, the stop request and any limit of the caller
// end the work early.
#include <algorithm>
#include <cmath>

#include "core/console.h"
#include "engine/evaluation.h"
#include "engine/score.h"
#include "engine/searcher.h"
#include "engine/threat.h"
#include "movegen/legal_moves.h"
#include "rules/attack_generation.h"
#include "rules/make_move.h"

namespace tarvex::engine {
namespace {

constexpr int kFirstDepth = 2;
constexpr int kFirstPhasePasses = 7;
constexpr float kFirstPhaseOffsets[kFirstPhasePasses] = {0.5f,  2.0f,  6.0f, 13.0f,
                                                         30.0f, 30.0f, 30.0f};  // pawns
constexpr float kPawn = 10000.0f;
constexpr int kGammaNudge = 100;
constexpr int kConverged = 700;     // bounds this close settle a depth
constexpr int kMateConverged = 10;  // and this close when a mate is being narrowed
constexpr int kMaxSearches = 30;
constexpr int kMaxAttempts = 4;
constexpr int kClockCheckNodes = 1000;
constexpr double kDropStep = 350.00000000000006;
constexpr int kDropMargin = 10000;
constexpr int kPvLength = 64;

}  // namespace

// ---- the effort clock ----

void EffortClock::Start() {
    state = kRunning;
    start = Read();
    limit = kLimit;
}

float EffortClock::Elapsed() {
    if (state == kOff) return 0.0f;
    return Read() - start;
}

bool EffortClock::Expired() {
    if (state == kOff) return false;
    if (state == kRunning && Elapsed() > limit) state = kExpired;
    return state == kExpired;
}

bool EffortClock::IterationBudgetSpent(bool singleMove) {
    const float elapsed = Elapsed();
    if (singleMove) return true;
    if (state == kOff) return false;
    return elapsed >= static_cast<double>(kLimit) * kIterationShare;
}

// ---- the searcher ----

Searcher::Searcher(const ParameterBook& book)
    : evaluator_(book, &memory_),
      stack_(kMaxPly + 2),
      moves_(kMaxPly + 2),
      records_(kMaxPly + 2),
      merge_(std::make_unique<Move[]>(kMaxMoves)) {
    context_.history = &keys_;
    context_.evaluator = this;
}

void Searcher::StartMove(const Position& child, const Position& parent) {
    MovesOf(child) = {};
    StartChild(EvalOf(child), EvalOf(parent));
}

void Searcher::EvaluateRegenerated(Position& position) {
    if (OnStack(position)) {
        evaluator_.Evaluate(position, EvalOf(position), kFullEvaluation, 2);
    } else {
        EvalState own;
        evaluator_.Evaluate(position, own, kFullEvaluation, 2);
    }
}

void Searcher::Clear() {
    table_.Clear();
    std::fill(&history_[0][0], &history_[0][0] + 64 * 64, 0u);
    std::fill(&killers_[0][0], &killers_[0][0] + kKillerPlies * 2, Move{});
    std::fill(&counterMoves_[0][0], &counterMoves_[0][0] + 64 * 64, Move{});
    previousStage_ = -1;
    lastSearchRootPly_ = 0;
}

bool Searcher::StopTest() {
    if (stopped_) return true;
    if (stop_->Requested() || (limits_->stopWhen && limits_->stopWhen())) return stopped_ = true;
    if (limits_->nodes != 0 && nodes_ >= limits_->nodes) return stopped_ = true;
    if (rootDepth_ > kFirstDepth || limits_->milliseconds > 0) {
        if (nodes_ < lastCheck_) lastCheck_ = nodes_;
        if (nodes_ > lastCheck_ + kClockCheckNodes) {
            lastCheck_ = nodes_;
            if (rootDepth_ > kFirstDepth && clock_.Expired()) return stopped_ = true;
            if (limits_->milliseconds > 0) {
                const auto spent = std::chrono::steady_clock::now() - startTime_;
                if (spent >= std::chrono::milliseconds(limits_->milliseconds)) {
                    return stopped_ = true;
                }
            }
        }
    }
    return false;
}

// The root's moves, once per move choice: generated, ordered, scored by the material their
// capture sequences win or lose, sorted, and the moves that cannot be made dropped.
void Searcher::PrepareRootList(Position& root, const Move& best) {
    GeneratedMoves& moves = MovesOf(root);
    if (moves.list != nullptr) return;
    GenerateAndOrder(root, 0, IsNoMove(best) ? nullptr : &best, 0);
    Move* list = moves.list;
    int count = static_cast<int>(moves.count);
    for (int i = 0; i < count; ++i) {
        if (ValidMove(root, list[i])) list[i].score = RootTacticalScore(root, list[i]);
    }
    SortByScore(list, count);
    while (count > 0 && list[count - 1].score < -kMateNextPly) --count;
    moves.count = static_cast<uint32_t>(count);
}

bool Searcher::MtdConverged(Position& root, int lower, int depth) {
    const GeneratedMoves& moves = MovesOf(root);
    if (moves.list == nullptr) return false;
    Position& child = At(1);
    int counted = 0;
    for (uint32_t i = 0; i < moves.count; ++i) {
        Move move = moves.list[i];
        StartMove(child, root);
        if (!MakeMove(child, root, move, context_)) {
            ConsolePrint("\nillegal move %u-%u in mtd_converged", move.from, move.to);
            continue;
        }
        const TableEntry* entry = table_.Lookup(child);
        if (entry == nullptr || entry->upperDepth < depth - 1) return false;
        if (-entry->lower > lower) ++counted;
    }
    return counted == 1;
}

int Searcher::MtdSearch(Position& root, Move& best, int depth, int guess0) {
    int lower = kScoreNoMove, upper = kScoreKingTaken, guess = guess0;
    int pass = 0, ups = 0, downs = 0;
    bool stopped = false;
    mateFound_ = false;
    searches_ = 0;
    PrepareRootList(root, best);
    int proven;
    const GeneratedMoves& moves = MovesOf(root);
    if (TryHashChildren(root, moves.list, static_cast<int>(moves.count), depth, kScoreNoMove,
                        proven, &best, 0)) {
        lower = guess = proven;
    }
    // The first phase: gammas below the guess until one search fails high.
    while (lower == kScoreNoMove) {
        if (upper <= lower || pass >= kFirstPhasePasses || stopped) break;
        int gamma = static_cast<int>(static_cast<float>(guess) - kFirstPhaseOffsets[pass] * kPawn);
        if (gamma <= lower) gamma = lower + kGammaNudge;
        if (gamma >= upper) gamma = upper - kGammaNudge;
        guess = SearchRoot(root, depth, gamma, best);
        ++searches_;
        ++pass;
        if (StopTest()) {
            stopped = true;
            if (lower == kScoreNoMove) lower = guess0;
        } else if (guess >= gamma) {
            lower = guess;
        } else {
            upper = guess;
        }
    }
    if (stopped || lower == upper) return lower;
    if (searches_ == 1 && guess < guess0) {
        guess = std::max(static_cast<int>(guess0 - kDropStep), guess);
    } else if (searches_ == 0) {
        guess += kConverged;
    }
    // The second phase: gammas between the bounds, stepping faster each time one side repeats.
    while (upper > lower + kMateConverged && !stopped) {
        ++pass;
        int gamma = guess;
        if (guess == lower) {
            ++ups;
            downs = 0;
            gamma = std::min(gamma + kConverged * ups * ups, (lower + upper) / 2);
        } else if (guess == upper) {
            ups = 0;
            ++downs;
            gamma = std::max(gamma - kConverged * downs * downs, (lower + upper) / 2);
        }
        if (lower >= -kMateNextPly && upper < kScoreKingTaken && MtdConverged(root, lower, depth))
            break;
        guess = SearchRoot(root, depth, gamma, best);
        ++searches_;
        if (StopTest()) {
            stopped = true;
            if (lower == kScoreNoMove) lower = guess0;
            continue;
        }
        if (guess < gamma) {
            upper = guess;
        } else {
            lower = guess;
        }
        if (lower > kMateNextPly || upper < -kMateNextPly) {
            mateFound_ = true;
            break;
        }
        if (upper - lower > kConverged) continue;
        if (searches_ > kMaxSearches) break;
        if (std::abs(lower) >= kMateBand) continue;
        break;
    }
    if (lower == kScoreNoMove) lower = guess;
    return lower;
}

// Whether the best move has since been proved more than a pawn below the value; the value then
// drops to what its child's entry proves.
bool Searcher::ResearchAfterDrop(Position& root, const Move& best, int& value) {
    if (IsNoMove(best)) return false;
    Position& child = At(1);
    Move move = best;
    StartMove(child, root);
    if (!MakeMove(child, root, move, context_)) return false;
    const TableEntry* entry = table_.Lookup(child);
    if (entry == nullptr || entry->lowerDepth == 0 || entry->lower <= kDropMargin - value) {
        return false;
    }
    value = -entry->lower - 2;
    return true;
}

int Searcher::ChooseMove(Position& root, Move& best) {
    nodes_ = 0;
    lastCheck_ = 0;
    ResetSearchTables(root.ply);
    table_.NextGeneration();
    if (root.ply < lastSearchRootPly_) table_.Clear();
    lastSearchRootPly_ = root.ply;
    int depth = kFirstDepth, value = 0;
    if (const TableEntry* entry = table_.Lookup(root)) {
        const Move stored = TranspositionTable::StoredMove(root, *entry);
        if (!IsNoMove(stored)) {
            best = stored;
            best.kind = MoveKind::kUnchecked;
            depth = std::max<int>(entry->lowerDepth, kFirstDepth);
            value = entry->lower;
            if (entry->upperDepth >= entry->lowerDepth &&
                entry->lower + kConverged >= entry->upper) {
                ++depth;
            }
        }
    }
    int lastCompleted = depth - 1;
    for (bool finished = false; !finished; ++depth) {
        if (depth >= maxDepth_) break;
        const int guess0 = value;
        int guess = guess0;
        bool single = false;
        for (int attempts = 1;; ++attempts) {
            value = MtdSearch(root, best, depth, guess);
            const bool expired = clock_.Expired();
            single = MovesOf(root).count == 1;
            if (single || expired || mateFound_) break;
            if (!ResearchAfterDrop(root, best, value) || attempts >= kMaxAttempts) break;
            guess = value;
        }
        finished = false;
        if (lastCompleted > kFirstDepth) {
            if (!StopTest()) lastCompleted = depth;
            finished = clock_.IterationBudgetSpent(single);
        }
        if (StopTest()) {
            finished = true;
        } else {
            lastCompleted = depth;
            completedDepth_ = depth;
            Report(root, depth, value);
        }
        if (value <= lastCompleted - kMateNextPly || value >= kMateNextPly - lastCompleted)
            finished = true;
        // Real time: a new depth is begun only with more than half the budget left.
        if (limits_->milliseconds > 0) {
            const auto spent = std::chrono::steady_clock::now() - startTime_;
            if (spent * 2 >= std::chrono::milliseconds(limits_->milliseconds)) finished = true;
        }
    }
    return value;
}

// The principal variation, read from the table, for the caller's progress report.
void Searcher::Report(Position& root, int depth, int value) {
    if (!limits_->onProgress) return;
    SearchProgress progress;
    progress.depth = depth;
    progress.score = value;
    progress.nodes = nodes_;
    progress.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - startTime_)
                                .count();
    Position line = root;
    for (int i = 0; i < kPvLength && i <= depth + 2; ++i) {
        const TableEntry* entry = table_.Lookup(line);
        if (entry == nullptr) break;
        const Move wanted = TranspositionTable::StoredMove(line, *entry);
        if (IsNoMove(wanted)) break;
        std::optional<Move> move;
        for (const Move& legal : LegalMoves(line)) {
            if (SameSquares(legal, wanted) && (!move || IsPromotionKind(legal.kind))) {
                move = legal;
                if (legal.kind == MoveKind::kPromoteQueen || !IsPromotionKind(legal.kind)) break;
            }
        }
        if (!move) break;
        progress.pv.push_back(*move);
        Position next;
        Move made = *move;
        if (!MakeMove(next, line, made)) break;
        line = next;
        line.parent = nullptr;
    }
    limits_->onProgress(progress);
}

Position& Searcher::Begin(const Position& position, const KeyHistory& history,
                          const SearchLimits& limits, const StopToken& stop) {
    limits_ = &limits;
    stop_ = &stop;
    stopped_ = false;
    startTime_ = std::chrono::steady_clock::now();
    maxDepth_ = limits.maxDepth;
    completedDepth_ = 0;
    nodes_ = 0;
    lastCheck_ = 0;
    keys_ = history;
    table_.Ensure();
    // The root: a private copy, its side marked, its attack data and evaluation fresh.
    Position& root = At(0);
    root = position;
    root.winner = 0;
    MovesOf(root) = {};
    root.flags = WhiteToMove(root) ? root.flags | kWhiteAtRoot : root.flags & ~kWhiteAtRoot;
    EvalState& record = EvalOf(root);
    record = EvalState{};
    RegenerateAttacks(root, this);
    record.valid = false;
    evaluator_.Evaluate(root, record, kFullEvaluation, maxDepth_);
    const int stage = SetStage(root, &record);
    if (stage != previousStage_) table_.Clear();
    previousStage_ = stage;
    return root;
}

SearchResult Searcher::Choose(const Position& position, const KeyHistory& history,
                              const SearchLimits& limits, const StopToken& stop) {
    Position& root = Begin(position, history, limits, stop);
    if (limits.effortClock) clock_.Start();
    Move best;
    const int value = ChooseMove(root, best);
    clock_.state = EffortClock::kOff;
    SearchResult result;
    result.score = value;
    result.depth = completedDepth_;
    result.nodes = nodes_;
    // The move played is always one of the root's moves: the one with the best move's squares
    // (and promotion piece), or, when no search proved any move, the first of the ordered list.
    // (A root whose table entry is already deep enough is not searched again: its list is made
    // here.)
    PrepareRootList(root, best);
    const Move* list = MovesOf(root).list;
    const uint32_t count = MovesOf(root).count;
    for (uint32_t i = 0; i < count; ++i) {
        const bool piece = !IsPromotionKind(best.kind) || list[i].kind == best.kind;
        if (!IsNoMove(best) && SameSquares(list[i], best) && piece) {
            result.move = list[i];
            break;
        }
    }
    if (IsNoMove(result.move) && list != nullptr && count > 0) result.move = list[0];
    return result;
}

}  // namespace tarvex::engine
