// The program's name and version, as the window title and the banner show them.
#pragma once

namespace tarvex::ui {

inline constexpr const char* kProgramName = "Tarvex";
inline constexpr const char* kVersionMajor = "2";
inline constexpr const char* kVersionMinor = "87";
inline constexpr const char* kWindowTitle = "Tarvex 2.87";

}  // namespace tarvex::ui
