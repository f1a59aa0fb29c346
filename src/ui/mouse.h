// The mouse callback of the main window.
#pragma once

namespace tarvex::ui {

// Button press or release at window coordinates (x, y).
void MouseClick(int button, int state, int x, int y);

}  // namespace tarvex::ui
