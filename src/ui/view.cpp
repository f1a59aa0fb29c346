#include "ui/view.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/game_types.h"
#include "core/settings.h"

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

void ViewSetUp() {
    const Settings& settings = GetSettings();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glShadeModel(GL_SMOOTH);
    if (settings.projection.load() == 1) {
        glOrtho(-kOrthoHalfWidth, kOrthoHalfWidth, -kOrthoHalfWidth, kOrthoHalfWidth, kNear, kFar);
    } else {
        gluPerspective(kPerspectiveFieldOfView, kAspect, kNear, kFar);
    }
    gluLookAt(0.0, 0.0, kEyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float scale = settings.scale.load();
    glScalef(scale, scale, scale);
    glRotatef(static_cast<float>(settings.zAngle.load()), 0.0f, 0.0f, 1.0f);
    glRotatef(settings.yAngle.load(), 0.0f, 1.0f, 0.0f);
    glRotatef(settings.xAngle.load(), 1.0f, 0.0f, 0.0f);
}

void ViewReset(int gameKind) {
    Settings& settings = GetSettings();
    settings.axes.store(0);
    settings.capturedDisplay.store(1);
    settings.projection.store(0);
    const bool game3D = gameKind == kGame3D;
    settings.scale.store(game3D ? kScale3D : kScale2D);
    settings.transparency.store(game3D ? 1 : 0);
    settings.xAngle.store(game3D ? kXAngle3D : kXAngle2D);
    settings.yAngle.store(0.0f);
    settings.zAngle.store(0);
}

void OverheadView() {
    Settings& settings = GetSettings();
    settings.projection.store(1);
    settings.transparency.store(1);
    settings.xAngle.store(0.0f);
    settings.yAngle.store(0.0f);
    settings.zAngle.store(0);
}

void BlackView(int gameKind) {
    if (gameKind == kGame3D) return;
    Settings& settings = GetSettings();
    if (settings.blackView.load() != 0) {
        ViewReset(gameKind);
        settings.blackView.store(0);
        return;
    }
    settings.xAngle.store(LessAngle(settings.xAngle.load(), kBlackViewXTurn));
    settings.yAngle.store(LessAngle(settings.yAngle.load(), kBlackViewYTurn));
    settings.blackView.store(1);
}

}  // namespace tarvex::ui
