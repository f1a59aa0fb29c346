// Undo and replay: the game is rebuilt from its start position by playing the recorded moves
// again, each one checked and made as it was the first time.
#include <algorithm>
#include <memory>

#include "core/console.h"
#include "core/error_report.h"
#include "core/settings.h"
#include "game/game_controller.h"
#include "game/game_flow.h"
#include "moves/key_history.h"
#include "moves/line_tables.h"
#include "moves/make_move.h"
#include "moves/position_setup.h"
#include "moves/promotion.h"

namespace tarvex {

unsigned GameController::FirstPly() const {
    return game_->block.startEdited != 0 ? game_->block.start.ply : 0;
}

bool GameController::Rebuild(unsigned target, bool storeTexts, const char* illegal) {
    GameBlock& block = game_->block;
    if (block.startEdited != 0) {
        block.current = block.start;
        ClearCaptured(block.captured);
    } else {
        SetUpGame(block, 0, hooks_.setUp);
    }
    Position& p = block.current;
    if (BuildPosition(p) == 0) return false;
    BuildLineTables(p);
    UserMoveScope replayed(false);  // recorded moves carry their promotion piece
    for (unsigned ply = FirstPly(); ply < target; ++ply) {
        Move move = block.record[ply];
        if (LegalMove(p, &move) == 0) {
            ErrorReport(kStable, illegal);
            break;
        }
        auto before = std::make_unique<Position>(p);
        if (MakeMove(p, p, move) == 0) break;
        p.flags &= ~(kWhitePromoted | kBlackPromoted);
        if (move.kind == 'x' || move.kind == 'e') {
            int captured = before->board[move.to];
            const int mover = before->board[move.from];
            if (captured == 0 && (mover == kPawn || mover == -kPawn)) captured = -mover;
            if (captured != 0) RecordCapture(block.captured, captured);
        }
        if (storeTexts) StoreMoveText(*game_, move, p.ply);
    }
    return true;
}

void GameController::Undo(int count) {
    StopEngine();
    KeyHistoryScope history(game_->block.keyHistory);
    const long wanted = static_cast<long>(game_->block.current.ply) - count;
    const unsigned target = static_cast<unsigned>(std::max<long>(wanted, FirstPly()));
    const bool rebuilt = Rebuild(target, true, "Illegal move in game undo");
    // The engine plays nobody after an undo (set after the set-up, which gives it Black).
    Settings& settings = GetSettings();
    settings.engineSide.store(0);
    settings.playsBoth.store(0);
    game_->block.playsBoth = 0;
    settings.stopRequest.store(1);
    if (rebuilt && count != 0) ConsolePrint("\nmove undone");
    Redraw();
    StartEngine();
}

void GameController::Replay(int step) {
    Position& p = game_->block.current;
    const unsigned plies = p.ply;
    int& index = game_->replayIndex;
    if (index == kNoReplay) {
        index = static_cast<int>(plies);
        StopEngine();
    } else {
        index = std::clamp(index + step, static_cast<int>(FirstPly()), static_cast<int>(plies));
    }
    KeyHistoryScope history(game_->block.keyHistory);
    Rebuild(static_cast<unsigned>(index), false, "What? Illegal move in game replay?\n");
    p.ply = plies;
    Settings& settings = GetSettings();
    settings.engineSide.store(0);
    settings.playsBoth.store(0);
    game_->block.playsBoth = 0;
    settings.stopRequest.store(1);
    Redraw();
}

void GameController::EndReplay() {
    if (game_->replayIndex != kNoReplay) Undo(0);
    game_->replayIndex = kNoReplay;
}

}  // namespace tarvex
