// The pieces as small solids built from GLUT and GLU primitives. Every model stands on the
// plane z = 0 at the origin and is built upwards along +z, in the current colour, with its
// normals for the lighting; the caller places it on its square and turns knights and bishops.
#pragma once

namespace tarvex::ui {

// Draws the model of a piece type (kPawn..kKing); any other value draws nothing.
//
// The models are compiled into display lists on first use in the current window's GL context
// and called from there afterwards; they hold geometry only, so the picture is the same as
// when drawn afresh. Main thread only, with a current GLUT window.
void DrawPieceModel(int type);

// A solid axis-aligned box: six quads, each with its outward face normal.
void DrawBox(float x0, float x1, float y0, float y1, float z0, float z1);

}  // namespace tarvex::ui
