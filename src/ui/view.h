// The view: the projection and rotation the display and picking share, and the view
// operations (reset, overhead, black view).
#pragma once

namespace tarvex::ui {

struct View;

// How far the visible scene reaches across (x) and up (y), relative to the square window's: the
// projection follows the viewport's shape so that the boards keep their proportions. Both are
// exactly 1 in a square viewport. A perspective keeps its vertical field (x = width / height);
// the orthographic box grows along the longer side.
struct ViewStretch {
    double x = 1.0;
    double y = 1.0;
};
ViewStretch StretchFor(const View& view, int width, int height);
// The stretch of the current GL viewport.
ViewStretch CurrentStretch(const View& view);

// Sets up the projection (the current matrix, freshly loaded with the identity or the pick
// matrix) for the current viewport and the model-view rotation from the view; enables the
// lighting. The display and picking both use it, so a click finds what is drawn under it.
void ViewSetUp(const View& view);

// An angle in degrees turned by step, brought back into [0, 360).
float TurnedAngle(float angle, float step);

// The view reset of a new game and of key V: axes off, captured pieces on, perspective; in the
// 2D game scale 2.0, opaque, x-angle 330; in the 3D game scale 1.6, transparent, x-angle 300;
// y- and z-angle 0.
void ViewReset(View& view, int gameKind);

// Key O: orthographic, transparent, all angles 0; the scale stays.
void OverheadView(View& view);

// Key Z and the View menu's BlackView: only in the 2D game; turns the board for Black, or back.
void BlackView(View& view, int gameKind);

}  // namespace tarvex::ui
