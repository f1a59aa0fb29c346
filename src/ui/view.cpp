#include "ui/view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/game_types.h"
#include "ui/app.h"

namespace tarvex::ui {
namespace {

constexpr double kOrthoHalfWidth = 8.0;
constexpr double kPerspectiveFieldOfView = 70.0;
constexpr double kAspect = 1.0;
constexpr double kNear = 0.1;
constexpr double kFar = 60.0;
constexpr double kEyeDistance = 16.0;

constexpr float kScale2D = 2.0f, kScale3D = 1.6f;
constexpr float kXAngle2D = 330.0f, kXAngle3D = 300.0f;
// The black view turns the 2D board by these angles.
constexpr float kBlackViewXTurn = 120.0f, kBlackViewYTurn = 180.0f;

// An angle brought back into [0, 360) after one subtraction.
float LessAngle(float angle, float turn) {
    const float result = angle - turn;
    return result < 0.0f ? result + 360.0f : result;
}

}  // namespace

void ViewSetUp(const View& view) {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glShadeModel(GL_SMOOTH);
    if (view.orthographic) {
        glOrtho(-kOrthoHalfWidth, kOrthoHalfWidth, -kOrthoHalfWidth, kOrthoHalfWidth, kNear, kFar);
    } else {
        gluPerspective(kPerspectiveFieldOfView, kAspect, kNear, kFar);
    }
    gluLookAt(0.0, 0.0, kEyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(view.scale, view.scale, view.scale);
    glRotatef(static_cast<float>(view.zAngle), 0.0f, 0.0f, 1.0f);
    glRotatef(view.yAngle, 0.0f, 1.0f, 0.0f);
    glRotatef(view.xAngle, 1.0f, 0.0f, 0.0f);
}

void ViewReset(View& view, int gameKind) {
    view.axes = false;
    view.capturedShown = true;
    view.orthographic = false;
    const bool game3D = gameKind == kGame3D;
    view.scale = game3D ? kScale3D : kScale2D;
    view.transparent = game3D;
    view.xAngle = game3D ? kXAngle3D : kXAngle2D;
    view.yAngle = 0.0f;
    view.zAngle = 0;
}

void OverheadView(View& view) {
    view.orthographic = true;
    view.transparent = true;
    view.xAngle = 0.0f;
    view.yAngle = 0.0f;
    view.zAngle = 0;
}

void BlackView(View& view, int gameKind) {
    if (gameKind == kGame3D) return;
    if (view.blackView) {
        ViewReset(view, gameKind);
        view.blackView = false;
        return;
    }
    view.xAngle = LessAngle(view.xAngle, kBlackViewXTurn);
    view.yAngle = LessAngle(view.yAngle, kBlackViewYTurn);
    view.blackView = true;
}

}  // namespace tarvex::ui
