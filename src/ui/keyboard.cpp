#include "ui/keyboard.h"

#include <GL/freeglut.h>

#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>

#include "board/attack_boards.h"
#include "core/console.h"
#include "core/settings.h"
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

void Toggle(std::atomic<int>& setting) {
    setting.store(setting.load() != 0 ? 0 : 1);
}

// Turns an angle kept in [0, 360) by a step of at most one turn.
template <typename T>
void Turn(std::atomic<T>& angle, T step) {
    T value = angle.load() + step;
    if (value >= 360) {
        value -= 360;
    } else if (value < 0) {
        value += 360;
    }
    angle.store(value);
}

void FetchFavoriteView(int gameKind) {
    ConsolePrint("\nFavorite view LOADED");
    std::FILE* file = std::fopen(kFavoriteViewFile, "r");
    if (file == nullptr) {
        ViewReset(gameKind);
        return;
    }
    float x = 0, y = 0, scale = 0;
    const int read = std::fscanf(file, "%g %g %g", &x, &y, &scale);
    std::fclose(file);
    // Only a view the program could have stored is taken; anything else leaves the view.
    const auto angle = [](float a) { return a >= 0.0f && a < 360.0f; };
    if (read != 3 || !angle(x) || !angle(y) || !(scale > 0.0f) || !std::isfinite(scale)) return;
    Settings& settings = GetSettings();
    settings.xAngle.store(x);
    settings.yAngle.store(y);
    settings.scale.store(scale);
}

void StoreFavoriteView() {
    if (std::FILE* file = std::fopen(kFavoriteViewFile, "w")) {
        const Settings& settings = GetSettings();
        std::fprintf(file, "%g\n%g\n%g\n", settings.xAngle.load(), settings.yAngle.load(),
                     settings.scale.load());
        std::fclose(file);
    }
    ConsolePrint("\nFavorite view SAVED");
}

KeyModifiers HeldModifiers() {
    const int held = glutGetModifiers();
    return KeyModifiers{(held & GLUT_ACTIVE_SHIFT) != 0, (held & GLUT_ACTIVE_ALT) != 0};
}

}  // namespace

KeyOutcome KeyboardCommand(App& app, unsigned char key, KeyModifiers modifiers) {
    if (key < kFirstCommandKey || key > kLastCommandKey) {
        ComplainAboutKey(key);
        return KeyOutcome::kDone;
    }
    Settings& settings = GetSettings();
    GameController& controller = app.controller;
    const int gameKind = settings.gameKind.load();
    const unsigned char command = key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key;
    switch (command) {
        case kEscape:
        case 'Q':
            return KeyOutcome::kQuit;
        case '!':
            ConsolePrint("\n%s", kContactAddress);
            break;
        case '#':
            ConsolePrint("\nBuilt: %s", kBuildStamp.data());
            break;
        case '?':
            PrintBanner();
            break;
        case 'A':
            Toggle(settings.axes);
            break;
        case 'B':
            ConsolePrint("\nTarvex playing Black");
            controller.SetEngineSide(-1, false);
            break;
        case 'C':
            Toggle(settings.capturedDisplay);
            break;
        case 'G':
            ConsolePrint("\nW xang=%g yang=%g scale=%g", settings.xAngle.load(),
                         settings.yAngle.load(), settings.scale.load());
            break;
        case 'H':
            PrintHelpScreen();
            break;
        case 'J':
            app.boardCursor = (app.boardCursor + 1) % kBoardCount;
            ConsolePrint("\nj=%d", app.boardCursor);
            break;
        case 'K':
            controller.MoveBoardToNextPin(app.boardCursor);
            break;
        case 'L':
            // With Alt on the console only; without, into a file as well.
            if (modifiers.alt) {
                controller.ListGame();
            } else {
                OpenFilePrompt(app, FileCommand::kList);
            }
            break;
        case 'O':
            OverheadView();
            break;
        case 'R':
        case 'S': {
            // With Alt the default file, without asking for a name.
            const FileCommand file = command == 'R' ? FileCommand::kRestore : FileCommand::kSave;
            if (modifiers.alt) {
                app.saveName = kDefaultSaveName;
                RunFileCommand(app, file, app.saveName, false);
            } else {
                OpenFilePrompt(app, file);
            }
            break;
        }
        case 'T':
            Toggle(settings.transparency);
            break;
        case 'U':
            controller.Undo(1);
            break;
        case 'V':
            ViewReset(gameKind);
            break;
        case 'W':
            ConsolePrint("\nTarvex playing White");
            controller.SetEngineSide(1, false);
            break;
        case 'Z':
            BlackView(gameKind);
            break;
        default:
            ComplainAboutKey(key);
            break;
    }
    return KeyOutcome::kDone;
}

void SpecialKeyCommand(App& app, int key, KeyModifiers modifiers) {
    Settings& settings = GetSettings();
    GameController& controller = app.controller;
    const int step = modifiers.shift ? 10 : 1;
    const float angleStep = static_cast<float>(step);
    const int replayStep = modifiers.shift ? kFastReplay : 1;
    const double zoom = modifiers.shift ? kFastZoomStep : kZoomStep;
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
            FetchFavoriteView(settings.gameKind.load());
            break;
        case GLUT_KEY_F6:
            StoreFavoriteView();
            break;
        case GLUT_KEY_F7:
            controller.Replay(-replayStep);
            break;
        case GLUT_KEY_F8:
            controller.Replay(replayStep);
            break;
        case GLUT_KEY_F9: {
            // Autoplay: turning it off stops the search; turning it on hands over in Tick.
            const bool on = controller.CurrentGame().block.playsBoth == 0;
            controller.SetPlaysBoth(on, !on);
            break;
        }
        case GLUT_KEY_F10:
            controller.SetEngineSide(0);  // stop request, plays-both off, the engine idle
            break;
        case GLUT_KEY_LEFT:
            if (modifiers.alt) {
                Turn(settings.zAngle, step);
            } else {
                Turn(settings.yAngle, -angleStep);
            }
            break;
        case GLUT_KEY_RIGHT:
            if (modifiers.alt) {
                Turn(settings.zAngle, -step);
            } else {
                Turn(settings.yAngle, angleStep);
            }
            break;
        case GLUT_KEY_UP:
            Turn(settings.xAngle, -angleStep);
            break;
        case GLUT_KEY_DOWN:
            Turn(settings.xAngle, angleStep);
            break;
        case GLUT_KEY_PAGE_UP:
            settings.scale.store(static_cast<float>(settings.scale.load() * zoom));
            break;
        case GLUT_KEY_PAGE_DOWN:
            settings.scale.store(static_cast<float>(settings.scale.load() / zoom));
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
