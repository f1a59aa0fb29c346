#include "core/error_report.h"

#include <atomic>

#include "core/console.h"

namespace tarvex {
namespace {

std::atomic<long> gReports{0};

}  // namespace

long ErrorReportCount() {
    return gReports.load(std::memory_order_relaxed);
}

void ErrorReport(int unstable, const char* text) {
    gReports.fetch_add(1, std::memory_order_relaxed);
    ConsolePrint("\n%s\n", text);
    if ((unstable & 0xFF) != 0) ConsolePrint("UNSTABLE");
}

}  // namespace tarvex
