// Undo and replay: the game is rebuilt from its start position by playing the recorded moves
// again, each one checked and made as it was the first time.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/console.h"
#include "core/error_report.h"
#include "game/game_controller.h"
#include "game/game_flow.h"
#include "rules/make_move.h"
#include "rules/position_setup.h"

namespace tarvex {

unsigned GameController::FirstPly() const {
    return game_->block.startEdited != 0 ? game_->block.start.ply : 0;
}

bool GameController::Rebuild(unsigned target, bool storeTexts, const char* illegal) {
    GameBlock& block = game_->block;
    block.engineScore = 0;  // the rebuilt positions carry no engine score
    if (block.startEdited != 0) {
        block.current = block.start;
        ClearCaptured(block.captured);
    } else {
        SetUpFresh(block.current.gameKind, false);
    }
    Position& p = block.current;
    if (!BuildPosition(p, MovedStartPawns(p))) return false;
    // Recorded moves carry their promotion piece: nobody is asked again.
    const MoveContext context = GameContext(false);
    MoveEntry entry;
    entry.announce = false;
    entry.writeText = storeTexts;
    for (unsigned ply = FirstPly(); ply < target; ++ply) {
        if (!EnterMove(*game_, block.record[ply], context, options_.notation, entry)) {
            ErrorReport(kStable, illegal);
            break;
        }
    }
    return true;
}

void GameController::Undo(int count) {
    StopEngine();
    {
        std::lock_guard lock(mutex_);
        UndoLocked(count);
    }
    StartEngine();
}

void GameController::UndoLocked(int count) {
    const long wanted = static_cast<long>(game_->block.current.ply) - count;
    const unsigned target = static_cast<unsigned>(std::max<long>(wanted, FirstPly()));
    const bool rebuilt = Rebuild(target, true, "Illegal move in game undo");
    // The engine plays nobody after an undo (set after the set-up, which gives it Black).
    StandDown();
    if (rebuilt && count != 0) ConsolePrint("\nmove undone");
    Changed();
}

void GameController::Replay(int step) {
    StopEngine();
    {
        std::lock_guard lock(mutex_);
        Position& p = game_->block.current;
        const unsigned plies = p.ply;
        int& index = game_->replayIndex;
        if (index == kNoReplay) {
            index = static_cast<int>(plies);
        } else {
            index = std::clamp(index + step, static_cast<int>(FirstPly()), static_cast<int>(plies));
        }
        Rebuild(static_cast<unsigned>(index), false, "What? Illegal move in game replay?\n");
        p.ply = plies;
        StandDown();
        Changed();
    }
    // The engine thread stays stopped until the replay ends.
}

void GameController::EndReplay() {
    if (game_->replayIndex == kNoReplay) return;
    {
        std::lock_guard lock(mutex_);
        game_->replayIndex = kNoReplay;
    }
    Undo(0);
}

}  // namespace tarvex
