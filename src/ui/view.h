// The view: the projection and rotation the display and picking share, and the view
// operations (reset, overhead, black view).
#pragma once

namespace tarvex::ui {

struct View;

// Sets up the projection (the current matrix, freshly loaded with the identity or the pick
// matrix) and the model-view rotation from the view; enables the lighting.
void ViewSetUp(const View& view);

// The view reset of a new game and of key V: axes off, captured pieces on, perspective; in the
// 2D game scale 2.0, opaque, x-angle 330; in the 3D game scale 1.6, transparent, x-angle 300;
// y- and z-angle 0.
void ViewReset(View& view, int gameKind);

// Key O: orthographic, transparent, all angles 0; the scale stays.
void OverheadView(View& view);

// Key Z and the View menu's BlackView: only in the 2D game; turns the board for Black, or back.
void BlackView(View& view, int gameKind);

}  // namespace tarvex::ui
