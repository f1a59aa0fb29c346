// The display callback of the main window.
#pragma once

namespace tarvex::ui {

// Draws the window's scene and shows it.
void DisplayMain();

}  // namespace tarvex::ui
