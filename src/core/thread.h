// The thread primitives of the program: a worker thread that is started and joined, and a
// terminate flag that the worker can sleep on. The engine thread is stopped cooperatively
// (the flag is raised and the thread joined) instead of being killed from outside, so that it
// never dies holding a lock or half way through a change.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tarvex {

// A flag one thread raises to ask another to finish. Reading it is one atomic load, cheap
// enough for a search's stop test; waiting on it wakes as soon as it is raised.
class StopFlag {
public:
    void Raise();
    void Lower();
    bool Raised() const { return raised_.load(std::memory_order_acquire); }

    // Sleeps for the period or until the flag is raised; returns whether it is raised.
    bool WaitFor(std::chrono::milliseconds period);

private:
    std::atomic<bool> raised_{false};
    std::mutex mutex_;
    std::condition_variable raisedSignal_;
};

// One worker thread. Owners keep it in a local or member object, never at namespace scope:
// a joinable thread destroyed during exit() would abort the process.
class Thread {
public:
    Thread() = default;
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Runs body on a new thread, after joining the previous one if there is one.
    void Start(std::function<void()> body);
    // Waits for the body to return; no effect when no thread runs.
    void Join();
    bool Running() const { return worker_.joinable(); }

private:
    std::thread worker_;
};

}  // namespace tarvex
