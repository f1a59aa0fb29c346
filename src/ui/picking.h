// Picking: the square or attack-board post under the pointer, found by drawing the squares and
// posts again in OpenGL's select mode through a pick matrix one pixel wide.
#pragma once

#include "ui/app.h"

namespace tarvex::ui {

// The pick result at window coordinates (x, y): 65 when nothing was hit, 0..63 for a square,
// 100, 106, 116 or 122 for an attack board's post. Of two squares under the pointer the one
// drawn first wins (the hit records are not sorted by depth).
unsigned Pick(const App& app, int x, int y);

}  // namespace tarvex::ui
