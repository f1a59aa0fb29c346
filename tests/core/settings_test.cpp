#include "core/settings.h"

#include <gtest/gtest.h>

#include <utility>

#include "support/game_kind.h"

namespace tarvex {
namespace {

// A fresh record, so that no other test's changes to the process record are seen.
TEST(SettingsTest, StartValues) {
    const Settings settings;
    EXPECT_EQ(settings.gameKind.load(), kGame3D);
    EXPECT_EQ(settings.engineSide.load(), -1);
    EXPECT_EQ(settings.playsBoth.load(), 0);
    EXPECT_EQ(settings.stopRequest.load(), 0);
    EXPECT_EQ(settings.difficulty.load(), kDifficultyEasy);
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
    // The program starts with a 3D game, whose view reset gives these values.
    EXPECT_EQ(settings.transparency.load(), 1);
    EXPECT_EQ(settings.xAngle.load(), 300.0f);
    EXPECT_EQ(settings.scale.load(), 1.6f);
}

TEST(SettingsTest, ShorthandsReadTheProcessRecord) {
    for (auto [kind, rules] :
         {std::pair{kGame2D, kRulesStandard}, std::pair{kGame3D, kRulesTournament}}) {
        GameKindScope scope(kind, rules);
        EXPECT_EQ(GameKind(), kind);
        EXPECT_EQ(Is3D(), kind == kGame3D);
        EXPECT_EQ(Rules(), rules);
        EXPECT_EQ(TournamentRules(), rules == kRulesTournament);
    }
}

}  // namespace
}  // namespace tarvex
