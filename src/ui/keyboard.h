// The single-key commands of the main window: the GLUT keyboard and special-key callbacks, and
// the commands behind them, which tests can call without a window.
#pragma once

#include "ui/app.h"

namespace tarvex::ui {

enum class KeyOutcome { kDone, kQuit };

// The modifiers held with a key (GLUT's Shift and Alt).
struct KeyModifiers {
    bool shift = false;
    bool alt = false;
};

// Carries out the command of an ordinary key; complains about keys that have none. Every key
// but N (which asks for a new one) clears the hint, as every special key does.
KeyOutcome KeyboardCommand(App& app, unsigned char key, KeyModifiers modifiers = {});

// Page Up (in) and Page Down, and the mouse wheel: the zoom by one step (with Shift a bigger
// one).
void Zoom(View& view, bool in, bool fast);

// Carries out the command of a GLUT special key; complains about keys that have none.
void SpecialKeyCommand(App& app, int key, KeyModifiers modifiers = {});

// GLUT callbacks; the pointer position is not used. Both ask for a redisplay. While the
// promotion chooser is open they do nothing else; while the file prompt is open the keys go to
// its edit line.
void KeyboardHit(unsigned char key, int x, int y);
void KeyboardSpecial(int key, int x, int y);

}  // namespace tarvex::ui
