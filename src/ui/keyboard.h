// The single-key commands of the main window: the GLUT keyboard and special-key callbacks,
// and the commands behind them, which tests can call without a window.
#pragma once

namespace tarvex::ui {

enum class KeyOutcome { kDone, kQuit };

// Carries out the command of an ordinary key; complains about keys that have none.
KeyOutcome KeyboardCommand(unsigned char key);

// Carries out the command of a GLUT special key; complains about keys that have none.
void SpecialKeyCommand(int key);

// GLUT callbacks; the pointer position is not used. Both ask for a redisplay.
void KeyboardHit(unsigned char key, int x, int y);
void KeyboardSpecial(int key, int x, int y);

}  // namespace tarvex::ui
