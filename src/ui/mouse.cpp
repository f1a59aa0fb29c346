#include "ui/mouse.h"

namespace tarvex::ui {

void MouseClick(int /*button*/, int /*state*/, int /*x*/, int /*y*/) {
    // Clicks select nothing until the board can be picked.
}

}  // namespace tarvex::ui
