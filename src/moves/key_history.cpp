#include "moves/key_history.h"

namespace tarvex {
namespace {

thread_local KeyHistory tPrivateHistory{};
thread_local KeyHistory* tInstalled = nullptr;

}  // namespace

KeyHistory& CurrentKeyHistory() {
    return tInstalled != nullptr ? *tInstalled : tPrivateHistory;
}

KeyHistoryScope::KeyHistoryScope(KeyHistory& history) : previous_(tInstalled) {
    tInstalled = &history;
}

KeyHistoryScope::~KeyHistoryScope() {
    tInstalled = previous_;
}

}  // namespace tarvex
