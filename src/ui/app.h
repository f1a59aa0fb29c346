// The application record: everything the window's callbacks work on. main sets it up, points
// the callbacks at it and tears it down after GLUT's loop returns; the callbacks keep no state
// of their own.
#pragma once

#include <memory>

#include "engine/move_chooser.h"
#include "game/engine_thread.h"
#include "game/game_controller.h"

namespace tarvex::ui {

struct App {
    explicit App(std::unique_ptr<engine::MoveChooser> engineIn)
        : engine(std::move(engineIn)), engineThread(controller, *engine) {
        controller.SetEngineThread(&engineThread);
        ConnectEngine(controller, *engine);
    }
    ~App() { engineThread.Stop(); }
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    GameController controller;
    std::unique_ptr<engine::MoveChooser> engine;
    game::EngineThread engineThread;  // after the engine and the controller it uses
    int mainWindow = 0;               // the GLUT window
};

// The record the callbacks reach; set once by main.
App& TheApp();
void SetApp(App* app);

}  // namespace tarvex::ui
