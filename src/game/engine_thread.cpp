#include "game/engine_thread.h"

#include <memory>

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
    do {
        if (!controller_.TakeEngineJob(*job)) continue;
        // A stop requested before the job was taken is forgotten; one raised since has also
        // made the job's version old, so its move would be dropped.
        stopRequest_.Clear();
        chooser_.Stopper().Clear();
        engine::SearchLimits limits = controller_.LimitsOf(*job);
        // The search gives up when the thread is told to finish, when a change of who plays
        // raises the stop request, or when the hint it looks for is no longer wanted.
        limits.stopWhen = [this, &job = *job] {
            return terminate_.Raised() || stopRequest_.Requested() ||
                   controller_.HintWithdrawn(job);
        };
        const engine::SearchResult result = chooser_.Choose(job->root, job->history, limits);
        if (terminate_.Raised()) break;
        controller_.PostEngineResult(
            {result.move, result.score, job->serial, job->hint, job->hintRequest});
    } while (!terminate_.WaitFor(kPollPeriod));
}

}  // namespace tarvex::game
