// The windowed program: opens the window, starts the engine thread and runs GLUT's loop until
// the user quits.
#include <GL/freeglut.h>

#include "core/settings.h"
#include "game/engine_thread.h"
#include "ui/keyboard.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    tarvex::ui::InitGlut(&argc, argv);
    tarvex::ui::CreateMainWindow();
    tarvex::ui::InstallCallbacks();
    tarvex::GetSettings().difficulty.store(tarvex::kDifficultyEasy, std::memory_order_relaxed);
    // new 3D game: set up once the game controller exists
    tarvex::ui::KeyboardHit('H', 0, 0);

    // Owned here, not at namespace scope, so that it is joined before the process ends.
    tarvex::game::EngineThread engine;
    engine.Start();
    glutMainLoop();
    engine.Stop();
    return 0;
}
