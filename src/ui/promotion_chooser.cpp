#include "ui/promotion_chooser.h"

#include <GL/freeglut.h>

#include "ui/mouse.h"
#include "ui/panel.h"

namespace tarvex::ui {
namespace {

// The panel in dialog units, drawn at two pixels a unit in the middle of the window.
constexpr int kPixelsPerUnit = 2;
constexpr int kPanelWidth = 136 * kPixelsPerUnit;
constexpr int kPanelHeight = 52 * kPixelsPerUnit;
constexpr int kButtonWidth = 50 * kPixelsPerUnit;
constexpr int kButtonHeight = 14 * kPixelsPerUnit;

struct Button {
    const char* label;
    int x, y;  // dialog units from the panel's top left corner
    MoveKind kind;
};
constexpr Button kButtons[4] = {{"QUEEN", 15, 7, MoveKind::kPromoteQueen},
                                {"KNIGHT", 16, 27, MoveKind::kPromoteKnight},
                                {"ROOK", 71, 7, MoveKind::kPromoteRook},
                                {"BISHOP", 71, 27, MoveKind::kPromoteBishop}};

void ButtonBox(int button, int& left, int& top) {
    PanelCorner(kPanelWidth, kPanelHeight, left, top);
    left += kButtons[button].x * kPixelsPerUnit;
    top += kButtons[button].y * kPixelsPerUnit;
}

}  // namespace

void OpenPromotionChooser(App& app, const Move& move) {
    app.promotion.open = true;
    app.promotion.move = move;
    // Nothing but a button may answer: the right button's menu waits too.
    glutSetMenu(app.mainMenu);
    glutDetachMenu(GLUT_RIGHT_BUTTON);
    glutPostRedisplay();
}

void DrawPromotionChooser(const App& app) {
    if (!app.promotion.open) return;
    const PanelDrawing drawing;
    int left, top;
    PanelCorner(kPanelWidth, kPanelHeight, left, top);
    DrawPanelFrame(left, top, kPanelWidth, kPanelHeight, "Select Promotion");
    for (int i = 0; i < 4; ++i) {
        int x, y;
        ButtonBox(i, x, y);
        glColor3f(0.6f, 0.6f, 0.6f);
        Rectangle(x, y, kButtonWidth, kButtonHeight);
        glColor3f(0.0f, 0.0f, 0.0f);
        Text(x + 10, y + kButtonHeight - 8, kButtons[i].label);
    }
}

void PromotionChooserClick(App& app, int x, int y) {
    for (int i = 0; i < 4; ++i) {
        int left, top;
        ButtonBox(i, left, top);
        if (x < left || x >= left + kButtonWidth || y < top || y >= top + kButtonHeight) continue;
        Move move = app.promotion.move;
        move.kind = kButtons[i].kind;
        app.promotion.open = false;
        glutSetMenu(app.mainMenu);
        glutAttachMenu(GLUT_RIGHT_BUTTON);
        PlayUserMove(app, move);
        return;
    }
}

}  // namespace tarvex::ui
