// Drawing the scene: the squares of both games (with their selection names in select mode), the
// attack boards' posts and the pin markers of a selected board, the pieces as small solids, the
// captured pieces beside the board and the axes.
//
// Scene coordinates are in units of one square: each square is the unit square from its corner
// (SquareCoords) in the plane of its level, and pieces stand along +z. Every function reads the
// current position and the settings afresh and leaves the matrices and the enabled capabilities
// as it found them (the current colour is the last one drawn). Main thread only, with the view
// set up (ViewSetUp).
#pragma once

#include <GL/gl.h>

#include "ui/app.h"

namespace tarvex::ui {

// The squares and posts; in GL_SELECT mode each square carries the names (row, column) of the
// drawing grid and each post (row, board identifier).
//
// Lighting is off for them. The colours: the selection and the hint's two squares, the move
// highlights, else light or dark by the parity of row + column; with the transparency setting
// every other pixel. In the 3D game a selected attack board's post takes the selection colour
// and yellow cones mark the free pins it may move to now. In select mode the caller has put one
// name on the name stack, which the row name replaces; the cones then carry that row name alone.
void DrawSquares(const App& app, GLenum renderMode);

// Every piece of the current position on its square; in the 2D game knights and bishops face
// the enemy king, in the 3D game the far side.
void DrawPieces(const App& app);

// With the captured-display setting on: the captured pieces in two columns beside the board,
// Black's losses right of it and White's left, in the order of capture from the top down.
void DrawCapturedPieces(const App& app);

// The three axes with their letters, in yellow and unlit (the caller decides whether the axes
// setting wants them).
void DrawAxes();

}  // namespace tarvex::ui
