#include "game/engine_thread.h"

#include "core/settings.h"

namespace tarvex::game {

void EngineThread::Start() {
    if (Running()) return;
    terminate_.Lower();
    worker_.Start([this] { Loop(); });
}

void EngineThread::Stop() {
    if (!Running()) return;
    // The stop request makes a search in progress give up at its next stop test.
    GetSettings().stopRequest.store(1, std::memory_order_relaxed);
    terminate_.Raise();
    worker_.Join();
}

void EngineThread::Loop() {
    // Until the game controller hands the engine a position, a poll only counts itself.
    do {
        polls_.fetch_add(1, std::memory_order_relaxed);
    } while (!terminate_.WaitFor(kPollPeriod));
}

}  // namespace tarvex::game
