#include "ui/panel.h"

#include <GL/freeglut.h>

namespace tarvex::ui {
namespace {

void* const kFont = GLUT_BITMAP_HELVETICA_18;
constexpr int kTitleInset = 8;
constexpr int kTitleBaseline = 6;  // above the panel's top

}  // namespace

void PanelCorner(int width, int height, int& left, int& top) {
    left = (glutGet(GLUT_WINDOW_WIDTH) - width) / 2;
    top = (glutGet(GLUT_WINDOW_HEIGHT) - height - kPanelTitleHeight) / 2 + kPanelTitleHeight;
}

void DrawPanelFrame(int left, int top, int width, int height, const char* title) {
    glColor3f(0.2f, 0.3f, 0.6f);
    Rectangle(left, top - kPanelTitleHeight, width, kPanelTitleHeight);
    glColor3f(0.85f, 0.85f, 0.85f);
    Rectangle(left, top, width, height);
    glColor3f(1.0f, 1.0f, 1.0f);
    Text(left + kTitleInset, top - kTitleBaseline, title);
}

void Rectangle(int left, int top, int width, int height) {
    const int bottom = glutGet(GLUT_WINDOW_HEIGHT) - top - height;
    glRecti(left, bottom, left + width, bottom + height);
}

void Text(int left, int baseline, const char* text) {
    glRasterPos2i(left, glutGet(GLUT_WINDOW_HEIGHT) - baseline);
    for (const char* c = text; *c != 0; ++c) glutBitmapCharacter(kFont, *c);
}

int TextWidth(const char* text) {
    return glutBitmapLength(kFont, reinterpret_cast<const unsigned char*>(text));
}

PanelDrawing::PanelDrawing() {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, glutGet(GLUT_WINDOW_WIDTH), 0, glutGet(GLUT_WINDOW_HEIGHT), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

PanelDrawing::~PanelDrawing() {
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace tarvex::ui
