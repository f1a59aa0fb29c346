// tarvex-tool: the command-line companion of the windowed program. The first argument names a
// subcommand; the rest belong to it. A new subcommand is one Run function in its own file and
// one line in kCommands.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/console.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* synopsis;
};

constexpr Command kCommands[] = {
    {"geometry", RunGeometry,
     "geometry [--game 2d|3d] [--pins q1,q6,k1,k6]   squares and their steps"},
    {"play", RunPlay,
     "play [--script FILE] [--params FILE]   play a game from commands, one a line"},
    {"perft", RunPerft,
     "perft [--game 2d|3d] [--rules tournament|standard] [--pos TEXT] --depth N [--divide]"},
    {"moves", RunMoves, "moves [--game 2d|3d] [--rules tournament|standard] [--pos TEXT]"},
    {"search", RunSearch,
     "search [--game 2d|3d] [--rules R] [--pos TEXT] [--difficulty easy|medium|hard | "
     "--depth N | --nodes N | --movetime MS] [--params FILE]"},
    {"bench", RunBench,
     "bench [--depth N] [--params FILE]   fixed searches of both games: nodes and speed"},
    {"selfplay", RunSelfPlay,
     "selfplay [--game 2d|3d] [--rules R] --games N [--difficulty D | --white D --black D] "
     "[--think T | --white-think T --black-think T] [--seed S] [--record FILE] [--pgn FILE] "
     "[--params FILE]   "
     "T: classic, 1, 3, 10, 30 (seconds) or nodes:N"},
    {"params", RunParams,
     "params --write FILE [--params IN] | --check FILE   the evaluation's parameters as text"},
    {"match", RunMatch,
     "match [--game 2d|3d] [--rules R] --a FILE|builtin --b FILE|builtin --pairs N [--seed S] "
     "[--think T] [--jobs N] [--sprt ELO0 ELO1 [--alpha A] [--beta B]] [--record FILE] "
     "[--pgn FILE]   A/B games between parameter books, in pairs"},
    {"tune-data", RunTuneData,
     "tune-data --game 2d|3d [--rules R] --record REC --log LOG [...] --out DATA"},
    {"tune-label", RunTuneLabel,
     "tune-label --data IN --out OUT [--nodes N] [--blend W] [--part I/N] [--params FILE]   "
     "data lines labelled by the search"},
    {"tune", RunTune,
     "tune --game 2d|3d --data DATA [...] [--params IN] --out OUT [--threads N] [--epochs N] "
     "[--rounds R] [--holdout-every K] [--min-positions N] [--pull X] [--hold NAME,...]"},
};

std::string UsageText() {
    std::string text = "usage: tarvex-tool <command> [options]\ncommands:\n";
    for (const Command& command : kCommands)
        text.append("  ").append(command.synopsis).append("\n");
    return text;
}

bool IsHelp(const char* word) {
    return std::strcmp(word, "help") == 0 || std::strcmp(word, "--help") == 0 ||
           std::strcmp(word, "-h") == 0;
}

}  // namespace

int ArgumentError(const char* command, const char* format, ...) {
    std::fprintf(stderr, "tarvex-tool %s: ", command);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    return kExitUsage;
}

int Main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(UsageText().c_str(), stderr);
        return kExitUsage;
    }
    if (IsHelp(argv[1])) {
        ConsolePrint("%s", UsageText().c_str());
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "tarvex-tool: unknown command '%s'\n", argv[1]);
    std::fputs(UsageText().c_str(), stderr);
    return kExitUsage;
}

}  // namespace tarvex::tool

int main(int argc, char** argv) {
    return tarvex::tool::Main(argc, argv);
}
