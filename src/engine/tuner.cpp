// The tuner's rounds: the split, K, the slopes (in worker threads), the Adam fit of the linear
// model and the report of each round.
#include "engine/tuner.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <thread>
#include <utility>

#include "core/console.h"
#include "engine/evaluation.h"
#include "engine/parameter_layout.h"
#include "engine/parameter_text.h"
#include "engine/slot_watcher.h"

namespace tarvex::engine {
namespace {

using namespace slot;

// Read outside the terms (the draw score, the threat term): their slopes come from evaluators
// whose sets carry the moved value.
constexpr int kOutsideSlots[] = {kContempt, kThreatWin, kThreatLose};
constexpr int kUnreadFirst = 1181, kUnreadLast = 1187, kUnreadSingle = 1345;
constexpr int kHoldoutBlock = 64;  // consecutive positions, mostly of one game, stay together
constexpr int kShownChanges = 10;
constexpr int kSquareTableSize = 64;
constexpr int kMirrorFiles = 56;  // square ^ 56: file f <-> 7 - f, same rank
constexpr int kSquareTables[] = {kRookSquares, kKnightSquares, kControlSquares, kPawnSquares};
constexpr double kLowestLogK = -7, kHighestLogK = -2;  // K searched between 1e-7 and 1e-2
constexpr int kGoldenSteps = 60;
constexpr double kBeta1 = 0.9, kBeta2 = 0.999, kAdamEpsilon = 1e-12;
constexpr double kFinalRateShare = 0.1;  // the step shrinks linearly to this share of the rate

struct Slope {
    uint16_t slot;
    float value;
};

// A training position's evaluation and slopes at the round's weights.
struct Features {
    double value = 0;
    std::vector<Slope> slopes;
};

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Sigmoid(double x) {
    return 1 / (1 + std::exp(-x));
}

// Records the slots an evaluation reads, and moves one slot by shift.
class Tracer final : public SlotWatcher {
public:
    int32_t Read(int slot, int32_t value) override {
        read[static_cast<unsigned>(slot)] = true;
        return slot == target ? value + shift : value;
    }
    std::array<bool, kParameterCount> read{};
    int target = -1;
    int shift = 0;
};

// The full evaluation from White's side, on a copy, in a fresh record.
int WhiteValue(const Evaluator& evaluator, const Position& position) {
    Position copy = position;
    EvalState record;
    return evaluator.Evaluate(copy, record, kFullEvaluation, 2) * SideSign(copy);
}

using FreeSlots = std::array<std::array<bool, kParameterCount>, kStageCount>;

FreeSlots FindFreeSlots(const TuneOptions& options) {
    FreeSlots free{};
    for (int stage = 0; stage < kStageCount; ++stage) {
        for (int s = 0; s < kParameterCount; ++s) {
            const bool unread = (s >= kUnreadFirst && s <= kUnreadLast) || s == kUnreadSingle;
            free[stage][s] = !unread && !options.held[static_cast<unsigned>(s)] &&
                             (options.fixed == nullptr || !options.fixed(stage, s));
        }
    }
    return free;
}

bool IsOutside(int slot) {
    return std::find(std::begin(kOutsideSlots), std::end(kOutsideSlots), slot) !=
           std::end(kOutsideSlots);
}

// Runs work(begin, end) over [0, count) in threads parts.
template <typename Work>
void InParallel(size_t count, int threads, Work work) {
    std::vector<std::thread> workers;
    const size_t parts = static_cast<size_t>(std::max(threads, 1));
    for (size_t t = 0; t < parts; ++t) {
        workers.emplace_back([&, t] { work(count * t / parts, count * (t + 1) / parts); });
    }
    for (std::thread& worker : workers) worker.join();
}

// What every worker of one round shares, read only.
struct Round {
    int gameKind;
    const std::vector<const TunePosition*>& positions;
    const ParameterSets& sets;
    const FreeSlots& free;
};

// An evaluator of gameKind's positions with sets (the other game's sets stay empty).
std::unique_ptr<Evaluator> EvaluatorOf(int gameKind, const ParameterSets& sets) {
    ParameterBook book;
    book.For(gameKind) = sets;
    return std::make_unique<Evaluator>(book);
}

// The same with slot moved by shift in every stage.
std::unique_ptr<Evaluator> MovedEvaluator(int gameKind, const ParameterSets& sets, int slot,
                                          int shift) {
    ParameterSets moved = sets;
    for (ParameterSet& set : moved) set[static_cast<unsigned>(slot)] += shift;
    return EvaluatorOf(gameKind, moved);
}

// The slopes of positions [begin, end).
void ExtractSlopes(const Round& round, size_t begin, size_t end, std::vector<Features>& out) {
    const std::unique_ptr<Evaluator> evaluator = EvaluatorOf(round.gameKind, round.sets);
    Tracer tracer;
    evaluator->Watch(&tracer);
    std::unique_ptr<Evaluator> outside[std::size(kOutsideSlots)][2];
    for (size_t k = 0; k < std::size(kOutsideSlots); ++k) {
        outside[k][0] = MovedEvaluator(round.gameKind, round.sets, kOutsideSlots[k], kSlopeDelta);
        outside[k][1] = MovedEvaluator(round.gameKind, round.sets, kOutsideSlots[k], -kSlopeDelta);
    }
    for (size_t i = begin; i < end; ++i) {
        const Position& position = round.positions[i]->position;
        const int stage = static_cast<int>(position.stage & 3);
        Features& features = out[i];
        tracer.read.fill(false);
        tracer.target = -1;
        features.value = WhiteValue(*evaluator, position);
        const std::array<bool, kParameterCount> read = tracer.read;
        const auto add = [&](int slot, int up, int down) {
            if (up != down) {
                const double slope = (up - down) / (2.0 * kSlopeDelta);
                features.slopes.push_back({static_cast<uint16_t>(slot), static_cast<float>(slope)});
            }
        };
        for (int s = 0; s < kParameterCount; ++s) {
            if (!read[s] || !round.free[stage][s] || IsOutside(s)) continue;
            tracer.target = s;
            tracer.shift = kSlopeDelta;
            const int up = WhiteValue(*evaluator, position);
            tracer.shift = -kSlopeDelta;
            add(s, up, WhiteValue(*evaluator, position));
        }
        tracer.target = -1;
        for (size_t k = 0; k < std::size(kOutsideSlots); ++k) {
            if (!round.free[stage][kOutsideSlots[k]]) continue;
            add(kOutsideSlots[k], WhiteValue(*outside[k][0], position),
                WhiteValue(*outside[k][1], position));
        }
    }
}

// The real evaluation of every position at sets.
std::vector<double> Values(int gameKind, const std::vector<const TunePosition*>& positions,
                           const ParameterSets& sets, int threads) {
    std::vector<double> values(positions.size());
    InParallel(positions.size(), threads, [&](size_t begin, size_t end) {
        const std::unique_ptr<Evaluator> evaluator = EvaluatorOf(gameKind, sets);
        for (size_t i = begin; i < end; ++i) {
            values[i] = WhiteValue(*evaluator, positions[i]->position);
        }
    });
    return values;
}

double Loss(const std::vector<const TunePosition*>& positions, const std::vector<double>& values,
            double k) {
    if (positions.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
        const double error = positions[i]->result - Sigmoid(k * values[i]);
        sum += error * error;
    }
    return sum / static_cast<double>(positions.size());
}

// K by golden-section search on log10 K.
double FitK(const std::vector<const TunePosition*>& positions, const std::vector<double>& values) {
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double lo = kLowestLogK, hi = kHighestLogK;
    const auto loss = [&](double logK) { return Loss(positions, values, std::pow(10, logK)); };
    double a = hi - ratio * (hi - lo), b = lo + ratio * (hi - lo);
    double la = loss(a), lb = loss(b);
    for (int step = 0; step < kGoldenSteps; ++step) {
        if (la < lb) {
            hi = b;
            b = a;
            lb = la;
            a = hi - ratio * (hi - lo);
            la = loss(a);
        } else {
            lo = a;
            a = b;
            la = lb;
            b = lo + ratio * (hi - lo);
            lb = loss(b);
        }
    }
    return std::pow(10, (lo + hi) / 2);
}

// The slot whose value the 2D game's slot shares by left-right symmetry, or -1.
int MirrorPartner(int gameKind, int slot) {
    if (gameKind != kGame2D) return -1;
    for (int table : kSquareTables) {
        if (slot >= table && slot < table + kSquareTableSize) {
            return table + ((slot - table) ^ kMirrorFiles);
        }
    }
    return -1;
}

// Adam on the linear model of one round: returns the fitted (unrounded) weights.
std::vector<double> FitLinear(int gameKind, const std::vector<const TunePosition*>& train,
                              const std::vector<Features>& features, const ParameterSets& now,
                              const ParameterSets& start, double k, const TuneOptions& options) {
    constexpr size_t kAll = static_cast<size_t>(kStageCount) * kParameterCount;
    const auto index = [](int stage, int slot) {
        return static_cast<size_t>(stage) * kParameterCount + static_cast<size_t>(slot);
    };
    std::vector<double> x(kAll), origin(kAll), target(kAll);
    std::vector<int> readers(kAll, 0);
    for (int stage = 0; stage < kStageCount; ++stage) {
        for (int s = 0; s < kParameterCount; ++s) {
            x[index(stage, s)] = origin[index(stage, s)] = now[stage][s];
            target[index(stage, s)] = start[stage][s];
        }
    }
    std::vector<int> stages(train.size());
    for (size_t i = 0; i < train.size(); ++i) {
        stages[i] = static_cast<int>(train[i]->position.stage & 3);
        for (const Slope& slope : features[i].slopes) ++readers[index(stages[i], slope.slot)];
    }
    // Movable slots: enough readers (a mirrored pair counts both halves).
    std::vector<bool> movable(kAll, false);
    std::vector<int> partner(kAll, -1);
    for (int stage = 0; stage < kStageCount; ++stage) {
        for (int s = 0; s < kParameterCount; ++s) {
            const int mirror = MirrorPartner(gameKind, s);
            int count = readers[index(stage, s)];
            if (mirror >= 0 && mirror != s) {
                partner[index(stage, s)] = static_cast<int>(index(stage, mirror));
                count += readers[index(stage, mirror)];
            }
            movable[index(stage, s)] = count >= options.minimumReaders;
        }
    }
    std::vector<double> gradient(kAll), m(kAll, 0), v(kAll, 0);
    const double scale = train.empty() ? 0 : 1.0 / static_cast<double>(train.size());
    for (int epoch = 1; epoch <= options.epochs; ++epoch) {
        std::fill(gradient.begin(), gradient.end(), 0);
        for (size_t i = 0; i < train.size(); ++i) {
            const size_t base = index(stages[i], 0);
            double value = features[i].value;
            for (const Slope& slope : features[i].slopes) {
                value += slope.value * (x[base + slope.slot] - origin[base + slope.slot]);
            }
            const double p = Sigmoid(k * value);
            const double g = -2 * (train[i]->result - p) * p * (1 - p) * k * scale;
            for (const Slope& slope : features[i].slopes)
                gradient[base + slope.slot] += g * slope.value;
        }
        const double progress = static_cast<double>(epoch - 1) / options.epochs;
        const double rate = options.rate * (1 - (1 - kFinalRateShare) * progress);
        const double c1 = 1 - std::pow(kBeta1, epoch), c2 = 1 - std::pow(kBeta2, epoch);
        // A mirrored pair's slots share one gradient, taken before either moves: were the
        // second one's taken after the first had moved, the pull would drive the pair apart.
        for (size_t j = 0; j < kAll; ++j) gradient[j] += 2 * options.pull * (x[j] - target[j]);
        for (size_t j = 0; j < kAll; ++j) {
            if (partner[j] >= 0 && static_cast<size_t>(partner[j]) > j) {
                const size_t q = static_cast<size_t>(partner[j]);
                gradient[j] = gradient[q] = gradient[j] + gradient[q];
            }
        }
        for (size_t j = 0; j < kAll; ++j) {
            if (!movable[j]) continue;
            const double g = gradient[j];
            m[j] = kBeta1 * m[j] + (1 - kBeta1) * g;
            v[j] = kBeta2 * v[j] + (1 - kBeta2) * g * g;
            x[j] -= rate * (m[j] / c1) / (std::sqrt(v[j] / c2) + kAdamEpsilon);
            x[j] = std::clamp(x[j], -double{kParameterLimit}, double{kParameterLimit});
        }
    }
    return x;
}

void PrintChanges(const ParameterSets& before, const ParameterSets& after) {
    std::vector<std::pair<int, int>> changed;  // (stage, slot)
    for (int stage = 0; stage < kStageCount; ++stage) {
        for (int s = 0; s < kParameterCount; ++s) {
            if (before[stage][s] != after[stage][s]) changed.emplace_back(stage, s);
        }
    }
    const auto size = [&](const std::pair<int, int>& c) {
        return std::abs(int64_t{after[c.first][c.second]} - before[c.first][c.second]);
    };
    std::stable_sort(changed.begin(), changed.end(),
                     [&](const auto& a, const auto& b) { return size(a) > size(b); });
    ConsolePrint("changed slots %zu; most:\n", changed.size());
    for (size_t i = 0; i < changed.size() && i < kShownChanges; ++i) {
        const auto [stage, s] = changed[i];
        ConsolePrint("  %s stage %d: %d -> %d\n", SlotName(s).c_str(), stage, before[stage][s],
                     after[stage][s]);
    }
}

}  // namespace

std::string SlotName(int slot) {
    for (const ParameterRange& range : ParameterRanges()) {
        const int size = range.rows * range.columns;
        if (slot < range.first || slot >= range.first + size) continue;
        std::string name(range.name);
        if (size > 1) name += "+" + std::to_string(slot - range.first);
        return name;
    }
    return "slot " + std::to_string(slot);
}

ParameterSets Tune(int gameKind, const std::vector<TunePosition>& positions,
                   const ParameterSets& start, const TuneOptions& options) {
    std::vector<const TunePosition*> train, held;
    size_t count = 0;
    for (const TunePosition& position : positions) {
        if (position.position.gameKind != gameKind) continue;
        const bool hold =
            options.holdoutEvery > 0 && (count / kHoldoutBlock) % options.holdoutEvery ==
                                            static_cast<size_t>(options.holdoutEvery - 1);
        (hold ? held : train).push_back(&position);
        ++count;
    }
    ConsolePrint("positions %zu: training %zu, held out %zu\n", count, train.size(), held.size());
    const FreeSlots free = FindFreeSlots(options);

    auto clock = Clock::now();
    std::vector<double> trainValues = Values(gameKind, train, start, options.threads);
    std::vector<double> heldValues = Values(gameKind, held, start, options.threads);
    const double evaluation = Since(clock);
    ConsolePrint("evaluation %.2f s (%.1f us a position in one thread)\n", evaluation,
                 1e6 * evaluation * std::max(options.threads, 1) /
                     static_cast<double>(std::max<size_t>(count, 1)));
    const double k = FitK(train, trainValues);
    ConsolePrint("K %.6g (loss %.6f)\n", k, Loss(train, trainValues, k));

    ParameterSets now = start;
    for (int round = 1; round <= options.rounds; ++round) {
        clock = Clock::now();
        std::vector<Features> features(train.size());
        const Round shared{gameKind, train, now, free};
        InParallel(train.size(), options.threads,
                   [&](size_t begin, size_t end) { ExtractSlopes(shared, begin, end, features); });
        const double extraction = Since(clock);
        size_t slopes = 0;
        for (const Features& f : features) slopes += f.slopes.size();
        const double perPosition = 1.0 / static_cast<double>(std::max<size_t>(train.size(), 1));
        ConsolePrint(
            "round %d: slopes %.2f s (%.0f s per 100000 positions in %d threads), %.1f "
            "free slots with a slope a position\n",
            round, extraction, 1e5 * extraction * perPosition, options.threads,
            static_cast<double>(slopes) * perPosition);
        clock = Clock::now();
        const std::vector<double> x = FitLinear(gameKind, train, features, now, start, k, options);
        ParameterSets next = now;
        for (int stage = 0; stage < kStageCount; ++stage) {
            for (int s = 0; s < kParameterCount; ++s) {
                next[stage][s] = static_cast<int32_t>(
                    std::lround(x[static_cast<size_t>(stage) * kParameterCount + s]));
            }
        }
        ConsolePrint("round %d: fit %.2f s\n", round, Since(clock));
        clock = Clock::now();
        const std::vector<double> trainAfter = Values(gameKind, train, next, options.threads);
        const std::vector<double> heldAfter = Values(gameKind, held, next, options.threads);
        ConsolePrint("round %d: loss training %.6f -> %.6f, held out %.6f -> %.6f (%.2f s)\n",
                     round, Loss(train, trainValues, k), Loss(train, trainAfter, k),
                     Loss(held, heldValues, k), Loss(held, heldAfter, k), Since(clock));
        PrintChanges(now, next);
        now = next;
        trainValues = trainAfter;
        heldValues = heldAfter;
    }
    return now;
}

}  // namespace tarvex::engine
