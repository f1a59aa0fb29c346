#include "game/game_controller.h"

#include "board/dir_to.h"
#include "core/console.h"
#include "core/error_report.h"
#include "core/settings.h"
#include "game/banner.h"
#include "game/game_flow.h"
#include "moves/key_history.h"
#include "moves/promotion.h"

namespace tarvex {

void ResetBoardHashes() {
    ConsolePrint("\nBoard Hashes Reset");
    ResetDirTableAnnouncements();
}

GameController::GameController(game::EngineThread* engine)
    : game_(std::make_unique<Game>()), engine_(engine) {}

void GameController::StopEngine() {
    if (engine_ != nullptr) engine_->Stop();
}

void GameController::StartEngine() {
    if (engine_ != nullptr) engine_->Start();
}

void GameController::Redraw() {
    if (hooks_.redraw) hooks_.redraw();
}

void GameController::NewGame(int kind) {
    StopEngine();
    Settings& settings = GetSettings();
    const int difficulty = settings.difficulty.load();
    *game_ = Game{};
    settings.gameKind.store(kind);
    const int stored = difficulty == kDifficultyMedium || difficulty == kDifficultyHard
                           ? difficulty
                           : kDifficultyEasy;
    settings.difficulty.store(stored);
    if (hooks_.difficulty) hooks_.difficulty(stored);
    ResetBoardHashes();
    {
        KeyHistoryScope history(game_->block.keyHistory);
        SetUpGame(game_->block, 1, hooks_.setUp);
    }
    PrintBanner();
    Redraw();
    StartEngine();
}

void GameController::NewGameOfCurrentKind() {
    PrintBanner();
    KeyHistoryScope history(game_->block.keyHistory);
    SetUpGame(game_->block, 1, hooks_.setUp);
}

int GameController::UserMove(Move move) {
    EndReplay();
    KeyHistoryScope history(game_->block.keyHistory);
    UserMoveScope user;
    const int result = PlayerMoved(*game_, move);
    Redraw();
    return result;
}

int GameController::CommitEngineMove(Move move) {
    KeyHistoryScope history(game_->block.keyHistory);
    Position& p = game_->block.current;
    p.winner = 0;
    if (FindWinner(*game_, nullptr)) {
        TarvexLoses("MoveThread: Tarvex cannot move");
        return 0;
    }
    if (IsNoMove(move)) {
        TarvexLoses("MoveThread after");
        return 0;
    }
    FindWinner(*game_, &move);
    int result = 0;
    if (LegalMove(p, &move)) {
        result = PlayerMoved(*game_, move);
        if (result == 0) TarvexLoses("Tarvex made a legal but illegal move");
        GetSettings().stopRequest.store(0);
    } else {
        TarvexLoses("engine burp");
    }
    Redraw();
    return result;
}

void GameController::TarvexLoses(const char* text) {
    Settings& settings = GetSettings();
    ErrorReport(kStable, text);
    ConsolePrint(settings.engineSide.load() == 1 ? "\nTarvexLoses:White" : "\nTarvexLoses:Black");
    settings.engineSide.store(0);
    game_->block.current.winner = 1;
    settings.stopRequest.store(1);
    Redraw();
}

void GameController::ListGame() {
    if (game_->texts.texts[0][0] == 0) Undo(0);
    const unsigned plies = game_->block.current.ply;
    for (unsigned n = 1; n <= plies && n <= kGameRecordSize; ++n) {
        if (n % 2 == 1) {
            ConsolePrint("\n%2d.", static_cast<int>((n - 1) / 2 + 1));
        } else {
            ConsolePrint(" -");
        }
        ConsolePrint(" %s", MoveTextAt(*game_, n));
    }
    ConsolePrint("\n");
}

}  // namespace tarvex
