// The key history: the primary hash key of the position at each ply of the game, read by the
// repetition tests. Making a move writes the entry of the parent's ply and the one after it.
// Each thread writes its own history: the game installs its record's history on the thread
// that plays the game, a search installs a copy, and any other thread gets a private one.
#pragma once

#include <cstdint>

namespace tarvex {

inline constexpr unsigned kKeyHistorySize = 1000;

struct KeyHistory {
    uint32_t keys[kKeyHistorySize];
};

// The history the calling thread's moves write.
KeyHistory& CurrentKeyHistory();

// Installs a history for the calling thread while the object lives.
class KeyHistoryScope {
public:
    explicit KeyHistoryScope(KeyHistory& history);
    ~KeyHistoryScope();
    KeyHistoryScope(const KeyHistoryScope&) = delete;
    KeyHistoryScope& operator=(const KeyHistoryScope&) = delete;

private:
    KeyHistory* previous_;
};

}  // namespace tarvex
