#include "match_statistics.h"

#include <cmath>
#include <cstdio>

namespace tarvex::tool {
namespace {

constexpr int kBuckets = 5;
constexpr double kBucketStep = 0.25;  // a pair's share of its two points per bucket
// The test's prior: one pair more, spread evenly over the buckets.
constexpr double kPriorPerBucket = 1.0 / kBuckets;

// A pair's share of its two points in each bucket: 0, 0.25, ... 1.
double BucketScore(int bucket) {
    return bucket * kBucketStep;
}

double EloOfScore(double score) {
    return -400.0 * std::log10(1.0 / score - 1.0);
}

double ScoreOfElo(double elo) {
    return 1.0 / (1.0 + std::pow(10.0, -elo / 400.0));
}

// The mean and variance of the pair scores, with the bucket counts given as weights.
struct Moments {
    double mean = 0;
    double variance = 0;
    double total = 0;
};

template <typename Counts>
Moments MomentsOf(const Counts& counts) {
    Moments m;
    for (int b = 0; b < kBuckets; ++b) {
        m.total += static_cast<double>(counts[b]);
        m.mean += static_cast<double>(counts[b]) * BucketScore(b);
    }
    if (m.total == 0) return m;
    m.mean /= m.total;
    for (int b = 0; b < kBuckets; ++b) {
        const double deviation = BucketScore(b) - m.mean;
        m.variance += static_cast<double>(counts[b]) * deviation * deviation;
    }
    m.variance /= m.total;
    return m;
}

}  // namespace

MatchFigures FiguresOf(const Pentanomial& counts) {
    MatchFigures figures;
    const Moments m = MomentsOf(counts);
    figures.pairs = static_cast<int64_t>(m.total);
    if (figures.pairs == 0) return figures;
    figures.score = m.mean;
    if (m.mean <= 0 || m.mean >= 1) {
        // One half point the other way: with n pairs there are 4n half points.
        const double halfPoint = 1.0 / (4.0 * m.total);
        figures.bounded = true;
        figures.elo = EloOfScore(m.mean >= 1 ? 1 - halfPoint : halfPoint);
        return figures;
    }
    // The error of the mean score, carried to Elo through the slope of the logistic curve.
    const double scoreError = kConfidence95 * std::sqrt(m.variance / m.total);
    const double slope = 400.0 / (std::log(10.0) * m.mean * (1 - m.mean));
    figures.elo = EloOfScore(m.mean) + 0.0;  // an even score is +0.0, not -0.0
    figures.error = scoreError * slope;
    return figures;
}

std::string EloText(const MatchFigures& figures) {
    char text[64];
    if (figures.bounded) {
        std::snprintf(text, sizeof text, "elo %s %+.1f", figures.elo > 0 ? ">" : "<", figures.elo);
    } else {
        std::snprintf(text, sizeof text, "elo %+.1f +/- %.1f", figures.elo, figures.error);
    }
    return text;
}

double LogLikelihoodRatio(const Pentanomial& counts, const SprtTest& test) {
    std::array<double, kBuckets> weights{};
    for (int b = 0; b < kBuckets; ++b) {
        weights[b] = static_cast<double>(counts[b]) + kPriorPerBucket;
    }
    const Moments m = MomentsOf(weights);
    const double score0 = ScoreOfElo(test.elo0);
    const double score1 = ScoreOfElo(test.elo1);
    // The log ratio of two normal likelihoods of the same variance: with N pairs of mean s and
    // variance v, N ((s - s0)^2 - (s - s1)^2) / (2 v).
    const double pairs =
        static_cast<double>(counts[0] + counts[1] + counts[2] + counts[3] + counts[4]);
    return pairs * (score1 - score0) * (2 * m.mean - score0 - score1) / (2 * m.variance);
}

double LowerBound(const SprtTest& test) {
    return std::log(test.beta / (1 - test.alpha));
}

double UpperBound(const SprtTest& test) {
    return std::log((1 - test.beta) / test.alpha);
}

SprtVerdict Verdict(double llr, const SprtTest& test) {
    if (llr >= UpperBound(test)) return SprtVerdict::kAcceptH1;
    if (llr <= LowerBound(test)) return SprtVerdict::kAcceptH0;
    return SprtVerdict::kContinue;
}

}  // namespace tarvex::tool
