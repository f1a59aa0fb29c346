// The application record the keyboard and menu tests drive: the first-legal-move engine, no
// engine thread, and a fresh game.
#pragma once

#include <memory>

#include "core/console.h"
#include "engine/first_legal_chooser.h"
#include "ui/app.h"

namespace tarvex::ui::testing {

inline std::unique_ptr<App> NewApp(int gameKind) {
    auto app = std::make_unique<App>(std::make_unique<engine::FirstLegalChooser>());
    app->controller.SetEngineThread(nullptr);
    ConsoleCapture quiet;
    app->controller.NewGame(gameKind);
    return app;
}

}  // namespace tarvex::ui::testing
