// The windowed program: opens the window, starts the engine thread and runs GLUT's loop until
// the user quits.
#include <GL/freeglut.h>

#include "core/settings.h"
#include "game/engine_thread.h"
#include "game/game_controller.h"
#include "ui/keyboard.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    tarvex::ui::InitGlut(&argc, argv);
    tarvex::ui::CreateMainWindow();
    tarvex::ui::InstallCallbacks();
    tarvex::GetSettings().difficulty.store(tarvex::kDifficultyEasy, std::memory_order_relaxed);

    // Owned here, not at namespace scope, so that the engine thread is joined before the
    // process ends.
    tarvex::game::EngineThread engine;
    tarvex::GameController controller(&engine);
    controller.NewGame(tarvex::kGame3D);
    tarvex::ui::KeyboardHit('H', 0, 0);
    engine.Start();
    glutMainLoop();
    engine.Stop();
    return 0;
}
