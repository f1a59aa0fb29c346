// The console sink: every line the program prints goes through here, so that tests and
// tools can capture the exact text. Nothing else in the program writes to stdout.
#pragma once

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>

namespace tarvex {

// printf-style output to the current sink (stdout unless a capture is active).
void ConsolePrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ConsolePrintV(const char* format, va_list args);

// Replaces the sink for the lifetime of the object and restores the previous one after.
using ConsoleSink = std::function<void(std::string_view)>;
class ConsoleRedirect {
public:
    explicit ConsoleRedirect(ConsoleSink sink);
    ~ConsoleRedirect();
    ConsoleRedirect(const ConsoleRedirect&) = delete;
    ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;

private:
    ConsoleSink previous_;
};

// Collects everything printed while it lives.
class ConsoleCapture {
public:
    ConsoleCapture();
    const std::string& Text() const { return text_; }
    void Clear() { text_.clear(); }

private:
    std::string text_;
    ConsoleRedirect redirect_;
};

}  // namespace tarvex
