// Restoring a saved game: the controller takes a checked save image as its game.
#include <algorithm>
#include <iterator>

#include "game/game_controller.h"
#include "game/game_setup.h"
#include "game/save_check.h"
#include "game/save_layout.h"

namespace tarvex {

void GameController::RestoreImage(const SaveImage& image) {
    std::lock_guard lock(mutex_);
    GameBlock& block = game_->block;
    options_.rules = image.rules;
    options_.spread = image.spread;
    options_.engineSide = image.engineSide;
    if (!image.olderLayout) options_.notation = image.notation;
    // The older layout holds no difficulty: the game is played Easy.
    SetDifficultyLocked(image.olderLayout ? kDifficultyEasy : image.difficulty);
    // A standard start is set up afresh by the rebuild; an edited one is copied.
    if (image.startEdited != 0 && hooks_.setUp.clearEngineTables) {
        hooks_.setUp.clearEngineTables();
    }
    if (hooks_.setUp.clearHighlights) hooks_.setUp.clearHighlights();
    // Of the current position only the game kind and the ply count: the rebuild makes the rest.
    block.current = image.current;
    block.current.gameKind = image.gameKind;
    RestoredStartPosition(image, block.start);
    block.startEdited = image.startEdited;
    std::copy(std::begin(image.record), std::end(image.record), std::begin(block.record));
    block.keyHistory = image.keyHistory;
    game_->texts = MoveTextTable{};
    game_->replayIndex = kNoReplay;
    posted_.reset();
    block.playsBoth = image.playsBoth;
    // The rebuild stands the engine down, as every undo does.
    UndoLocked(0);
}

}  // namespace tarvex
