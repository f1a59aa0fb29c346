// The program's name and version as the console banner shows them.
#pragma once

namespace tarvex {

// Prints the banner: name and version, the web address and an empty line.
void PrintBanner();

}  // namespace tarvex
