// Watching the evaluation read its weights. An evaluator given a watcher passes every weight
// its terms read through it: the tuner learns which slots a position's evaluation depends on,
// and may hand back a moved value for one of them to take its slope. Without a watcher a read
// is a plain load and a test of one pointer.
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

// The weights of one stage as the terms read them: through the watcher when there is one.
struct SetReader {
    const ParameterSet& set;
    SlotWatcher* watcher;

    int32_t operator[](int slot) const {
        const int32_t value = set[static_cast<unsigned>(slot)];
        if (watcher != nullptr) [[unlikely]]
            return watcher->Read(slot, value);
        return value;
    }
};

}  // namespace tarvex::engine
