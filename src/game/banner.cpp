#include "game/banner.h"

#include "core/console.h"
#include "core/version.h"

namespace tarvex {

void PrintBanner() {
    ConsolePrint("\n%s V%s.%s\n", kProgramName, kVersionMajor, kVersionMinor);
    ConsolePrint("%s\n\n", kWebAddress);
}

}  // namespace tarvex
