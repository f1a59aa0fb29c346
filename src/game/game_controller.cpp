#include "game/game_controller.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "board/dir_to.h"
#include "core/console.h"
#include "core/error_report.h"
#include "engine/evaluation.h"
#include "game/banner.h"
#include "game/engine_thread.h"
#include "game/game_flow.h"
#include "game/game_listing.h"
#include "game/thoughts.h"
#include "rules/attack_generation.h"
#include "rules/attacks.h"
#include "rules/line_tables.h"
#include "rules/make_move.h"
#include "rules/position_setup.h"

namespace tarvex {
namespace {

// The men one side may have: the piece list's slots of a side.
constexpr int kMostMen = kBlackSlots;

}  // namespace

void ConnectEngine(GameController& controller, engine::MoveChooser& engine) {
    ControllerHooks hooks = controller.Hooks();
    hooks.setUp.clearEngineTables = [&engine] { engine.NewGame(); };
    hooks.setUp.setStage = [](Position& position) { engine::SetStage(position); };
    controller.SetHooks(std::move(hooks));
}

void ResetBoardHashes() {
    ConsolePrint("\nBoard Hashes Reset");
    ResetDirTableAnnouncements();
}

GameController::GameController() : game_(std::make_unique<Game>()) {}

GameController::~GameController() = default;

void GameController::StopEngine() {
    if (engineThread_ != nullptr) engineThread_->Stop();
}

void GameController::StartEngine() {
    if (engineThread_ != nullptr) engineThread_->Start();
}

void GameController::RequestStop() {
    if (engineThread_ != nullptr) engineThread_->RequestStop();
    // A move the search posts from now on belongs to an older state.
    Changed();
}

bool GameController::StopRequested() const {
    return engineThread_ != nullptr && engineThread_->StopRequested();
}

MoveContext GameController::GameContext(bool user) {
    return MoveContext{&game_->block.keyHistory, user ? chooser_ : nullptr, user, &evaluator_};
}

void GameController::SetUpFresh(int kind, bool resetView) {
    SetUpGame(game_->block, kind, options_.rules, resetView, hooks_.setUp);
    options_.engineSide = -1;
    options_.spread = kSpreadPiece;
}

void GameController::StandDown() {
    options_.engineSide = 0;
    game_->block.playsBoth = 0;
    RequestStop();
}

void GameController::NewGame(int kind) {
    StopEngine();
    {
        std::lock_guard lock(mutex_);
        *game_ = Game{};
        SetDifficultyLocked(options_.difficulty);
        ResetBoardHashes();
        SetUpFresh(kind, true);
        Changed();
    }
    PrintBanner();
    StartEngine();
}

void GameController::NewGameOfCurrentKind() {
    StopEngine();
    PrintBanner();
    {
        std::lock_guard lock(mutex_);
        SetUpFresh(game_->block.current.gameKind, true);
        game_->texts = MoveTextTable{};
        game_->replayIndex = kNoReplay;
        Changed();
    }
    StartEngine();
}

void GameController::SetUpPosition(const Position& position) {
    StopEngine();
    {
        std::lock_guard lock(mutex_);
        GameBlock& block = game_->block;
        // Nothing of the game before survives: no earlier key may count as a repetition.
        std::fill(std::begin(block.record), std::end(block.record), Move{});
        block.keyHistory = KeyHistory{};
        block.current = position;
        AttachGeometry(block.current);
        block.current.winner = 0;
        block.start = block.current;
        block.startEdited = 1;
        ClearCaptured(block.captured);
        game_->texts = MoveTextTable{};
        game_->replayIndex = kNoReplay;
        Changed();
    }
    StartEngine();
}

bool GameController::UserMove(Move move) {
    EndReplay();
    std::lock_guard lock(mutex_);
    const bool entered = EnterMove(*game_, move, GameContext(true), options_.notation, MoveEntry{});
    if (!entered) return false;  // nothing changed
    if (game_->block.current.winner != 0) StandDown();
    Changed();
    return true;
}

bool GameController::CommitEngineMove(Move move, int score) {
    std::lock_guard lock(mutex_);
    const bool result = CommitLocked(move, score);
    Changed();
    return result;
}

// The engine loop's commit: the verdicts that stand before the move, the engine's give-up
// paths, and the move's way into the game with the verdict on its result.
bool GameController::CommitLocked(Move move, int score) {
    Position& p = game_->block.current;
    p.winner = 0;
    // Decided before the engine moves (it is mated, stalemated or the position repeats): the
    // verdict stands and the engine stands down.
    const bool decided = DecidedBeforeMove(*game_) || (IsNoMove(move) && DecidedByNoMove(*game_));
    if (decided) {
        StandDown();
        return false;
    }
    if (IsNoMove(move)) {
        TarvexLosesLocked("MoveThread after");
        return false;
    }
    game_->block.engineScore = score * SideSign(p);
    MoveEntry entry;
    entry.judge = true;
    if (!EnterMove(*game_, move, GameContext(false), options_.notation, entry)) {
        TarvexLosesLocked("engine burp");
        return false;
    }
    if (p.winner != 0) StandDown();
    return true;
}

void GameController::TarvexLoses(const char* text) {
    std::lock_guard lock(mutex_);
    TarvexLosesLocked(text);
}

void GameController::TarvexLosesLocked(const char* text) {
    ErrorReport(kStable, text);
    const int engineSide = options_.engineSide;
    ConsolePrint(engineSide == 1 ? "\nTarvexLoses:White" : "\nTarvexLoses:Black");
    // The user wins, whichever side the engine played.
    StandDown();
    game_->block.current.winner = engineSide == 1 ? -1 : 1;
    Changed();
}

void GameController::ListGame() {
    if (game_->texts.texts[0][0] == 0) Undo(0);
    PrintMoveList(*game_, nullptr);
    ConsolePrint("\n");
}

void GameController::SetRules(int rules) {
    std::lock_guard lock(mutex_);
    options_.rules = rules;
    GameBlock& block = game_->block;
    block.start.rules = rules;
    Position& p = block.current;
    p.rules = rules;
    // The rules decide how far pieces reach: the attack data and the check follow at once.
    AttachGeometry(p);
    RegenerateAttacks(p, &evaluator_);
    MarkInCheck(p);
    Changed();
}

void GameController::SetNotation(int notation) {
    std::lock_guard lock(mutex_);
    options_.notation = notation;
    Changed();
}

void GameController::SetDifficulty(int difficulty) {
    std::lock_guard lock(mutex_);
    SetDifficultyLocked(difficulty);
}

void GameController::SetDifficultyLocked(int difficulty) {
    const int stored = difficulty == kDifficultyMedium || difficulty == kDifficultyHard
                           ? difficulty
                           : kDifficultyEasy;
    options_.difficulty = stored;
    if (hooks_.difficulty) hooks_.difficulty(stored);
}

void GameController::SetEngineSide(int side, bool raiseStop) {
    std::lock_guard lock(mutex_);
    options_.engineSide = side;
    game_->block.playsBoth = 0;
    if (raiseStop) RequestStop();
    Changed();
}

void GameController::SetPlaysBoth(bool on, bool raiseStop) {
    std::lock_guard lock(mutex_);
    game_->block.playsBoth = on ? 1 : 0;
    if (raiseStop) RequestStop();
    // The engine takes the side to move at once, so that the window says whose move it is.
    const Position& p = game_->block.current;
    if (on && p.winner == 0) options_.engineSide = SideSign(p);
    Changed();
}

// ---- the engine ----

std::string GameController::UnplayableReason() const {
    const Position& p = game_->block.current;
    int whiteKings = 0, blackKings = 0, whiteMen = 0, blackMen = 0;
    for (const int code : p.board) {
        whiteKings += code == kKing;
        blackKings += code == -kKing;
        whiteMen += code > 0;
        blackMen += code < 0;
    }
    if (whiteKings == 0) return "White has no king";
    if (blackKings == 0) return "Black has no king";
    if (whiteMen > kMostMen) return "White has over 16 men";
    if (blackMen > kMostMen) return "Black has over 16 men";
    if (WhiteToMove(p) && BlackInCheck(p)) return "Black in check, White to move";
    if (BlackToMove(p) && WhiteInCheck(p)) return "White in check, Black to move";
    return "";
}

void GameController::Tick() {
    std::lock_guard lock(mutex_);
    std::optional<EngineResult> result;
    result.swap(posted_);
    if (result && result->hint) {
        TakeHintResult(*result);
        result.reset();
    }
    const Position& p = Current();
    // A move found for an earlier state of the game (the user moved, or the search was told to
    // stop) or for a side the engine no longer plays is dropped.
    if (result && result->serial == serial_ && options_.engineSide == SideSign(p) &&
        game_->replayIndex == kNoReplay) {
        CommitLocked(result->move, result->score);
        Changed();
    }
    // Plays both: after each of its moves the engine is handed the side to move.
    if (game_->block.playsBoth != 0 && p.winner == 0 && SideSign(p) != options_.engineSide) {
        options_.engineSide = SideSign(p);
        RequestStop();
    }
    // A position the engine cannot search (an edit left it so): it stands down and says why.
    if (p.winner == 0 && options_.engineSide == SideSign(p) && game_->replayIndex == kNoReplay) {
        const std::string reason = UnplayableReason();
        if (!reason.empty()) {
            const std::string text = "I cannot play from here: " + reason;
            ConsolePrint("\n%s", text.c_str());
            if (hooks_.cannotPlay) hooks_.cannotPlay(text.c_str());
            StandDown();
        }
    }
}

bool GameController::PlayEngineMove(engine::MoveChooser& chooser) {
    auto job = std::make_unique<EngineJob>();
    {
        std::lock_guard lock(mutex_);
        if (posted_ || !EnginesTurn()) return false;
        FillJob(*job, false);
    }
    chooser.Stopper().Clear();
    const engine::SearchResult result = chooser.Choose(job->root, job->history, LimitsOf(*job));
    CommitEngineMove(result.move, result.score);
    return true;
}

bool GameController::EnginesTurn() const {
    const Position& p = game_->block.current;
    return game_->replayIndex == kNoReplay && p.winner == 0 && options_.engineSide == SideSign(p) &&
           UnplayableReason().empty();
}

bool GameController::UsersTurn() const {
    const Position& p = game_->block.current;
    return game_->replayIndex == kNoReplay && p.winner == 0 && game_->block.playsBoth == 0 &&
           options_.engineSide != SideSign(p) && !PlyLimitReached(p) && UnplayableReason().empty();
}

void GameController::FillJob(EngineJob& job, bool hint) const {
    job.root = game_->block.current;
    job.history = game_->block.keyHistory;
    job.difficulty = options_.difficulty;
    job.thinking = options_.thinking;
    job.notation = options_.notation;
    job.serial = serial_;
    job.hint = hint;
}

bool GameController::TakeEngineJob(EngineJob& job) {
    std::lock_guard lock(mutex_);
    if (posted_) return false;
    bool hint = false;
    uint64_t request = 0;
    {
        std::lock_guard shown(shownMutex_);
        if (hintRequested_ && UsersTurn()) {
            hintRequested_ = false;
            hintSearching_ = true;
            hint = true;
            request = hintSearchRequest_ = hintRequest_.load();
        }
    }
    if (!hint && !EnginesTurn()) return false;
    FillJob(job, hint);
    job.hintRequest = request;
    return true;
}

engine::SearchLimits GameController::LimitsOf(const EngineJob& job) {
    engine::SearchLimits limits = LimitsFor(job.difficulty, job.thinking);
    limits.onProgress = [this, &job](const engine::SearchProgress& progress) {
        ReportThoughts(ThoughtsText(job.root, progress, job.notation));
    };
    return limits;
}

bool GameController::HintWithdrawn(const EngineJob& job) const {
    return job.hint && hintRequest_.load(std::memory_order_relaxed) != job.hintRequest;
}

void GameController::PostEngineResult(const EngineResult& result) {
    std::lock_guard lock(mutex_);
    posted_ = result;
}

void GameController::DiscardEngineResult() {
    std::lock_guard lock(mutex_);
    posted_.reset();
    // A hint search is never posted after a stop of the thread.
    std::lock_guard shown(shownMutex_);
    hintSearching_ = false;
}

void GameController::SetThinkingTime(ThinkingTime thinking) {
    std::lock_guard lock(mutex_);
    options_.thinking = thinking;
}

}  // namespace tarvex
