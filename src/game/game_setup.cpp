#include "game/game_setup.h"

#include "rules/attacks.h"
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

bool SetUpGame(GameBlock& game, int gameKind, int rules, bool resetView, const SetUpHooks& hooks) {
    game.playsBoth = 0;
    game.engineScore = 0;
    if (hooks.clearEngineTables) hooks.clearEngineTables();
    ClearPosition(game.current, gameKind, rules);
    ClearPosition(game.start, gameKind, rules);
    game.startEdited = 0;
    game.current.flags = kCastlingRights;
    WriteInitialPlacement(game.current);
    ClearCaptured(game.captured);
    if (!BuildPosition(game.current)) return false;
    if (hooks.setStage) hooks.setStage(game.current);
    if (hooks.clearHighlights) hooks.clearHighlights();
    if (resetView && hooks.resetView) hooks.resetView();
    return true;
}

void MarkInCheck(Position& p) {
    const bool inCheck = WhiteToMove(p) ? WhiteInCheck(p) : BlackInCheck(p);
    p.flags = inCheck ? p.flags | kInCheck : p.flags & ~kInCheck;
}

}  // namespace tarvex
