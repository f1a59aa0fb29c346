#include "search_thread.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "engine/score.h"
#include "movegen/legal_moves.h"
#include "uci_output.h"

namespace tarvex::uci {
namespace {

constexpr int64_t kNever = INT64_MAX;

int64_t Ticks(Clock::time_point when) {
    return when.time_since_epoch().count();
}

int64_t DeadlineAfter(Clock::time_point from, int64_t milliseconds) {
    if (milliseconds == kNoLimit) return kNever;
    return Ticks(from + std::chrono::milliseconds(milliseconds));
}

// "cp 35" or "mate 3" (negative when the side to move is mated). A root the table already
// proves won can come back one ply beyond a mate in one (the king-taken score): still mate 1.
std::string ScoreText(int score) {
    if (!engine::IsMateScore(score)) {
        return "cp " + std::to_string(score / (engine::kScorePawn / 100));
    }
    const int plies = engine::kScoreKingTaken - std::abs(score);
    const int moves = std::max(1, (plies + 1) / 2);
    return "mate " + std::to_string(score > 0 ? moves : -moves);
}

// The move to play: the engine's when it is legal, else the first legal move.
std::optional<Move> PlayableMove(const Position& root, const Move& chosen) {
    if (!IsNoMove(chosen)) {
        if (std::optional<Move> legal = FindLegalMove(root, chosen)) return legal;
    }
    auto scratch = std::make_unique<Position>(root);
    const std::vector<Move> moves = LegalMoves(*scratch);
    if (moves.empty()) return std::nullopt;
    return moves.front();
}

}  // namespace

void SearchThread::Start(SearchJob job) {
    Stop();
    job_ = std::move(job);
    pondering_ = job_.pondering;
    release_ = false;
    softReached_ = false;
    SetDeadlines(job_.start, pondering_ ? TimeBudget{} : job_.budget);
    engine_.Stopper().Clear();
    thread_ = std::thread([this] { Run(); });
}

void SearchThread::Stop() {
    engine_.Stopper().Request();
    {
        std::lock_guard lock(mutex_);
        release_ = true;
    }
    released_.notify_all();
    Wait();
}

void SearchThread::PonderHit() {
    {
        std::lock_guard lock(mutex_);
        if (!pondering_) return;
        pondering_ = false;
        release_ = true;
        SetDeadlines(Clock::now(), job_.budget);
    }
    released_.notify_all();
}

void SearchThread::Wait() {
    if (thread_.joinable()) thread_.join();
}

void SearchThread::Finish() {
    if (job_.holdBestMove) return Stop();
    Wait();
}

void SearchThread::SetDeadlines(Clock::time_point from, const TimeBudget& budget) {
    softDeadline_ = DeadlineAfter(from, budget.softMs);
    hardDeadline_ = DeadlineAfter(from, budget.hardMs);
}

bool SearchThread::TimeIsUp() const {
    if (softReached_.load(std::memory_order_relaxed)) return true;
    const int64_t hard = hardDeadline_.load(std::memory_order_relaxed);
    return hard != kNever && Ticks(Clock::now()) >= hard;
}

void SearchThread::Report(const engine::SearchProgress& progress) {
    const int64_t ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - job_.start).count();
    const uint64_t nps = progress.nodes * 1000 / static_cast<uint64_t>(std::max<int64_t>(ms, 1));
    std::string line = "info depth " + std::to_string(progress.depth) + " score " +
                       ScoreText(progress.score) + " nodes " + std::to_string(progress.nodes) +
                       " nps " + std::to_string(nps) + " time " + std::to_string(ms) +
                       " hashfull " + std::to_string(engine_.TablePermille()) + " pv";
    for (const Move& move : progress.pv) line += " " + UciMoveText(move);
    SendLine(line);
    // Past the soft limit no new depth begins: the stop test ends the next one at once.
    const int64_t soft = softDeadline_.load(std::memory_order_relaxed);
    if (soft != kNever && Ticks(Clock::now()) >= soft) softReached_ = true;
}

void SearchThread::HoldBestMove() {
    std::unique_lock lock(mutex_);
    if (!job_.holdBestMove) return;
    released_.wait(lock, [this] { return release_; });
}

void SearchThread::Run() {
    const Position& root = *job_.game.position;
    Move chosen;
    if (HasLegalMove(root)) {
        engine::SearchLimits limits;
        if (job_.level) {
            limits = *job_.level;
        } else {
            limits.maxDepth = job_.maxDepth;
            limits.effortClock = false;
            limits.nodes = job_.nodes;
        }
        limits.stopWhen = [this] { return TimeIsUp(); };
        limits.onProgress = [this](const engine::SearchProgress& progress) { Report(progress); };
        chosen = engine_.Choose(root, *job_.game.history, limits).move;
    } else {
        SendLine((root.flags & kInCheck) != 0 ? "info depth 0 score mate 0"
                                              : "info depth 0 score cp 0");
    }
    HoldBestMove();
    const std::optional<Move> move = PlayableMove(root, chosen);
    SendLine("bestmove " + (move ? UciMoveText(*move) : std::string("0000")));
}

}  // namespace tarvex::uci
