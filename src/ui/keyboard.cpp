#include "ui/keyboard.h"

#include <GL/freeglut.h>

#include <array>
#include <cmath>
#include <cstdio>

#include "board/attack_boards.h"
#include "core/console.h"
#include "game/banner.h"
#include "game/save_game.h"
#include "ui/file_prompt.h"
#include "ui/help_screen.h"
#include "ui/main_window.h"
#include "ui/view.h"

namespace tarvex::ui {
namespace {

constexpr unsigned char kEscape = 27;
// Ordinary keys outside this range never carry a command.
constexpr unsigned char kFirstCommandKey = kEscape;
constexpr unsigned char kLastCommandKey = 'z';

constexpr const char* kContactAddress = "contact@tarvex.example.org";
constexpr const char* kFavoriteViewFile = "favview.sav";
constexpr int kFastReplay = 200;
constexpr double kZoomStep = 1.01, kFastZoomStep = 1.1;

// ---- the build stamp: "Www Mmm dd hh:mm:ss yy", made at compile time ----

constexpr char kBuildDate[] = __DATE__;  // "Mmm dd yyyy", the day padded with a blank
constexpr char kBuildTime[] = __TIME__;  // "hh:mm:ss"
static_assert(sizeof kBuildDate == 12 && sizeof kBuildTime == 9);

constexpr int Digit(char c) {
    return c == ' ' ? 0 : c - '0';
}

// 0 = Sunday (Sakamoto's method).
constexpr int Weekday(int year, int month, int day) {
    constexpr int kMonthOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) --year;
    return (year + year / 4 - year / 100 + year / 400 + kMonthOffset[month - 1] + day) % 7;
}

constexpr std::array<char, 23> MakeBuildStamp() {
    constexpr const char* kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    constexpr const char* kDays = "SunMonTueWedThuFriSat";
    int month = 1;
    while (kMonths[3 * (month - 1)] != kBuildDate[0] ||
           kMonths[3 * (month - 1) + 1] != kBuildDate[1] ||
           kMonths[3 * (month - 1) + 2] != kBuildDate[2]) {
        ++month;
    }
    const int day = Digit(kBuildDate[4]) * 10 + Digit(kBuildDate[5]);
    const int year = Digit(kBuildDate[7]) * 1000 + Digit(kBuildDate[8]) * 100 +
                     Digit(kBuildDate[9]) * 10 + Digit(kBuildDate[10]);
    const int weekday = Weekday(year, month, day);
    std::array<char, 23> stamp{};
    size_t n = 0;
    for (int i = 0; i < 3; ++i) stamp[n++] = kDays[3 * weekday + i];
    stamp[n++] = ' ';
    for (int i = 0; i < 6; ++i) stamp[n++] = kBuildDate[i];  // "Mmm dd"
    stamp[n++] = ' ';
    for (int i = 0; i < 8; ++i) stamp[n++] = kBuildTime[i];
    stamp[n++] = ' ';
    stamp[n++] = kBuildDate[9];
    stamp[n++] = kBuildDate[10];
    return stamp;
}

constexpr std::array<char, 23> kBuildStamp = MakeBuildStamp();

// ---- helpers ----

void ComplainAboutKey(unsigned char key) {
    ConsolePrint("\nDon't know what to do with keyboard hit: '%c' (0x%0x)\n", key, key);
}

void ComplainAboutSpecialKey(int key) {
    ConsolePrint("\nDon't know what to do with KeyboardSpecial hit: '%c' (0x%0x)", key, key);
}

// freeglut also reports the modifier keys on their own. They only qualify other keys, so
// pressing one is not a command and draws no complaint.
bool IsModifierKey(int key) {
    return key >= GLUT_KEY_SHIFT_L && key <= GLUT_KEY_SUPER_R;
}

// Turns the z-angle, kept in [0, 360), by a step of at most one turn.
void Turn(int& angle, int step) {
    angle += step;
    if (angle >= 360) {
        angle -= 360;
    } else if (angle < 0) {
        angle += 360;
    }
}

void Turn(float& angle, float step) {
    angle = TurnedAngle(angle, step);
}

void FetchFavoriteView(View& view, int gameKind) {
    ConsolePrint("\nFavorite view LOADED");
    std::FILE* file = std::fopen(kFavoriteViewFile, "r");
    if (file == nullptr) {
        ViewReset(view, gameKind);
        return;
    }
    float x = 0, y = 0, scale = 0;
    const int read = std::fscanf(file, "%g %g %g", &x, &y, &scale);
    std::fclose(file);
    // Only a view the program could have stored is taken; anything else leaves the view.
    const auto angle = [](float a) { return a >= 0.0f && a < 360.0f; };
    if (read != 3 || !angle(x) || !angle(y) || !(scale > 0.0f) || !std::isfinite(scale)) return;
    view.xAngle = x;
    view.yAngle = y;
    view.scale = scale;
}

void StoreFavoriteView(const View& view) {
    if (std::FILE* file = std::fopen(kFavoriteViewFile, "w")) {
        std::fprintf(file, "%g\n%g\n%g\n", view.xAngle, view.yAngle, view.scale);
        std::fclose(file);
    }
    ConsolePrint("\nFavorite view SAVED");
}

KeyModifiers HeldModifiers() {
    const int held = glutGetModifiers();
    return KeyModifiers{(held & GLUT_ACTIVE_SHIFT) != 0, (held & GLUT_ACTIVE_ALT) != 0};
}

// ---- the commands of ordinary keys, by what they act on ----

// The program's own information: contact, build stamp, banner, help.
bool InformationKey(unsigned char command) {
    switch (command) {
        case '!':
            ConsolePrint("\n%s", kContactAddress);
            return true;
        case '#':
            ConsolePrint("\nBuilt: %s", kBuildStamp.data());
            return true;
        case '?':
            PrintBanner();
            return true;
        case 'H':
            PrintHelpScreen();
            return true;
        default:
            return false;
    }
}

// What the window shows: axes, captured pieces, transparency and the view presets.
bool ViewKey(App& app, unsigned char command) {
    View& view = app.view;
    const int gameKind = app.controller.Current().gameKind;
    switch (command) {
        case 'A':
            view.axes = !view.axes;
            return true;
        case 'C':
            view.capturedShown = !view.capturedShown;
            return true;
        case 'G':
            ConsolePrint("\nW xang=%g yang=%g scale=%g", view.xAngle, view.yAngle, view.scale);
            return true;
        case 'O':
            OverheadView(view);
            return true;
        case 'T':
            view.transparent = !view.transparent;
            return true;
        case 'V':
            ViewReset(view, gameKind);
            return true;
        case 'Z':
            BlackView(view, gameKind);
            return true;
        default:
            return false;
    }
}

// The file commands: L lists, R restores, S saves; with Alt without asking for a name (L on
// the console only, R and S with the default file).
bool FileKey(App& app, unsigned char command, KeyModifiers modifiers) {
    if (command == 'L') {
        if (modifiers.alt) {
            app.controller.ListGame();
        } else {
            OpenFilePrompt(app, FileCommand::kList);
        }
        return true;
    }
    if (command != 'R' && command != 'S') return false;
    const FileCommand file = command == 'R' ? FileCommand::kRestore : FileCommand::kSave;
    if (modifiers.alt) {
        app.saveName = kDefaultSaveName;
        RunFileCommand(app, file, app.saveName, false);
    } else {
        OpenFilePrompt(app, file);
    }
    return true;
}

// The game: who the engine plays, undo, the attack-board diagnostics (J chooses a board, K
// moves it), the hint (N) and the engine's thoughts (I).
bool GameKey(App& app, unsigned char command) {
    GameController& controller = app.controller;
    switch (command) {
        case 'B':
            ConsolePrint("\nTarvex playing Black");
            controller.SetEngineSide(-1, false);
            return true;
        case 'W':
            ConsolePrint("\nTarvex playing White");
            controller.SetEngineSide(1, false);
            return true;
        case 'U':
            controller.Undo(1);
            return true;
        case 'J':
            app.boardCursor = (app.boardCursor + 1) % kBoardCount;
            ConsolePrint("\nj=%d", app.boardCursor);
            return true;
        case 'K':
            controller.MoveBoardToNextPin(app.boardCursor);
            return true;
        case 'N':
            controller.RequestHint();
            return true;
        case 'I':
            controller.SetThoughtsShown(!controller.ThoughtsShown());
            return true;
        default:
            return false;
    }
}

// The arrow keys turn the board (Alt with left and right: about the z-axis); Shift makes the
// step ten degrees.
bool TurnKey(View& view, int key, KeyModifiers modifiers) {
    const int step = modifiers.shift ? 10 : 1;
    const float angleStep = static_cast<float>(step);
    switch (key) {
        case GLUT_KEY_LEFT:
            if (modifiers.alt) {
                Turn(view.zAngle, step);
            } else {
                Turn(view.yAngle, -angleStep);
            }
            return true;
        case GLUT_KEY_RIGHT:
            if (modifiers.alt) {
                Turn(view.zAngle, -step);
            } else {
                Turn(view.yAngle, angleStep);
            }
            return true;
        case GLUT_KEY_UP:
            Turn(view.xAngle, -angleStep);
            return true;
        case GLUT_KEY_DOWN:
            Turn(view.xAngle, angleStep);
            return true;
        default:
            return false;
    }
}

// Replay (F7 back, F8 forward) and who plays (F9 plays both on or off, F10 nobody).
bool EngineAndReplayKey(GameController& controller, int key, KeyModifiers modifiers) {
    const int replayStep = modifiers.shift ? kFastReplay : 1;
    switch (key) {
        case GLUT_KEY_F7:
            controller.Replay(-replayStep);
            return true;
        case GLUT_KEY_F8:
            controller.Replay(replayStep);
            return true;
        case GLUT_KEY_F9: {
            // Turning it off stops the search; turning it on hands over the side to move.
            const bool on = controller.CurrentGame().block.playsBoth == 0;
            controller.SetPlaysBoth(on, !on);
            return true;
        }
        case GLUT_KEY_F10:
            controller.SetEngineSide(0);  // stop request, plays-both off, the engine idle
            return true;
        default:
            return false;
    }
}

}  // namespace

