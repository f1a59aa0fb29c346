// Time of the window's work in the real 800 x 800 GLUT window (under Xvfb: Mesa's software
// renderer), each over many repetitions (median, min and 90th percentile):
//  - a full redraw (DisplayMain, then glFinish so that the picture is really drawn) of the 3D
//    start position and of a 2D middlegame reached by user moves;
//  - one pick at the centre of a square of the 3D start view.
// The engine thread is never started, so nothing else runs; GLUT is used on this thread only.
//
//   window_bench [repetitions]   (default 200)
#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "core/console.h"
#include "engine/engine.h"
#include "game/user_move.h"
#include "ui/app.h"
#include "ui/display_main.h"
#include "ui/main_window.h"
#include "ui/picking.h"
#include "ui/view.h"

namespace tarvex {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultRepetitions = 200;
constexpr int kWarmUp = 10;
constexpr int kMapSeconds = 10;  // how long the window may take to appear

// A 2D game's moves, from and to: a Ruy Lopez exchange line with captures on both sides, so
// that the captured pieces are drawn too.
constexpr std::string_view kMiddlegameMoves[][2] = {
    {"e2", "e4"}, {"e7", "e5"}, {"g1", "f3"}, {"b8", "c6"}, {"f1", "b5"}, {"a7", "a6"},
    {"b5", "c6"}, {"d7", "c6"}, {"e1", "g1"}, {"f7", "f6"}, {"d2", "d4"}, {"e5", "d4"},
    {"f3", "d4"}, {"c6", "c5"}, {"d4", "e2"}, {"d8", "d1"}, {"f1", "d1"}, {"c8", "g4"}};

// The 3D square picked, on the neutral level: its centre in scene units (the level is the
// plane z = 0, square (column, row) has its corner at (column - 2, row - 4)).
constexpr unsigned kPickColumn = 2, kPickRow = 4;
constexpr unsigned kPickSquare = 8 * kPickColumn + kPickRow;
constexpr double kPickX = kPickColumn - 2.0 + 0.5, kPickY = kPickRow - 4.0 + 0.5;

bool gShown = false;  // the window has been drawn once by GLUT itself

void FirstDisplay() {
    gShown = true;
    ui::DisplayMain();
}

unsigned Square(std::string_view name) {
    return static_cast<unsigned>(name[0] - 'a') * 8 + static_cast<unsigned>(name[1] - '1');
}

void Report(const char* name, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const size_t n = ms.size();
    const double median = n % 2 == 1 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2.0;
    const double p90 = ms[(n * 9 + 9) / 10 - 1];
    std::printf("%s: median %.3f ms (min %.3f, p90 %.3f) over %zu\n", name, median, ms.front(), p90,
                n);
}

// Milliseconds of each of repetitions calls of work, after a few untimed ones.
template <typename Work>
std::vector<double> Time(int repetitions, Work work) {
    for (int i = 0; i < kWarmUp; ++i) work();
    std::vector<double> ms;
    ms.reserve(static_cast<size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        const Clock::time_point start = Clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return ms;
}

void Redraw() {
    ui::DisplayMain();
    glFinish();
}

// Waits until the window is mapped and GLUT has drawn it once.
void WaitForWindow() {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(kMapSeconds);
    while (!gShown) {
        if (Clock::now() > deadline) {
            std::fprintf(stderr, "window_bench: the window was never drawn\n");
            std::exit(EXIT_FAILURE);
        }
        glutMainLoopEvent();
    }
}

// The window coordinates (y down, as the mouse reports them) of the picked square's centre
// in the current view.
void PickPoint(const ui::App& app, int& x, int& y) {
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    ui::ViewSetUp(app.view);  // leaves the model-view matrix current
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    GLdouble wx, wy, wz;
    gluProject(kPickX, kPickY, 0.0, model, projection, viewport, &wx, &wy, &wz);
    x = static_cast<int>(wx);
    y = viewport[3] - static_cast<int>(wy);
}

void PlayMiddlegame(ui::App& app) {
    const int engineSide = app.controller.Options().engineSide;
    app.controller.SetEngineSide(0, false);  // the user plays both sides
    for (const auto& [from, to] : kMiddlegameMoves) {
        const Move move = BuildUserMove(app.controller.Current(), Square(from), Square(to));
        if (!app.controller.UserMove(move)) {
            std::fprintf(stderr, "window_bench: move %.2s-%.2s refused\n", from.data(), to.data());
            std::exit(EXIT_FAILURE);
        }
    }
    app.controller.SetEngineSide(engineSide, false);
}

int Run(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRepetitions;
    ui::App app(std::make_unique<engine::Engine>());
    app.controller.SetEngineThread(nullptr);  // the engine never runs here
    ui::SetApp(&app);
    ui::InitGlut(&argc, argv);
    ui::CreateMainWindow();
    glutDisplayFunc(FirstDisplay);
    glutReshapeFunc(ui::Reshape);
    {
        ConsoleCapture quiet;  // the banner and the set-up notices
        app.controller.SetDifficulty(kDifficultyEasy);
        app.controller.NewGame(kGame3D);
    }
    WaitForWindow();

    const std::vector<double> redraw3D = Time(repetitions, Redraw);
    int x = 0, y = 0;
    PickPoint(app, x, y);
    const unsigned picked = ui::Pick(app, x, y);
    if (picked != kPickSquare) {
        std::fprintf(stderr, "window_bench: the pick at %d,%d found %u, not square %u\n", x, y,
                     picked, kPickSquare);
        return EXIT_FAILURE;
    }
    const std::vector<double> pick = Time(repetitions, [&] { ui::Pick(app, x, y); });
    {
        ConsoleCapture quiet;
        app.controller.NewGame(kGame2D);
        PlayMiddlegame(app);
    }
    const std::vector<double> redraw2D = Time(repetitions, Redraw);

    Report("3d start redraw", redraw3D);
    Report("2d middlegame redraw", redraw2D);
    char pickName[64];
    std::snprintf(pickName, sizeof pickName, "3d start pick (square %u at %d,%d)", kPickSquare, x,
                  y);
    Report(pickName, pick);

    glutDestroyWindow(app.mainWindow);
    ui::SetApp(nullptr);
    return EXIT_SUCCESS;
}

}  // namespace
}  // namespace tarvex

int main(int argc, char** argv) {
    return tarvex::Run(argc, argv);
}
