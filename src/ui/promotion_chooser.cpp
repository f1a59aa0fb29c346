#include "ui/promotion_chooser.h"

#include <GL/freeglut.h>

#include "ui/mouse.h"

namespace tarvex::ui {
namespace {

// The panel in dialog units, drawn at two pixels a unit in the middle of the window.
constexpr int kPixelsPerUnit = 2;
constexpr int kPanelWidth = 136 * kPixelsPerUnit;
constexpr int kPanelHeight = 52 * kPixelsPerUnit;
constexpr int kTitleHeight = 24;
constexpr int kButtonWidth = 50 * kPixelsPerUnit;
constexpr int kButtonHeight = 14 * kPixelsPerUnit;

struct Button {
    const char* label;
    int x, y;  // dialog units from the panel's top left corner
    char kind;
};
constexpr Button kButtons[4] = {
    {"QUEEN", 15, 7, 'Q'}, {"KNIGHT", 16, 27, 'N'}, {"ROOK", 71, 7, 'R'}, {"BISHOP", 71, 27, 'B'}};

// The panel's top left corner, in window coordinates (y down).
void PanelCorner(int& left, int& top) {
    left = (glutGet(GLUT_WINDOW_WIDTH) - kPanelWidth) / 2;
    top = (glutGet(GLUT_WINDOW_HEIGHT) - kPanelHeight - kTitleHeight) / 2 + kTitleHeight;
}

void ButtonBox(int button, int& left, int& top) {
    PanelCorner(left, top);
    left += kButtons[button].x * kPixelsPerUnit;
    top += kButtons[button].y * kPixelsPerUnit;
}

// A filled rectangle in window coordinates (y down), in the current colour.
void Rectangle(int left, int top, int width, int height) {
    const int bottom = glutGet(GLUT_WINDOW_HEIGHT) - top - height;
    glRecti(left, bottom, left + width, bottom + height);
}

void Text(int left, int baseline, const char* text) {
    glRasterPos2i(left, glutGet(GLUT_WINDOW_HEIGHT) - baseline);
    for (const char* c = text; *c != 0; ++c) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, *c);
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
    const int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    int left, top;
    PanelCorner(left, top);
    glColor3f(0.2f, 0.3f, 0.6f);
    Rectangle(left, top - kTitleHeight, kPanelWidth, kTitleHeight);
    glColor3f(0.85f, 0.85f, 0.85f);
    Rectangle(left, top, kPanelWidth, kPanelHeight);
    glColor3f(1.0f, 1.0f, 1.0f);
    Text(left + 8, top - 6, "Select Promotion");
    for (int i = 0; i < 4; ++i) {
        int x, y;
        ButtonBox(i, x, y);
        glColor3f(0.6f, 0.6f, 0.6f);
        Rectangle(x, y, kButtonWidth, kButtonHeight);
        glColor3f(0.0f, 0.0f, 0.0f);
        Text(x + 10, y + kButtonHeight - 8, kButtons[i].label);
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void PromotionButtonCentre(int button, int& x, int& y) {
    ButtonBox(button, x, y);
    x += kButtonWidth / 2;
    y += kButtonHeight / 2;
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
