#include "core/thread.h"

#include <utility>

namespace tarvex {

void StopFlag::Raise() {
    // Set under the mutex so that a waiter cannot miss the wake-up between its test and its wait.
    {
        std::lock_guard lock(mutex_);
        raised_.store(true, std::memory_order_release);
    }
    raisedSignal_.notify_all();
}

void StopFlag::Lower() {
    std::lock_guard lock(mutex_);
    raised_.store(false, std::memory_order_release);
}

bool StopFlag::WaitFor(std::chrono::milliseconds period) {
    std::unique_lock lock(mutex_);
    return raisedSignal_.wait_for(lock, period, [this] { return Raised(); });
}

void Thread::Start(std::function<void()> body) {
    Join();
    worker_ = std::thread(std::move(body));
}

void Thread::Join() {
    if (worker_.joinable()) worker_.join();
}

}  // namespace tarvex
