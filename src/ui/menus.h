// The pop-up menu tree on the right mouse button: built once at start-up; each submenu has its
// handler, and the radio-style submenus show the chosen entry in capitals.
#pragma once

#include <string>
#include <vector>

#include "game/thinking.h"
#include "ui/app.h"

namespace tarvex::ui {

// The menus of the tree; the two piece submenus ("Add white ...", "Add black ...") share one
// handler.
enum class Menu {
    kMain,
    kGame,
    kEngine,
    kDifficulty,
    kThinking,
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

// Every choice but the Game menu's Hint (which asks for a new one) clears the hint.
//
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

// The Thinking time submenu's labels: "CLASSIC", "1 second", "3 seconds", ... for the classic
// budget, the chosen time in capitals; a node budget (the tools' own) is none of them.
std::vector<std::string> ThinkingLabels(ThinkingTime thinking);

// Builds the whole tree in its construction order, attaches it to the right button and makes
// the controller's difficulty hook rewrite the Difficulty labels.
void BuildMenus(App& app);

// Rewrites the Difficulty submenu's labels for a difficulty. The controller stores the
// difficulty and calls this through its difficulty hook (the Difficulty submenu's choice and
// every new game).
void ShowDifficultyLabels(App& app, int difficulty);

}  // namespace tarvex::ui
