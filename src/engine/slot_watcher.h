// Watching the evaluation read its weights. An evaluator given a watcher passes every weight
// its terms read through it: the tuner learns which slots a position's evaluation depends on,
// and may hand back a moved value for one of them to take its slope.
#pragma once

#include <cstdint>

#include "engine/parameters.h"

namespace tarvex::engine {

class SlotWatcher {
public:
    // The value the evaluation uses for slot, whose stored value is value.
    virtual int32_t Read(int slot, int32_t value) = 0;

protected:
    ~SlotWatcher() = default;
};

// The weights of one stage as the terms read them. The evaluation is compiled for each reader:
// the plain one is a load, and only an evaluator given a watcher runs the watched one.
struct PlainReader {
    const ParameterSet& set;
    SlotWatcher* watcher;  // unused: the same fields as the watched reader

    int32_t operator[](int slot) const { return set[static_cast<unsigned>(slot)]; }
};

struct WatchedReader {
    const ParameterSet& set;
    SlotWatcher* watcher;

    int32_t operator[](int slot) const {
        return watcher->Read(slot, set[static_cast<unsigned>(slot)]);
    }
};

}  // namespace tarvex::engine
