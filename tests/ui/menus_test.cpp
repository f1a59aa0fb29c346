#include "ui/menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/ui_test_app.h"

namespace tarvex::ui {
namespace {

using testing::NewApp;
using Labels = std::vector<std::string>;

MenuOutcome Chosen(App& app, Menu menu, int value, std::string* text = nullptr) {
    ConsoleCapture capture;
    MenuOutcome outcome = MenuCommand(app, menu, value);
    if (text != nullptr) *text = capture.Text();
    return outcome;
}

// "Plays both" keeps the engine on the side to move; a thinking time the menu does not offer
// changes nothing, and a budget of nodes marks no label. (The window tests choose the other
// entries and read their labels.)
TEST(MenusTest, PlaysBothAndChoicesNotOffered) {
    auto app = NewApp(kGame3D);
    const GameOptions& options = app->controller.Options();
    const int& playsBoth = app->controller.CurrentGame().block.playsBoth;
    EXPECT_EQ(Chosen(*app, Menu::kEngine, 2).labels,
              (Labels{"plays white", "plays black", "PLAYS BOTH", "does not play"}));
    EXPECT_EQ(options.engineSide, 1);
    EXPECT_EQ(playsBoth, 1);
    Chosen(*app, Menu::kEngine, -1);
    EXPECT_EQ(options.engineSide, -1);
    EXPECT_EQ(playsBoth, 0);
    Chosen(*app, Menu::kThinking, 3);
    EXPECT_EQ(Chosen(*app, Menu::kThinking, 2).labels, Labels{});
    EXPECT_EQ(options.thinking, (ThinkingTime{ThinkingTime::Kind::kSeconds, 3}));
    EXPECT_EQ(ThinkingLabels({ThinkingTime::Kind::kNodes, 3}),
              (Labels{"classic", "1 second", "3 seconds", "10 seconds", "30 seconds"}));
}

// The controller stores the difficulty and hands it to the labels, also when a new game keeps it.
TEST(MenusTest, Difficulty) {
    EXPECT_EQ(DifficultyLabels(7), (Labels{"EASY", "medium", "hard"}));
    auto app = NewApp(kGame3D);
    std::vector<int> shown;
    ControllerHooks hooks = app->controller.Hooks();
    hooks.difficulty = [&shown](int difficulty) { shown.push_back(difficulty); };
    app->controller.SetHooks(hooks);
    Chosen(*app, Menu::kDifficulty, 50);
    EXPECT_EQ(app->controller.Options().difficulty, 50);
    Chosen(*app, Menu::kMode, kGame2D);
    Chosen(*app, Menu::kDifficulty, 9);
    EXPECT_EQ(shown, (std::vector<int>{50, 50, 4}));
    EXPECT_EQ(app->controller.Options().difficulty, 4);
}

// A new game of the same kind is announced once; the rules apply to the position at once.
TEST(MenusTest, NewGameAndRules) {
    auto app = NewApp(kGame3D);
    const Position& p = app->controller.Current();
    Chosen(*app, Menu::kEdit, 4);
    std::string text;
    Chosen(*app, Menu::kGame, 0, &text);
    EXPECT_EQ(p.ply, 0u);
    const size_t banner = text.find("\nTarvex V2.87\n");
    EXPECT_NE(banner, std::string::npos) << text;
    EXPECT_EQ(text.find("\nTarvex V2.87\n", banner + 1), std::string::npos) << text;
    Chosen(*app, Menu::kRules, kRulesStandard);
    EXPECT_EQ(p.rules, kRulesStandard);
}

}  // namespace
}  // namespace tarvex::ui
