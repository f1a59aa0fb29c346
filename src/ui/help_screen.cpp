#include "ui/help_screen.h"

#include "core/console.h"

namespace tarvex::ui {
namespace {

constexpr const char* kHelpLines[] = {
    "\narrow keys pan, page keys zoom, <shift> faster",
    "\nF2 \t new 2D game",
    "\nF3 \t new 3D game",
    "\nF5 \t fetch favorite view",
    "\nF6 \t store favorite view",
    "\nF7-F8 \t replay step back-forward",
    "\nF9 \t autoplay",
    "\nF10\t come to full stop",
    "\nA \t toggle axes",
    "\nB \t Tarvex play black",
    "\nC \t captured pieces toggle",
    "\nW \t Tarvex play white",
    "\nL \t list game",
    "\nO \t overhead view",
    "\nQ \t quit",
    "\nR \t restore game",
    "\nS \t save game",
    "\nT \t toggle transparency",
    "\nU \t undo one move",
    "\nV \t view reset",
    "\nZ \t black view toggle(2D)",
    "\nH \t help screen (press 'H' in main window)",
    "\nN \t hint: a move for you",
    "\nI \t engine thoughts toggle",
};

}  // namespace

void PrintHelpScreen() {
    for (const char* line : kHelpLines) ConsolePrint("%s", line);
}

}  // namespace tarvex::ui
