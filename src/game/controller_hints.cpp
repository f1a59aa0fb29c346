// The game controller's hint and thoughts line: a move suggested to the user, found by the
// engine's search without touching the game, and the engine's report of each completed depth.
// Both are kept under their own lock: the engine thread writes them, the window's redraw reads
// them.
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/console.h"
#include "game/game_controller.h"
#include "game/thoughts.h"

namespace tarvex {

// ---- the hint ----

void GameController::RequestHint() {
    std::lock_guard lock(mutex_);
    if (!UsersTurn()) return;
    std::lock_guard shown(shownMutex_);
    // A search for the same request already runs: its answer is the hint.
    if (hintSearching_ && hintSearchRequest_ == hintRequest_.load()) return;
    hint_.reset();
    hintRequested_ = true;
    shownChanges_.fetch_add(1);
}

bool GameController::FindHint(engine::MoveChooser& chooser) {
    auto job = std::make_unique<EngineJob>();
    {
        std::lock_guard lock(mutex_);
        if (!UsersTurn()) return false;
        FillJob(*job, true);
    }
    chooser.Stopper().Clear();
    const engine::SearchResult result = chooser.Choose(job->root, job->history, LimitsOf(*job));
    std::lock_guard lock(mutex_);
    if (IsNoMove(result.move) || job->serial != serial_) return false;
    return KeepHint(result.move, std::nullopt);
}

void GameController::TakeHintResult(const EngineResult& result) {
    {
        std::lock_guard shown(shownMutex_);
        hintSearching_ = false;
    }
    if (result.serial != serial_ || IsNoMove(result.move) || !UsersTurn()) return;
    KeepHint(result.move, result.hintRequest);
}

bool GameController::KeepHint(const Move& move, std::optional<uint64_t> request) {
    GameHint hint{move, MoveTextOf(Current(), move, options_.notation)};
    if (hint.text.empty()) return false;
    std::lock_guard shown(shownMutex_);
    // The request was withdrawn meanwhile (the hint was cleared).
    if (request && *request != hintRequest_.load()) return false;
    hint_ = std::move(hint);
    shownChanges_.fetch_add(1);
    return true;
}

std::optional<GameHint> GameController::CurrentHint() const {
    std::lock_guard lock(shownMutex_);
    return hint_;
}

void GameController::ClearHint() {
    std::lock_guard lock(shownMutex_);
    if (hint_ || hintRequested_ || hintSearching_) shownChanges_.fetch_add(1);
    hintRequest_.fetch_add(1);
    hintRequested_ = false;
    hint_.reset();
}

void GameController::WithdrawHint() {
    std::lock_guard lock(shownMutex_);
    hintRequest_.fetch_add(1);
    hintRequested_ = false;
    hint_.reset();
}

// ---- the thoughts ----

void GameController::SetThoughtsShown(bool on) {
    std::lock_guard lock(shownMutex_);
    thoughtsShown_ = on;
    shownChanges_.fetch_add(1);
}

bool GameController::ThoughtsShown() const {
    std::lock_guard lock(shownMutex_);
    return thoughtsShown_;
}

std::string GameController::ThoughtsLine() const {
    std::lock_guard lock(shownMutex_);
    return thoughtsLine_;
}

void GameController::ReportThoughts(const std::string& line) {
    bool shown = false;
    {
        std::lock_guard lock(shownMutex_);
        thoughtsLine_ = line;
        shown = thoughtsShown_;
    }
    shownChanges_.fetch_add(1);
    if (shown) ConsolePrint("\n%s", line.c_str());
}

}  // namespace tarvex
