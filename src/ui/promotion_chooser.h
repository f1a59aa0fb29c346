// The promotion chooser: a small modal panel drawn over the window, titled "Select Promotion",
// with the buttons QUEEN, KNIGHT, ROOK and BISHOP. A user's move that promotes waits here for
// its piece; there is no way out but a button. While the panel is open every other input is
// ignored, the window goes on redrawing, and GLUT's loop is never blocked.
#pragma once

#include "ui/app.h"

namespace tarvex::ui {

// Opens the chooser for the user's promoting move (its kind names no piece yet).
void OpenPromotionChooser(App& app, const Move& move);

// Draws the panel when it is open (the last thing a redraw draws).
void DrawPromotionChooser(const App& app);

// A left-button press at window coordinates while the chooser is open: a button gives the move
// its piece, closes the chooser and plays the move; anywhere else nothing happens.
void PromotionChooserClick(App& app, int x, int y);

}  // namespace tarvex::ui
