// The display callback of the main window: the scene under the view settings, then three lines
// of text in the upper left corner (the header, the banner and the message line, which shows a
// hint when nothing more urgent is there), and below them, while the player asks for them, the
// engine's thoughts.
#pragma once

#include "ui/app.h"

namespace tarvex::ui {

// Draws everything from the current state and shows it.
void DisplayMain();

// The three text lines as the next redraw writes them (their colours in the app record's
// banner colour and the returned ones); exposed for the tests.
struct TextPass {
    char header[kTextLineSize];
    float headerColour[3];
    char message[kTextLineSize];
    float messageColour[3];
};
TextPass ComposeText(App& app);

}  // namespace tarvex::ui