void Zoom(View& view, bool in, bool fast) {
    const double step = fast ? kFastZoomStep : kZoomStep;
    view.scale = static_cast<float>(in ? view.scale * step : view.scale / step);
}

KeyOutcome KeyboardCommand(App& app, unsigned char key, KeyModifiers modifiers) {
    if (key < kFirstCommandKey || key > kLastCommandKey) {
        app.controller.ClearHint();
        ComplainAboutKey(key);
        return KeyOutcome::kDone;
    }
    const unsigned char command = key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key;
    if (command != 'N') app.controller.ClearHint();  // N asks for a new one
    if (command == kEscape || command == 'Q') return KeyOutcome::kQuit;
    const bool known = InformationKey(command) || ViewKey(app, command) ||
                       FileKey(app, command, modifiers) || GameKey(app, command);
    if (!known) ComplainAboutKey(key);
    return KeyOutcome::kDone;
}

void SpecialKeyCommand(App& app, int key, KeyModifiers modifiers) {
    GameController& controller = app.controller;
    if (!IsModifierKey(key)) controller.ClearHint();  // a modifier alone is no key of its own
    if (TurnKey(app.view, key, modifiers) || EngineAndReplayKey(controller, key, modifiers)) {
        return;
    }
    switch (key) {
        case GLUT_KEY_F1:
            KeyboardCommand(app, 'h');
            break;
        case GLUT_KEY_F2:
            controller.NewGame(kGame2D);
            break;
        case GLUT_KEY_F3:
            controller.NewGame(kGame3D);
            break;
        case GLUT_KEY_F5:
            FetchFavoriteView(app.view, controller.Current().gameKind);
            break;
        case GLUT_KEY_F6:
            StoreFavoriteView(app.view);
            break;
        case GLUT_KEY_PAGE_UP:
        case GLUT_KEY_PAGE_DOWN:
            Zoom(app.view, key == GLUT_KEY_PAGE_UP, modifiers.shift);
            break;
        default:
            if (!IsModifierKey(key)) ComplainAboutSpecialKey(key);
            break;
    }
}

void KeyboardHit(unsigned char key, int /*x*/, int /*y*/) {
    App& app = TheApp();
    const KeyModifiers modifiers = HeldModifiers();
    if (app.filePrompt.open) {
        FilePromptKey(app, key);
    } else if (!app.promotion.open && KeyboardCommand(app, key, modifiers) == KeyOutcome::kQuit) {
        Quit();
    }
    FollowFilePrompt(app);
    glutPostRedisplay();
}

void KeyboardSpecial(int key, int /*x*/, int /*y*/) {
    App& app = TheApp();
    const KeyModifiers modifiers = HeldModifiers();
    if (!ModalOpen(app)) SpecialKeyCommand(app, key, modifiers);
    glutPostRedisplay();
}

}  // namespace tarvex::ui
