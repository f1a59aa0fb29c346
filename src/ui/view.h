// The view: the projection and rotation the display and picking share, and the view
// operations on the settings (reset, overhead, black view).
#pragma once

namespace tarvex::ui {

// Sets up the projection (the current matrix, freshly loaded with the identity or the pick
// matrix) and the model-view rotation from the view settings; enables the lighting.
void ViewSetUp();

// The view reset of a new game and of key V: axes off, captured pieces on, perspective; in the
// 2D game scale 2.0, opaque, x-angle 330; in the 3D game scale 1.6, transparent, x-angle 300;
// y- and z-angle 0.
void ViewReset(int gameKind);

// Key O: orthographic, transparent, all angles 0; the scale stays.
void OverheadView();

// Key Z and the View menu's BlackView: only in the 2D game; turns the board for Black, or back.
void BlackView(int gameKind);

}  // namespace tarvex::ui
