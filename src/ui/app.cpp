#include "ui/app.h"

namespace tarvex::ui {
namespace {

App* gApp = nullptr;

}  // namespace

App& TheApp() {
    return *gApp;
}

void SetApp(App* app) {
    gApp = app;
}

}  // namespace tarvex::ui
