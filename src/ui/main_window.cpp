#include "ui/main_window.h"

#include <GL/freeglut.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "core/version.h"
#include "ui/app.h"
#include "ui/display_main.h"
#include "ui/keyboard.h"
#include "ui/menus.h"
#include "ui/mouse.h"

namespace tarvex::ui {
namespace {

constexpr int kWindowSize = 800;
constexpr int kWindowX = 160;
constexpr int kWindowY = 40;
// The main thread looks for work of the engine thread this often, instead of spinning in an
// idle callback.
constexpr unsigned kTickMilliseconds = 20;
constexpr int kExitGlutFailed = 1;
constexpr const char* kNoDisplayMessage = "failed to open display";

// GLUT's error handler. GLUT's own text does not say what to do about it, and GLUT would end
// the program after it anyway.
[[noreturn]] void GlutFailed(const char* format, va_list args) {
    char message[512];
    std::vsnprintf(message, sizeof message, format, args);
    const size_t prefixLength = std::strlen(kNoDisplayMessage);
    if (std::strncmp(message, kNoDisplayMessage, prefixLength) == 0) {
        // GLUT's text goes on with the display's name in quotes, which are empty without one.
        const char* name = message + prefixLength;
        if (std::strcmp(name, " ''") == 0) name = "";
        std::fprintf(stderr, "tarvex: cannot open the display%s (is DISPLAY set?)\n", name);
    } else {
        std::fprintf(stderr, "tarvex: GLUT failed: %s\n", message);
    }
    std::exit(kExitGlutFailed);
}

// What the window shows of the engine's work besides the game: the hint and, while shown, the
// thoughts line.
std::string EngineText(const GameController& controller) {
    const std::optional<GameHint> hint = controller.CurrentHint();
    std::string text = hint ? hint->text : "";
    if (controller.ThoughtsShown()) text += "\n" + controller.ThoughtsLine();
    return text;
}

// The main thread's periodic work: a move the engine thread found is committed here, and the
// window is drawn again when the game changed or a hint or a new thought arrived.
void Tick(int /*value*/) {
    App& app = TheApp();
    app.controller.Tick();
    const uint64_t changes = app.controller.ChangeCount();
    std::string engineText = EngineText(app.controller);
    if (changes != app.drawnChanges || engineText != app.drawnEngineText) {
        app.drawnChanges = changes;
        app.drawnEngineText = std::move(engineText);
        glutPostRedisplay();
    }
    glutTimerFunc(kTickMilliseconds, Tick, 0);
}

}  // namespace

void InitGlut(int* argc, char** argv) {
    glutInitErrorFunc(GlutFailed);
    glutInit(argc, argv);
    // Closing the window or quitting returns from glutMainLoop, so that main can stop the
    // engine thread before the process ends.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
}

void CreateMainWindow() {
    glutInitWindowSize(kWindowSize, kWindowSize);
    glutInitWindowPosition(kWindowX, kWindowY);
    TheApp().mainWindow = glutCreateWindow(kProgramName);
    glutSetWindowTitle(kWindowTitle);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glutSetCursor(GLUT_CURSOR_CROSSHAIR);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LINE_SMOOTH);
    glShadeModel(GL_FLAT);
}

void InstallCallbacks() {
    glutDisplayFunc(DisplayMain);
    glutReshapeFunc(Reshape);
    glutKeyboardFunc(KeyboardHit);
    glutSpecialFunc(KeyboardSpecial);
    glutMouseFunc(MouseClick);
    glutMotionFunc(MouseDrag);
    App& app = TheApp();
    BuildMenus(app);
    if (app.mainMenu == 0) app.mainMenu = glutGetMenu();  // the last menu built
    // A saved or restored file names the window (the file commands run on this thread).
    ControllerHooks hooks = app.controller.Hooks();
    hooks.title = [&app](const char* title) {
        glutSetWindow(app.mainWindow);
        glutSetWindowTitle(title);
    };
    app.controller.SetHooks(std::move(hooks));
    glutTimerFunc(kTickMilliseconds, Tick, 0);
}

void Reshape(int width, int height) {
    glutSetWindow(TheApp().mainWindow);
    glViewport(0, 0, width, height);
}

void Quit() {
    glutLeaveMainLoop();
}

}  // namespace tarvex::ui
