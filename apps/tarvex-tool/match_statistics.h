// The figures of a match played in pairs: every opening is played twice, each engine White once,
// so the unit of a sample is the pair, scored 0, 0.5, 1, 1.5 or 2 from A's side. Counting pairs
// (the pentanomial counts) rather than games takes the correlation of the two games of an opening
// out of the error. Elo is logistic: a score s is worth -400 log10(1/s - 1).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tarvex::tool {

// How many pairs scored 0, 0.5, 1, 1.5 and 2 points for A.
using Pentanomial = std::array<int64_t, 5>;

inline constexpr double kConfidence95 = 1.959963984540054;  // the two-sided normal quantile

struct MatchFigures {
    int64_t pairs = 0;
    double score = 0;  // A's share of the points, 0..1
    // A's logistic Elo and the half-width of its 95% interval. When A won (or lost) every
    // point the Elo has no finite value: bounded is set and elo is the Elo of one half point
    // less (more), a bound the true figure lies beyond.
    double elo = 0;
    double error = 0;
    bool bounded = false;
};

MatchFigures FiguresOf(const Pentanomial& counts);

// "elo +12.3 +/- 4.5", or "elo > +190.8" / "elo < -190.8" when every point went one way.
std::string EloText(const MatchFigures& figures);

// The sequential test of A against B: H0, A is ELO0 stronger, against H1, A is ELO1 stronger
// (logistic Elo), on the normal approximation of the pair scores.
struct SprtTest {
    double elo0 = 0, elo1 = 5;
    double alpha = 0.05, beta = 0.05;
};
enum class SprtVerdict { kContinue, kAcceptH0, kAcceptH1 };

// The log-likelihood ratio of H1 against H0. The mean and variance of the pair scores are taken
// with one pair more, spread evenly over the five buckets: a one-sided start (no variance yet)
// gives a finite ratio and cannot decide the test after a pair or two.
double LogLikelihoodRatio(const Pentanomial& counts, const SprtTest& test);
// ln(beta / (1 - alpha)): H0 is accepted at or below it.
double LowerBound(const SprtTest& test);
// ln((1 - beta) / alpha): H1 is accepted at or above it.
double UpperBound(const SprtTest& test);
SprtVerdict Verdict(double llr, const SprtTest& test);

}  // namespace tarvex::tool
