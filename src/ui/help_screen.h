// The console texts of the keyboard's information commands.
#pragma once

namespace tarvex::ui {

// The list of keys and what they do.
void PrintHelpScreen();

}  // namespace tarvex::ui
