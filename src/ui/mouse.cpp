#include "ui/mouse.h"

#include <GL/freeglut.h>

#include <memory>

#include "board/attack_boards.h"
#include "core/console.h"
#include "core/error_report.h"
#include "game/user_move.h"
#include "movegen/legal_moves.h"
#include "text/notation.h"
#include "ui/keyboard.h"
#include "ui/picking.h"
#include "ui/promotion_chooser.h"
#include "ui/view.h"

namespace tarvex::ui {
namespace {

bool IsSquare(unsigned pick) {
    return pick < kBoardSquares;
}

// freeglut reports the mouse wheel as two more buttons, one press and release a notch.
constexpr int kWheelUp = 3, kWheelDown = 4;
// A middle-button drag turns the view by this much a pixel.
constexpr float kDegreesPerPixel = 1.0f;

// The engine is to move: the user's second click is not taken.
bool EnginesTurn(const App& app) {
    return SideSign(app.controller.Current()) == app.controller.Options().engineSide;
}

void SelectBoard(App& app, unsigned board) {
    static constexpr const char* kNames[kBoardCount] = {"QL white", "QL black", "KL white",
                                                        "KL black"};
    const int index = BoardIndexOf(static_cast<int>(board));
    app.selection.value = board;
    ConsolePrint("\nselected %s", kNames[index]);
}

// Nothing is selected: the click selects a piece or an attack board.
void FirstClick(App& app, int x, int y) {
    Selection& s = app.selection;
    s.firstPick = Pick(app, x, y);
    const Position& p = app.controller.Current();
    if (IsSquare(s.firstPick)) {
        if (p.board[s.firstPick] != 0) {
            s.value = s.firstPick;
            ComputeHighlights(app);
        }
    } else if (IsAttackBoardId(static_cast<int>(s.firstPick))) {
        SelectBoard(app, s.firstPick);
    } else if (s.firstPick != kNothingSelected) {
        ErrorReport(kStable, "why default?");
    }
}

// A board is selected: the click names its new pin.
void BoardClick(App& app, int x, int y) {
    Selection& s = app.selection;
    s.secondPick = Pick(app, x, y);
    const Position& p = app.controller.Current();
    if (s.secondPick != s.firstPick && !EnginesTurn(app)) {
        PlayUserMove(app, BuildBoardMove(p, static_cast<int>(s.value), s.secondPick));
    }
    s.value = kNothingSelected;
}

// A square is selected: the click names the destination.
void SquareClick(App& app, int x, int y, bool shift) {
    Selection& s = app.selection;
    if (shift) return;
    s.value = kNothingSelected;
    s.ClearHighlights();
    s.secondPick = Pick(app, x, y);
    const Position& p = app.controller.Current();
    if (IsSquare(s.secondPick) && s.secondPick != s.firstPick && !EnginesTurn(app)) {
        PlayUserMove(app, BuildUserMove(p, s.firstPick, s.secondPick));
    }
}

// A promoting move whose piece the user has yet to choose.
bool NeedsPromotionChoice(const Position& p, const Move& move) {
    if (IsPromotionKind(move.kind)) return false;
    const auto legal = FindLegalMove(p, move);
    return legal && IsPromotion(p, move.piece, move.to, move);
}

}  // namespace

void PlayUserMove(App& app, const Move& move) {
    const Position& p = app.controller.Current();
    if (NeedsPromotionChoice(p, move)) {
        OpenPromotionChooser(app, move);
        return;
    }
    if (!app.controller.UserMove(move)) {
        auto texts = std::make_unique<MoveTextList>();
        GenerateMoveTexts(p, app.controller.Options().notation, *texts);
        ShowMessage(app, "illegal move %s\n", FindMoveText(*texts, move));
    }
}

void ComputeHighlights(App& app) {
    Selection& s = app.selection;
    s.ClearHighlights();
    if (!IsSquare(s.value)) return;
    const Position& p = app.controller.Current();
    const int spread = app.controller.Options().spread;
    if (spread == kSpreadOff) return;
    if (spread == kSpreadTeam) {
        const uint32_t own = WhiteToMove(p) ? kWhiteHalf : kBlackHalf;
        const int sign = SideSign(p);
        for (unsigned q = 0; q < kBoardSquares; ++q) {
            if ((p.attacks[q] & own) == 0) continue;
            if (p.board[q] == 0) s.highlights[q] = kHighlightAttacked;
            if (p.board[q] * sign < 0) s.highlights[q] = kHighlightOccupied;
        }
    }
    auto moves = std::make_unique<MoveBuffer>();
    const int count = GenerateDistinctMoves(p, moves->moves);
    for (int i = 0; i < count; ++i) {
        const Move& m = moves->moves[i];
        if (m.from != s.value || m.piece != p.board[s.value] || m.to >= kBoardSquares) continue;
        s.highlights[m.to] = p.board[m.to] != 0 ? kHighlightOccupied : kHighlightEmpty;
    }
}

void LeftPress(App& app, int x, int y, bool shift) {
    const EditAction action = app.view.editAction;
    if (action != EditAction::kNone) {
        app.view.editAction = EditAction::kNone;
        app.controller.ApplyEdit(action, Pick(app, x, y));
        return;
    }
    if (app.selection.value == kNothingSelected) {
        FirstClick(app, x, y);
    } else if (IsAttackBoardId(static_cast<int>(app.selection.value))) {
        BoardClick(app, x, y);
    } else {
        SquareClick(app, x, y, shift);
    }
}

void MouseDrag(int x, int y) {
    App& app = TheApp();
    ViewDrag& drag = app.drag;
    if (!drag.active) return;
    View& view = app.view;
    // Right turns as the Right arrow does, up as the Up arrow.
    view.yAngle = TurnedAngle(view.yAngle, kDegreesPerPixel * static_cast<float>(x - drag.x));
    view.xAngle = TurnedAngle(view.xAngle, kDegreesPerPixel * static_cast<float>(y - drag.y));
    drag.x = x;
    drag.y = y;
    glutPostRedisplay();
}

void MouseClick(int button, int state, int x, int y) {
    App& app = TheApp();
    if (app.filePrompt.open) return;  // the prompt takes keys only
    if (app.promotion.open) {
        if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN) PromotionChooserClick(app, x, y);
        glutPostRedisplay();
        return;
    }
    if (button == GLUT_RIGHT_BUTTON) return;
    if (button == GLUT_MIDDLE_BUTTON) {
        // Nothing to draw yet: the drag draws as it turns, and the timer redraws a cleared hint.
        if (state == GLUT_DOWN) app.controller.ClearHint();
        app.drag = {state == GLUT_DOWN, x, y};
        return;
    }
    if (button == kWheelUp || button == kWheelDown) {
        if (state == GLUT_DOWN) {
            Zoom(app.view, button == kWheelUp, (glutGetModifiers() & GLUT_ACTIVE_SHIFT) != 0);
            glutPostRedisplay();
        }
        return;
    }
    if (button != GLUT_LEFT_BUTTON) {
        ErrorReport(kStable, "unknown mouse button");
        return;
    }
    const bool replaying = app.controller.CurrentGame().replayIndex >= 0;
    app.controller.EndReplay();
    if (state == GLUT_DOWN) {
        app.controller.ClearHint();
        LeftPress(app, x, y, (glutGetModifiers() & GLUT_ACTIVE_SHIFT) != 0);
    } else if (state != GLUT_UP) {
        ErrorReport(kStable, "unknown bstate");
    }
    // A release changes nothing but an ended replay. Drawing again on every release would
    // wipe the message a refused move has just written, before the user could read it.
    if (state == GLUT_DOWN || replaying) glutPostRedisplay();
}

}  // namespace tarvex::ui
