#include "ui/view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "core/game_types.h"
#include "ui/app.h"

namespace tarvex::ui {
namespace {

constexpr double kOrthoHalfWidth = 8.0;
constexpr double kPerspectiveFieldOfView = 70.0;
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

ViewStretch StretchFor(const View& view, int width, int height) {
    if (width <= 0 || height <= 0) return {};  // a minimised window draws nothing anyway
    const double aspect = static_cast<double>(width) / height;
    if (!view.orthographic || aspect >= 1.0) return {aspect, 1.0};
    return {1.0, 1.0 / aspect};
}

ViewStretch CurrentStretch(const View& view) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    return StretchFor(view, viewport[2], viewport[3]);
}

void ViewSetUp(const View& view) {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glShadeModel(GL_SMOOTH);
    const ViewStretch stretch = CurrentStretch(view);
    if (view.orthographic) {
        const double x = kOrthoHalfWidth * stretch.x, y = kOrthoHalfWidth * stretch.y;
        glOrtho(-x, x, -y, y, kNear, kFar);
    } else {
        gluPerspective(kPerspectiveFieldOfView, stretch.x / stretch.y, kNear, kFar);
    }
    gluLookAt(0.0, 0.0, kEyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(view.scale, view.scale, view.scale);
    glRotatef(static_cast<float>(view.zAngle), 0.0f, 0.0f, 1.0f);
    glRotatef(view.yAngle, 0.0f, 1.0f, 0.0f);
    glRotatef(view.xAngle, 1.0f, 0.0f, 0.0f);
}

float TurnedAngle(float angle, float step) {
    const float turned = std::fmod(angle + step, 360.0f);
    return turned < 0.0f ? turned + 360.0f : turned + 0.0f;  // no -0
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
