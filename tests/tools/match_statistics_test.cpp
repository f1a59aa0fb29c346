// The match figures against values worked out by hand from the pentanomial counts.
#include "tarvex-tool/match_statistics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvex::tool {
namespace {

// Pairs scoring 0, 0.5, 1, 1.5, 2: ten pairs, 13 of 20 points. The mean pair share is 0.65, the
// variance of the shares 0.1025.
constexpr Pentanomial kTenPairs = {1, 1, 2, 3, 3};

TEST(MatchStatistics, EloAndErrorFromPairScores) {
    const MatchFigures figures = FiguresOf(kTenPairs);
    EXPECT_EQ(figures.pairs, 10);
    EXPECT_DOUBLE_EQ(figures.score, 0.65);
    // -400 log10(1/0.65 - 1), and 1.96 sqrt(0.1025 / 10) through the slope 400 / (ln 10 s (1-s)).
    EXPECT_NEAR(figures.elo, 107.538, 1e-3);
    EXPECT_NEAR(figures.error, 151.521, 1e-3);
    EXPECT_FALSE(figures.bounded);
    EXPECT_EQ(EloText(figures), "elo +107.5 +/- 151.5");
    // Every pair drawn on points: no spread, and an even score is not "-0.0".
    EXPECT_EQ(EloText(FiguresOf({0, 0, 4, 0, 0})), "elo +0.0 +/- 0.0");
}

TEST(MatchStatistics, OneSidedResultsGiveBoundsNotInfinities) {
    // Three pairs, all won: the Elo of 11 of 12 half points, 400 log10(11).
    const MatchFigures won = FiguresOf({0, 0, 0, 0, 3});
    EXPECT_TRUE(won.bounded);
    EXPECT_NEAR(won.elo, 416.557, 1e-3);
    EXPECT_EQ(EloText(won), "elo > +416.6");
    EXPECT_EQ(EloText(FiguresOf({3, 0, 0, 0, 0})), "elo < -416.6");

    // The sequential test stays finite; a pair or two decide nothing, a long run does.
    const SprtTest test;
    const double llrWon = LogLikelihoodRatio({0, 0, 0, 0, 3}, test);
    EXPECT_TRUE(std::isfinite(llrWon));
    EXPECT_GT(llrWon, 0);
    EXPECT_EQ(Verdict(llrWon, test), SprtVerdict::kContinue);
    EXPECT_EQ(Verdict(LogLikelihoodRatio({0, 0, 0, 0, 30}, test), test), SprtVerdict::kAcceptH1);
    EXPECT_EQ(Verdict(LogLikelihoodRatio({30, 0, 0, 0, 0}, test), test), SprtVerdict::kAcceptH0);
}

TEST(MatchStatistics, SequentialTest) {
    const SprtTest test{0, 5, 0.05, 0.05};
    EXPECT_NEAR(LowerBound(test), -2.944439, 1e-6);  // ln(0.05 / 0.95)
    EXPECT_NEAR(UpperBound(test), 2.944439, 1e-6);
    // With the prior pair the counts weigh 1.2, 1.2, 2.2, 3.2, 3.2: mean 7/11, variance
    // 0.1064050; 10 (s1 - s0) (2 * 7/11 - s0 - s1) / (2 * 0.1064050), s0 = 0.5,
    // s1 = 1 / (1 + 10^(-5/400)).
    EXPECT_NEAR(LogLikelihoodRatio(kTenPairs, test), 0.0897762, 1e-6);
    // Tighter error rates widen the bounds.
    const SprtTest strict{0, 5, 0.01, 0.01};
    EXPECT_EQ(Verdict(3.0, test), SprtVerdict::kAcceptH1);
    EXPECT_EQ(Verdict(3.0, strict), SprtVerdict::kContinue);
    EXPECT_EQ(Verdict(-3.0, test), SprtVerdict::kAcceptH0);
    // A score below both hypotheses' speaks for H0, and more pairs of it speak louder.
    const double few = LogLikelihoodRatio({1, 2, 4, 2, 1}, test);
    const double many = LogLikelihoodRatio({10, 20, 40, 20, 10}, test);
    EXPECT_LT(few, 0);
    EXPECT_LT(many, 10 * few);
}

}  // namespace
}  // namespace tarvex::tool
