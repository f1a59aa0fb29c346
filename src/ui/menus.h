// The pop-up menu tree on the right mouse button: built once at start-up; each submenu has its
// handler, and the radio-style submenus show the chosen entry in capitals.
#pragma once

#include <string>
#include <vector>

#include "ui/app.h"

namespace tarvex::ui {

// The menus of the tree; the two piece submenus ("Add white ...", "Add black ...") share one
// handler.
enum class Menu {
    kMain,
    kGame,
    kEngine,
    kDifficulty,
    kUndo,
    kMode,
    kRules,
    kNotation,
    kSpread,
    kProjection,
    kAxes,
    kOpacity,
    kCaptured,
    kView,
    kEdit,
    kAddPiece,
};

// What a choice leaves to GLUT: whether to quit, and the new labels of the chosen entry's
// submenu in entry order (empty when they stay).
struct MenuOutcome {
    bool quit = false;
    std::vector<std::string> labels;
};

// Carries out the choice of the entry with this value in a menu, without GLUT.
MenuOutcome MenuCommand(App& app, Menu menu, int value);

// The Difficulty submenu's labels for a difficulty: "EASY", "medium", "hard" for 4 and for any
// value other than 8 and 50; the chosen one in capitals.
std::vector<std::string> DifficultyLabels(int difficulty);

// Builds the whole tree in its construction order, attaches it to the right button and makes
// the controller's difficulty hook rewrite the Difficulty labels.
void BuildMenus(App& app);

// Rewrites the Difficulty submenu's labels for a difficulty. The controller stores the
// difficulty and calls this through its difficulty hook (the Difficulty submenu's choice and
// every new game).
void ShowDifficultyLabels(App& app, int difficulty);

}  // namespace tarvex::ui
