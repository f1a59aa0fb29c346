#include "core/settings.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// A fresh record, so that no other test's changes to the process record are seen.
TEST(SettingsTest, StartValues) {
    const Settings settings;
    EXPECT_EQ(settings.gameKind.load(), kGame3D);
    EXPECT_EQ(settings.engineSide.load(), -1);
    EXPECT_EQ(settings.playsBoth.load(), 0);
    EXPECT_EQ(settings.stopRequest.load(), 0);
    EXPECT_EQ(settings.difficulty.load(), 4);
    EXPECT_EQ(settings.rules.load(), kRulesTournament);
    EXPECT_EQ(settings.notation.load(), kNotationTournament);
    EXPECT_EQ(settings.spread.load(), kSpreadPiece);
    EXPECT_EQ(settings.projection.load(), 0);
    EXPECT_EQ(settings.axes.load(), 0);
    EXPECT_EQ(settings.capturedDisplay.load(), 1);
    EXPECT_EQ(settings.yAngle.load(), 0.0f);
    EXPECT_EQ(settings.zAngle.load(), 0);
    EXPECT_EQ(settings.blackView.load(), 0);
    EXPECT_EQ(settings.editAction.load(), 0);
}

// The program starts with a 3D game, whose view reset gives these values.
TEST(SettingsTest, StartViewIsTheViewResetOfThe3DGame) {
    const Settings settings;
    EXPECT_EQ(settings.transparency.load(), 1);
    EXPECT_EQ(settings.xAngle.load(), 300.0f);
    EXPECT_EQ(settings.scale.load(), 1.6f);
}

TEST(SettingsTest, SettingValues) {
    EXPECT_EQ(kGame2D, 2);
    EXPECT_EQ(kGame3D, 3);
    EXPECT_EQ(kRulesTournament, 0);
    EXPECT_EQ(kRulesStandard, 1);
    EXPECT_EQ(kNotationTournament, 0);
    EXPECT_EQ(kNotationStandard, 1);
    EXPECT_EQ(kNotationAlgebraic, 2);
    EXPECT_EQ(kDifficultyEasy, 4);
    EXPECT_EQ(kDifficultyMedium, 8);
    EXPECT_EQ(kDifficultyHard, 50);
    EXPECT_EQ(kSpreadOff, 0);
    EXPECT_EQ(kSpreadPiece, 1);
    EXPECT_EQ(kSpreadTeam, 2);
}

TEST(SettingsTest, ProcessRecordIsOneRecord) {
    EXPECT_EQ(&GetSettings(), &GetSettings());
}

TEST(SettingsTest, ShorthandsReadTheProcessRecord) {
    Settings& settings = GetSettings();
    const int kind = settings.gameKind.load();
    const int rules = settings.rules.load();

    settings.gameKind.store(kGame2D);
    settings.rules.store(kRulesStandard);
    EXPECT_EQ(GameKind(), kGame2D);
    EXPECT_FALSE(Is3D());
    EXPECT_EQ(Rules(), kRulesStandard);
    EXPECT_FALSE(TournamentRules());

    settings.gameKind.store(kGame3D);
    settings.rules.store(kRulesTournament);
    EXPECT_TRUE(Is3D());
    EXPECT_TRUE(TournamentRules());

    settings.gameKind.store(kind);
    settings.rules.store(rules);
}

}  // namespace
}  // namespace tarvex
