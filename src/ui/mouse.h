// The mouse: a left click selects a piece or an attack board, a second click moves it; with an
// edit action pending a click applies the edit. The middle button dragged turns the view, the
// wheel zooms, and the right button carries the menus. A left or middle click clears the hint.
#pragma once

#include "ui/app.h"

namespace tarvex::ui {

// The GLUT mouse callback: button and state as GLUT gives them, (x, y) in window coordinates.
void MouseClick(int button, int state, int x, int y);

// The GLUT motion callback (a button held): a middle-button drag turns the view, the y-angle
// with the pointer's moves across and the x-angle with its moves up and down, as the arrow keys
// turn it.
void MouseDrag(int x, int y);

// The left-button press at (x, y) with Shift held or not; the callback's work, reachable
// without the GLUT callback's modifier query.
void LeftPress(App& app, int x, int y, bool shift);

// Plays the user's move through the game's gate; when the gate refuses it, the message line
// shows "illegal move <text>". A promoting move whose piece is not chosen opens the chooser.
void PlayUserMove(App& app, const Move& move);

// Marks the squares around the selected square by the spread setting.
void ComputeHighlights(App& app);

}  // namespace tarvex::ui
