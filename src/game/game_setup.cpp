#include "game/game_setup.h"

#include "core/settings.h"
#include "rules/initial_position.h"
#include "rules/position_setup.h"

namespace tarvex {

void ClearCaptured(CapturedList& captured) {
    captured = CapturedList{};
}

void RecordCapture(CapturedList& captured, int code) {
    if (captured.count >= kCapturedCapacity) return;
    captured.codes[captured.count++] = static_cast<int8_t>(code);
    const bool pawn = code == kPawn || code == -kPawn;
    if (code > 0) (pawn ? captured.whitePawns : captured.whiteMen)++;
    if (code < 0) (pawn ? captured.blackPawns : captured.blackMen)++;
}

int SetUpGame(GameBlock& game, int gameKind, int rules, int resetView, const SetUpHooks& hooks) {
    Settings& settings = GetSettings();
    game.playsBoth = 0;
    game.engineScore = 0;
    settings.engineSide.store(-1);
    settings.spread.store(kSpreadPiece);
    if (hooks.clearEngineTables) hooks.clearEngineTables();
    ClearPosition(game.current, gameKind, rules);
    ClearPosition(game.start, gameKind, rules);
    game.startEdited = 0;
    game.current.flags = kCastlingRights;
    WriteInitialPlacement(game.current);
    ClearCaptured(game.captured);
    if (BuildPosition(game.current) == 0) return 0;
    if (hooks.setStage) hooks.setStage(game.current);
    if (hooks.clearHighlights) hooks.clearHighlights();
    if (resetView == 1 && hooks.resetView) hooks.resetView();
    return 1;
}

}  // namespace tarvex
