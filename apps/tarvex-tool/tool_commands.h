// The subcommands of tarvex-tool. Each is one Run function in its own file; it receives the
// command line from its own name on (argv[0] is the subcommand's name) and returns the exit
// status of the process. Output goes through the console sink; problems with the arguments go
// to stderr as one line and give kExitUsage.
#pragma once

namespace tarvex::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 2;

// Prints "tarvex-tool <command>: <problem>" on stderr and returns kExitUsage.
int ArgumentError(const char* command, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// tarvex-tool geometry [--game 2d|3d] [--pins <pin>,<pin>,<pin>,<pin>]
int RunGeometry(int argc, char** argv);

}  // namespace tarvex::tool
