#include "uci_output.h"

#include <cstdio>
#include <mutex>

namespace tarvex::uci {
namespace {

std::mutex& OutputMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

void SendLine(std::string_view text) {
    std::lock_guard lock(OutputMutex());
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace tarvex::uci
