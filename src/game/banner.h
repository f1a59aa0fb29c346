// The program's name and version as the console banner shows them.
#pragma once

namespace tarvex {

inline constexpr const char* kProgramName = "Tarvex";
inline constexpr const char* kVersionMajor = "2";
inline constexpr const char* kVersionMinor = "87";
inline constexpr const char* kWebAddress = "https://tarvex.example.org/";

// Prints the banner: name and version, the web address and an empty line.
void PrintBanner();

}  // namespace tarvex
