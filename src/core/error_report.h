// The program-wide report of internal errors. Execution always goes on after a report; the
// unstable flag marks the reports after which the state may be corrupt.
#pragma once

namespace tarvex {

inline constexpr int kStable = 0;
inline constexpr int kUnstable = 1;

// Prints "\n<text>\n", followed by "UNSTABLE" when the low byte of unstable is nonzero.
void ErrorReport(int unstable, const char* text);

// How many reports the process has made (for tools that must show there were none).
long ErrorReportCount();

}  // namespace tarvex
