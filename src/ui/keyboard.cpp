#include "ui/keyboard.h"

#include <GL/freeglut.h>

#include <string_view>

#include "core/console.h"
#include "game/banner.h"
#include "ui/help_screen.h"
#include "ui/main_window.h"

namespace tarvex::ui {
namespace {

constexpr unsigned char kEscape = 27;
// Ordinary keys outside this range never carry a command.
constexpr unsigned char kFirstCommandKey = kEscape;
constexpr unsigned char kLastCommandKey = 'z';

// Keys that carry a command the program does not offer yet: they are ignored, not
// complained about.
constexpr std::string_view kPendingKeys = "!#AaBbCcGgJjKkLlOoRrSsTtUuVvWwZz";

// Special keys outside this range never carry a command.
constexpr int kFirstSpecialKey = GLUT_KEY_F1;
constexpr int kLastSpecialKey = GLUT_KEY_PAGE_DOWN;

bool IsPendingSpecialKey(int key) {
    switch (key) {
        case GLUT_KEY_F2:
        case GLUT_KEY_F3:
        case GLUT_KEY_F5:
        case GLUT_KEY_F6:
        case GLUT_KEY_F7:
        case GLUT_KEY_F8:
        case GLUT_KEY_F9:
        case GLUT_KEY_F10:
        case GLUT_KEY_LEFT:
        case GLUT_KEY_RIGHT:
        case GLUT_KEY_UP:
        case GLUT_KEY_DOWN:
        case GLUT_KEY_PAGE_UP:
        case GLUT_KEY_PAGE_DOWN:
            return true;
        default:
            return false;
    }
}

// freeglut also reports the modifier keys on their own. They only qualify other keys (Shift
// makes the arrows faster), so pressing one is not a command and draws no complaint.
bool IsModifierKey(int key) {
    return key >= GLUT_KEY_SHIFT_L && key <= GLUT_KEY_SUPER_R;
}

void ComplainAboutKey(unsigned char key) {
    ConsolePrint("\nDon't know what to do with keyboard hit: '%c' (0x%0x)\n", key, key);
}

void ComplainAboutSpecialKey(int key) {
    ConsolePrint("\nDon't know what to do with KeyboardSpecial hit: '%c' (0x%0x)", key, key);
}

}  // namespace

KeyOutcome KeyboardCommand(unsigned char key) {
    switch (key) {
        case kEscape:
        case 'Q':
        case 'q':
            return KeyOutcome::kQuit;
        case 'H':
        case 'h':
            PrintHelpScreen();
            break;
        case '?':
            PrintBanner();
            break;
        default: {
            const bool inRange = key >= kFirstCommandKey && key <= kLastCommandKey;
            if (!inRange || kPendingKeys.find(static_cast<char>(key)) == std::string_view::npos) {
                ComplainAboutKey(key);
            }
            break;
        }
    }
    return KeyOutcome::kDone;
}

void SpecialKeyCommand(int key) {
    if (key == GLUT_KEY_F1) {
        KeyboardCommand('h');
        return;
    }
    if (IsModifierKey(key)) return;
    const bool inRange = key >= kFirstSpecialKey && key <= kLastSpecialKey;
    if (!inRange || !IsPendingSpecialKey(key)) ComplainAboutSpecialKey(key);
}

void KeyboardHit(unsigned char key, int /*x*/, int /*y*/) {
    if (KeyboardCommand(key) == KeyOutcome::kQuit) Quit();
    glutPostRedisplay();
}

void KeyboardSpecial(int key, int /*x*/, int /*y*/) {
    SpecialKeyCommand(key);
    glutPostRedisplay();
}

}  // namespace tarvex::ui
