// Restoring a saved game: the controller takes a checked save image as its game.
#include <algorithm>
#include <iterator>

#include "core/settings.h"
#include "game/game_controller.h"
#include "game/game_setup.h"
#include "game/save_check.h"
#include "game/save_layout.h"

namespace tarvex {

void GameController::RestoreImage(const SaveImage& image) {
    StopEngine();
    {
        std::lock_guard lock(mutex_);
        Settings& settings = GetSettings();
        GameBlock& block = game_->block;
        // The set-up with the view reset, as for a 2D game: the settings the file does not hold
        // (axes, captured display, z-angle) come from the reset.
        settings.gameKind.store(kGame2D);
        SetUpGame(block, kGame2D, settings.rules.load(), 1, hooks_.setUp);

        settings.gameKind.store(image.gameKind);
        settings.rules.store(image.rules);
        settings.spread.store(image.spread);
        settings.transparency.store(image.transparency);
        settings.engineSide.store(image.engineSide);
        if (!image.olderLayout) settings.notation.store(image.notation);
        settings.scale.store(image.scale);
        settings.projection.store(image.projection);
        settings.xAngle.store(image.xAngle);
        settings.yAngle.store(image.yAngle);
        settings.stopRequest.store(image.stopRequest);
        // Of the current position only the ply counts: the rebuild makes the rest.
        block.current = image.current;
        RestoredStartPosition(image, block.start);
        block.startEdited = image.startEdited;
        std::copy(std::begin(image.record), std::end(image.record), std::begin(block.record));
        block.keyHistory = image.keyHistory;
        block.playsBoth = image.playsBoth;
        // The older layout holds no difficulty: the game is played Easy.
        SetDifficulty(image.olderLayout ? kDifficultyEasy : image.difficulty);

        game_->texts = MoveTextTable{};
        game_->replayIndex = kNoReplay;
        posted_.reset();
        UndoLocked(0);
    }
    Redraw();
}

}  // namespace tarvex
