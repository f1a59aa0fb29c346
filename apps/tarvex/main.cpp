// The windowed program: opens the window, starts a new 3D game with the engine on its own
// thread and runs GLUT's loop until the user quits.
#include <GL/freeglut.h>

#include <memory>

#include "engine/engine.h"
#include "ui/app.h"
#include "ui/keyboard.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    using namespace tarvex;
    // Owned here, not at namespace scope, so that the engine thread is joined before the
    // process ends.
    ui::App app(std::make_unique<engine::Engine>());
    ui::SetApp(&app);
    ui::InitGlut(&argc, argv);
    ui::CreateMainWindow();
    ui::InstallCallbacks();
    app.controller.SetDifficulty(kDifficultyEasy);
    app.controller.NewGame(kGame3D);
    ui::KeyboardCommand(app, 'H');
    app.engineThread.Start();
    glutMainLoop();
    app.engineThread.Stop();
    ui::SetApp(nullptr);
    return 0;
}
