#include "game/game_controller.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "board/dir_to.h"
#include "core/console.h"
#include "core/error_report.h"
#include "core/settings.h"
#include "engine/evaluation.h"
#include "game/banner.h"
#include "game/engine_thread.h"
#include "game/game_flow.h"
#include "game/game_listing.h"
#include "rules/attack_generation.h"
#include "rules/attacks.h"
#include "rules/line_tables.h"
#include "rules/position_setup.h"

namespace tarvex {

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

void GameController::Redraw() {
    if (hooks_.redraw) hooks_.redraw();
}

MoveContext GameController::GameContext(bool user) {
    return MoveContext{&game_->block.keyHistory, user ? chooser_ : nullptr, user, &evaluator_};
}

void GameController::NewGame(int kind) {
    StopEngine();
    {
        std::lock_guard lock(mutex_);
        Settings& settings = GetSettings();
        const int difficulty = settings.difficulty.load();
        *game_ = Game{};
        settings.gameKind.store(kind);
        SetDifficulty(difficulty);
        ResetBoardHashes();
        SetUpGame(game_->block, kind, settings.rules.load(), 1, hooks_.setUp);
        Changed();
    }
    PrintBanner();
    Redraw();
    StartEngine();
}

void GameController::NewGameOfCurrentKind() {
    StopEngine();
    PrintBanner();
    {
        std::lock_guard lock(mutex_);
        const Settings& settings = GetSettings();
        SetUpGame(game_->block, settings.gameKind.load(), settings.rules.load(), 1, hooks_.setUp);
        game_->texts = MoveTextTable{};
        game_->replayIndex = kNoReplay;
        Changed();
    }
    Redraw();
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
    Redraw();
    StartEngine();
}

int GameController::UserMove(Move move) {
    EndReplay();
    std::lock_guard lock(mutex_);
    const int result = PlayerMoved(*game_, move, GameContext(true), GetSettings().notation.load());
    Changed();
    Redraw();
    return result;
}

int GameController::CommitEngineMove(Move move, int score) {
    std::lock_guard lock(mutex_);
    const int result = CommitLocked(move, score);
    Changed();
    Redraw();
    return result;
}

// The engine loop's commit: the game-end test before the move, the engine's give-up paths, the
// game-end test after it, and the gate.
int GameController::CommitLocked(Move move, int score) {
    Settings& settings = GetSettings();
    Position& p = game_->block.current;
    p.winner = 0;
    if (FindWinner(*game_, nullptr)) {
        // Decided before the engine moves (it is mated, stalemated or the position repeats):
        // the verdict stands and the engine stands down.
        EngineStandsDown(game_->block);
        return 0;
    }
    if (IsNoMove(move)) {
        TarvexLoses("MoveThread after");
        return 0;
    }
    game_->block.engineScore = score * SideSign(p);
    FindWinner(*game_, &move);
    if (LegalMove(p, &move) == 0) {
        TarvexLoses("engine burp");
        return 0;
    }
    const int result = PlayerMoved(*game_, move, GameContext(false), settings.notation.load());
    if (result == 0) TarvexLoses("Tarvex made a legal but illegal move");
    settings.stopRequest.store(0);
    return result;
}

void GameController::TarvexLoses(const char* text) {
    std::lock_guard lock(mutex_);
    ErrorReport(kStable, text);
    ConsolePrint(GetSettings().engineSide.load() == 1 ? "\nTarvexLoses:White"
                                                      : "\nTarvexLoses:Black");
    // The user wins, whichever side the engine played.
    const int engineSide = GetSettings().engineSide.load();
    EngineStandsDown(game_->block);
    game_->block.current.winner = engineSide == 1 ? -1 : 1;
    Changed();
    Redraw();
}

void GameController::ListGame() {
    if (game_->texts.texts[0][0] == 0) Undo(0);
    PrintMoveList(*game_, nullptr);
    ConsolePrint("\n");
}

void GameController::SetRules(int rules) {
    std::lock_guard lock(mutex_);
    GetSettings().rules.store(rules);
    GameBlock& block = game_->block;
    block.start.rules = rules;
    Position& p = block.current;
    p.rules = rules;
    // The rules decide how far pieces reach: the attack data and the check follow at once.
    AttachGeometry(p);
    RegenerateAttacks(p, &evaluator_);
    const bool inCheck = WhiteToMove(p) ? WhiteInCheck(p) : BlackInCheck(p);
    p.flags = inCheck ? p.flags | kInCheck : p.flags & ~kInCheck;
    Changed();
    Redraw();
}

void GameController::SetNotation(int notation) {
    GetSettings().notation.store(notation);
    Redraw();
}

void GameController::SetDifficulty(int difficulty) {
    const int stored = difficulty == kDifficultyMedium || difficulty == kDifficultyHard
                           ? difficulty
                           : kDifficultyEasy;
    GetSettings().difficulty.store(stored);
    if (hooks_.difficulty) hooks_.difficulty(stored);
}

// Who plays changes nothing on the board: a move the engine has found stays valid.
void GameController::SetEngineSide(int side, bool raiseStop) {
    std::lock_guard lock(mutex_);
    Settings& settings = GetSettings();
    settings.engineSide.store(side);
    game_->block.playsBoth = 0;
    if (raiseStop) settings.stopRequest.store(1);
}

void GameController::SetPlaysBoth(bool on, bool raiseStop) {
    std::lock_guard lock(mutex_);
    game_->block.playsBoth = on ? 1 : 0;
    if (raiseStop) GetSettings().stopRequest.store(1);
}

// ---- the engine ----

void GameController::Tick() {
    std::lock_guard lock(mutex_);
    std::optional<EngineResult> result;
    result.swap(posted_);
    // A move found for an earlier state of the game (the user moved meanwhile) is dropped.
    if (result && result->serial == serial_) CommitEngineMove(result->move, result->score);
    // Plays both: after each of its moves the engine is handed the side to move.
    Settings& settings = GetSettings();
    const Position& p = Current();
    if (game_->block.playsBoth != 0 && p.winner == 0 && SideSign(p) != settings.engineSide.load()) {
        settings.stopRequest.store(1);
        settings.engineSide.store(SideSign(p));
    }
}

bool GameController::PlayEngineMove(engine::MoveChooser& chooser) {
    auto job = std::make_unique<EngineJob>();
    if (!TakeEngineJob(*job)) return false;
    const Settings& settings = GetSettings();
    engine::SearchLimits limits;
    limits.maxDepth = job->difficulty;
    limits.stopWhen = [&settings] {
        return settings.stopRequest.load(std::memory_order_relaxed) != 0 ||
               settings.engineSide.load(std::memory_order_relaxed) == 0;
    };
    chooser.Stopper().Clear();
    const engine::SearchResult result = chooser.Choose(job->root, job->history, limits);
    CommitEngineMove(result.move, result.score);
    return true;
}

bool GameController::TakeEngineJob(EngineJob& job) {
    std::lock_guard lock(mutex_);
    Settings& settings = GetSettings();
    const Position& p = game_->block.current;
    if (posted_ || game_->replayIndex != kNoReplay || p.winner != 0 ||
        settings.engineSide.load() != SideSign(p)) {
        return false;
    }
    job.root = p;
    job.history = game_->block.keyHistory;
    job.difficulty = settings.difficulty.load();
    job.serial = serial_;
    // A stop requested before the search begins is forgotten.
    settings.stopRequest.store(0);
    return true;
}

void GameController::PostEngineResult(const EngineResult& result) {
    std::lock_guard lock(mutex_);
    posted_ = result;
}

void GameController::DiscardEngineResult() {
    std::lock_guard lock(mutex_);
    posted_.reset();
}

}  // namespace tarvex
