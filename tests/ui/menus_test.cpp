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

// In this order: each choice rewrites its submenu's labels; "Plays both" keeps the side.
TEST(MenusTest, RadioLabelsAndWhoPlays) {
    auto app = NewApp(kGame3D);
    const struct {
        Menu menu;
        int value;
        Labels labels;
    } kCases[] = {
        {Menu::kEngine, 1, {"PLAYS WHITE", "plays black", "plays both", "does not play"}},
        {Menu::kEngine, 2, {"plays white", "plays black", "PLAYS BOTH", "does not play"}},
        {Menu::kEngine, -1, {"plays white", "PLAYS BLACK", "plays both", "does not play"}},
        {Menu::kRules, 1, {"tournament", "STANDARD"}},
        {Menu::kNotation, 2, {"tournament", "standard", "ALGEBRAIC"}},
        {Menu::kThinking, 3, {"classic", "1 second", "3 SECONDS", "10 seconds", "30 seconds"}},
        {Menu::kThinking, 2, {}},  // not offered: the 3 seconds stay
        {Menu::kSpread, 2, {}},
        {Menu::kDifficulty, 8, {}},  // its labels follow the controller's hook
    };
    const GameOptions& options = app->controller.Options();
    const int& playsBoth = app->controller.CurrentGame().block.playsBoth;
    for (const auto& c : kCases) {
        EXPECT_EQ(Chosen(*app, c.menu, c.value).labels, c.labels) << c.value;
        if (c.menu != Menu::kEngine) continue;
        EXPECT_EQ(options.engineSide, c.value == 2 ? 1 : c.value);
        EXPECT_EQ(playsBoth, c.value == 2 ? 1 : 0);
    }
    EXPECT_EQ(options.thinking, (ThinkingTime{ThinkingTime::Kind::kSeconds, 3}));
    EXPECT_EQ(ThinkingLabels(ThinkingTime{}),
              (Labels{"CLASSIC", "1 second", "3 seconds", "10 seconds", "30 seconds"}));
    EXPECT_EQ(ThinkingLabels({ThinkingTime::Kind::kNodes, 3}),
              (Labels{"classic", "1 second", "3 seconds", "10 seconds", "30 seconds"}));
    EXPECT_EQ(options.notation, kNotationAlgebraic);
    EXPECT_EQ(options.spread, kSpreadTeam);
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

TEST(MenusTest, QuitUnknownValuesNewGameAndRules) {
    auto app = NewApp(kGame3D);
    const struct {
        Menu menu;
        int value;
        const char* text;
    } kCases[] = {{Menu::kMain, 1, "\nUnknown main menu value\n"},
                  {Menu::kGame, 1, "\nunknown selection @ DoGameMenu\n"},
                  {Menu::kView, 5, "\nUnknown View Menu value\n"},
                  {Menu::kGame, 5, ""}};
    for (const auto& c : kCases) {
        std::string text;
        EXPECT_FALSE(Chosen(*app, c.menu, c.value, &text).quit);
        EXPECT_EQ(text, c.text) << c.value;
    }
    EXPECT_TRUE(Chosen(*app, Menu::kMain, 3).quit);

    // A new game of the same kind is announced once; the rules apply to the position at once.
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
