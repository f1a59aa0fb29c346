// The evaluation's tuner: fits the weights of one game to the results of its games.
//
// The model of a position is sigmoid(K * E), E the full static evaluation from White's side;
// the loss is the mean squared error against the game's result. K is fitted first with the
// starting weights. Each round then takes, for every training position, E and its slope along
// each free slot the evaluation read (a central finite difference through a SlotWatcher),
// fits the linear model E + sum slope * change with Adam (full batch, a small pull towards the
// starting values) and rounds the result; the next round starts from the new weights.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/parameters.h"
#include "engine/tune_data.h"

namespace tarvex::engine {

struct TuneOptions {
    int threads = 2;           // for evaluation and slopes
    int rounds = 1;            // each recomputes the slopes at the new weights
    int epochs = 300;          // Adam steps a round
    double rate = 20;          // Adam's step size, in weight units
    double pull = 1e-10;       // L2 pull towards the starting values, per squared unit
    int holdoutEvery = 10;     // every k-th block of positions is held out (0: none)
    int minimumReaders = 100;  // a slot read by fewer training positions stays where it is
    // Whether a slot of a stage must keep its value (null: none must).
    bool (*fixed)(int stage, int slot) = nullptr;
    // Slots the user holds at their values in every stage (--hold).
    std::array<bool, kParameterCount> held{};
};

// The slope delta: a multiple of the quiet-move scaling's divisor, so that the rounded
// arithmetic gives the exact slope of a linear term.
inline constexpr int kSlopeDelta = 128;

// The weights of gameKind tuned on the positions of that game (others are ignored), starting
// from start; progress goes to the console. Returns the tuned sets.
ParameterSets Tune(int gameKind, const std::vector<TunePosition>& positions,
                   const ParameterSets& start, const TuneOptions& options);

// The name of a slot as "<range>[+offset]" (for the tuner's report).
std::string SlotName(int slot);

}  // namespace tarvex::engine
