#include "core/console.h"

#include <cstdio>
#include <mutex>
#include <vector>

namespace tarvex {
namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

ConsoleSink& CurrentSink() {
    static ConsoleSink sink;  // empty: write to stdout
    return sink;
}

}  // namespace

void ConsolePrintV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[512];
    int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) return;
    std::string text;
    if (static_cast<size_t>(length) < sizeof small) {
        text.assign(small, static_cast<size_t>(length));
    } else {
        std::vector<char> big(static_cast<size_t>(length) + 1);
        std::vsnprintf(big.data(), big.size(), format, args);
        text.assign(big.data(), static_cast<size_t>(length));
    }
    std::lock_guard lock(SinkMutex());
    if (CurrentSink()) {
        CurrentSink()(text);
    } else {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
}

void ConsolePrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    ConsolePrintV(format, args);
    va_end(args);
}

ConsoleRedirect::ConsoleRedirect(ConsoleSink sink) {
    std::lock_guard lock(SinkMutex());
    previous_ = std::move(CurrentSink());
    CurrentSink() = std::move(sink);
}

ConsoleRedirect::~ConsoleRedirect() {
    std::lock_guard lock(SinkMutex());
    CurrentSink() = std::move(previous_);
}

ConsoleCapture::ConsoleCapture() : redirect_([this](std::string_view s) { text_.append(s); }) {}

}  // namespace tarvex
