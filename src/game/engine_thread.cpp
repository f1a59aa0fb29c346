#include "game/engine_thread.h"

#include <memory>

#include "core/settings.h"
#include "game/game_controller.h"

namespace tarvex::game {

void EngineThread::Start() {
    if (Running()) return;
    terminate_.Lower();
    worker_.Start([this] { Loop(); });
}

void EngineThread::Stop() {
    if (!Running()) return;
    terminate_.Raise();
    chooser_.Stopper().Request();
    worker_.Join();
    // A move found for a game that is now being rebuilt must not be played.
    controller_.DiscardEngineResult();
}

void EngineThread::Loop() {
    auto job = std::make_unique<EngineJob>();
    const Settings& settings = GetSettings();
    engine::SearchLimits limits;
    // The search gives up when the thread is told to finish, when the user asks it to stop
    // (a change of who plays raises the stop request) or when the engine plays nobody.
    limits.stopWhen = [this, &settings] {
        return terminate_.Raised() || settings.stopRequest.load(std::memory_order_relaxed) != 0 ||
               settings.engineSide.load(std::memory_order_relaxed) == 0;
    };
    do {
        if (!controller_.TakeEngineJob(*job)) continue;
        chooser_.Stopper().Clear();
        limits.maxDepth = job->difficulty;
        const engine::SearchResult result = chooser_.Choose(job->root, job->history, limits);
        if (terminate_.Raised()) break;
        controller_.PostEngineResult({result.move, result.score, job->serial});
    } while (!terminate_.WaitFor(kPollPeriod));
}

}  // namespace tarvex::game
