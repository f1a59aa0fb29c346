#include "core/error_report.h"

#include "core/console.h"

namespace tarvex {

void ErrorReport(int unstable, const char* text) {
    ConsolePrint("\n%s\n", text);
    if ((unstable & 0xFF) != 0) ConsolePrint("UNSTABLE");
}

}  // namespace tarvex
