#include "match_workers.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <type_traits>
#include <vector>

namespace tarvex::tool {
namespace {

constexpr int kWorkerFailed = 3;        // a worker's own exit status when it cannot go on
constexpr size_t kReadChunk = 1 << 16;  // bytes taken from a pipe at a time

// A pair's result on the pipe: this header, then the record and PGN texts. Worker and parent
// are the same program, so the header goes as its bytes.
struct WireHeader {
    int64_t pair;
    MatchGame games[2];
    uint64_t recordSize;
    uint64_t pgnSize;
};
static_assert(std::is_trivially_copyable_v<WireHeader>);

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool Send(int fd, const PairResult& result) {
    WireHeader header;
    std::memset(static_cast<void*>(&header), 0,
                sizeof header);  // no stray padding bytes on the pipe
    header.pair = result.pair;
    header.games[0] = result.games[0];
    header.games[1] = result.games[1];
    header.recordSize = result.record.size();
    header.pgnSize = result.pgn.size();
    return WriteAll(fd, reinterpret_cast<const char*>(&header), sizeof header) &&
           WriteAll(fd, result.record.data(), result.record.size()) &&
           WriteAll(fd, result.pgn.data(), result.pgn.size());
}

// Takes the first whole result off the front of buffer, if there is one.
bool Receive(std::string& buffer, PairResult& out) {
    if (buffer.size() < sizeof(WireHeader)) return false;
    WireHeader header;
    std::memcpy(&header, buffer.data(), sizeof header);
    const size_t size = sizeof header + header.recordSize + header.pgnSize;
    if (buffer.size() < size) return false;
    out.pair = header.pair;
    out.games = {header.games[0], header.games[1]};
    out.record = buffer.substr(sizeof header, header.recordSize);
    out.pgn = buffer.substr(sizeof header + header.recordSize, header.pgnSize);
    buffer.erase(0, size);
    return true;
}

[[noreturn]] void RunWorker(int fd, int worker, int jobs, int64_t pairs, const PairPlayer& play) {
    int status = 0;
    try {
        for (int64_t pair = worker; pair < pairs && status == 0; pair += jobs) {
            if (!Send(fd, play(pair))) status = kWorkerFailed;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "worker %d: %s\n", worker, error.what());
        status = kWorkerFailed;
    }
    close(fd);
    std::fflush(stderr);
    // The parent's state (open files, buffers, destructors) is the parent's to finish.
    _exit(status);
}

struct Worker {
    pid_t pid = -1;
    int fd = -1;
    int64_t expected = 0;  // pairs it plays
    int64_t received = 0;
    std::string buffer;
};

bool Spawn(Worker& worker, int index, int jobs, int64_t pairs, const PairPlayer& play) {
    int ends[2];
    if (pipe(ends) != 0) return false;
    worker.pid = fork();
    if (worker.pid < 0) {
        close(ends[0]);
        close(ends[1]);
        return false;
    }
    if (worker.pid == 0) {
        close(ends[0]);
        RunWorker(ends[1], index, jobs, pairs, play);
    }
    close(ends[1]);
    worker.fd = ends[0];
    worker.expected = (pairs - index + jobs - 1) / jobs;
    return true;
}

// Reads what the worker sent; false at the end of its pipe.
bool ReadFrom(Worker& worker) {
    char chunk[kReadChunk];
    ssize_t got = 0;
    do {
        got = read(worker.fd, chunk, sizeof chunk);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) return false;
    worker.buffer.append(chunk, static_cast<size_t>(got));
    return true;
}

void Close(Worker& worker) {
    if (worker.fd >= 0) close(worker.fd);
    worker.fd = -1;
}

// Waits for the worker's end; false (reported) when it did not send all its pairs and exit 0.
bool Finish(Worker& worker, int index, bool stopped) {
    int status = 0;
    while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (stopped) return true;
    const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (clean && worker.received == worker.expected) return true;
    std::fprintf(stderr, "worker %d stopped after %lld of %lld pairs (%s %d)\n", index,
                 static_cast<long long>(worker.received), static_cast<long long>(worker.expected),
                 WIFSIGNALED(status) ? "signal" : "status",
                 WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
    return false;
}

}  // namespace

bool PlayPairsInWorkers(int jobs, int64_t pairs, const PairPlayer& play, const PairTaker& take) {
    if (pairs < jobs) jobs = static_cast<int>(pairs);
    std::fflush(nullptr);  // nothing buffered is written twice by the forks
    std::vector<Worker> workers(static_cast<size_t>(jobs));
    bool ok = true;
    for (int w = 0; w < jobs && ok; ++w) ok = Spawn(workers[w], w, jobs, pairs, play);
    if (!ok) std::fprintf(stderr, "cannot start a worker: %s\n", std::strerror(errno));
    bool stopped = false;
    while (ok && !stopped) {
        std::vector<pollfd> waiting;
        std::vector<Worker*> owners;
        for (Worker& worker : workers) {
            if (worker.fd < 0) continue;
            waiting.push_back({worker.fd, POLLIN, 0});
            owners.push_back(&worker);
        }
        if (waiting.empty()) break;
        if (poll(waiting.data(), waiting.size(), -1) < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "cannot wait for the workers: %s\n", std::strerror(errno));
            ok = false;
            break;
        }
        for (size_t i = 0; i < waiting.size() && !stopped; ++i) {
            if (waiting[i].revents == 0) continue;
            Worker& worker = *owners[i];
            if (!ReadFrom(worker)) Close(worker);
            PairResult result;
            while (!stopped && Receive(worker.buffer, result)) {
                ++worker.received;
                stopped = !take(std::move(result));
            }
        }
    }
    for (size_t w = 0; w < workers.size(); ++w) {
        Worker& worker = workers[w];
        if (worker.pid <= 0) continue;
        if (stopped || !ok) kill(worker.pid, SIGTERM);
        Close(worker);
        ok = Finish(worker, static_cast<int>(w), stopped) && ok;
    }
    return ok;
}

}  // namespace tarvex::tool
