#include "ui/app.h"

#include <cstdarg>
#include <cstdio>

#include "ui/view.h"

namespace tarvex::ui {
namespace {

App* gApp = nullptr;

}  // namespace

App::App(std::unique_ptr<engine::MoveChooser> engineIn)
    : engine(std::move(engineIn)), engineThread(controller, *engine) {
    controller.SetEngineThread(&engineThread);
    ConnectEngine(controller, *engine);
    ControllerHooks hooks = controller.Hooks();
    hooks.setUp.clearHighlights = [this] {
        selection.value = kNothingSelected;
        selection.ClearHighlights();
    };
    hooks.setUp.resetView = [this] { ViewReset(view, controller.Current().gameKind); };
    hooks.cannotPlay = [this](const char* text) { ShowMessage(*this, "%s", text); };
    controller.SetHooks(std::move(hooks));
}

App& TheApp() {
    return *gApp;
}

void SetApp(App* app) {
    gApp = app;
}

void ShowMessage(App& app, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(app.text.message, sizeof app.text.message, format, args);
    va_end(args);
}

}  // namespace tarvex::ui
