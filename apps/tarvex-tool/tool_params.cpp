// tarvex-tool params: the evaluation's parameter book as text.
//
//   params --write FILE [--params IN]   writes the built-in book (or IN's) to FILE
//   params --check FILE                 reads FILE: "ok", or the error and status 1
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "core/console.h"
#include "engine/parameter_text.h"
#include "tool_commands.h"

namespace tarvex::tool {
namespace {

constexpr const char* kCommand = "params";
constexpr int kExitRefused = 1;

struct ParamsOptions {
    const char* write = nullptr;
    const char* check = nullptr;
    const char* params = nullptr;
};

int ParseArguments(int argc, char** argv, ParamsOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        const char** target = word == "--write"    ? &options.write
                              : word == "--check"  ? &options.check
                              : word == "--params" ? &options.params
                                                   : nullptr;
        if (target == nullptr) {
            if (word.starts_with("-"))
                return ArgumentError(kCommand, "unknown option '%s'", argv[i]);
            return ArgumentError(kCommand, "unexpected argument '%s'", argv[i]);
        }
        if (i + 1 == argc) return ArgumentError(kCommand, "missing value after %s", argv[i]);
        *target = argv[++i];
    }
    if ((options.write == nullptr) == (options.check == nullptr)) {
        return ArgumentError(kCommand, "give one of --write FILE and --check FILE");
    }
    if (options.check != nullptr && options.params != nullptr) {
        return ArgumentError(kCommand, "--params goes with --write");
    }
    return kExitOk;
}

}  // namespace

int ParamsOption(const char* command, const char* path, engine::ParameterBook& book) {
    std::string error;
    if (!engine::ReadParameterFile(path, book, error)) {
        return ArgumentError(command, "%s", error.c_str());
    }
    return kExitOk;
}

int RunParams(int argc, char** argv) {
    ParamsOptions options;
    if (ParseArguments(argc, argv, options) != kExitOk) return kExitUsage;
    engine::ParameterBook book = engine::BuiltInParameters();
    if (options.check != nullptr) {
        std::string error;
        if (!engine::ReadParameterFile(options.check, book, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return kExitRefused;
        }
        ConsolePrint("ok\n");
        return kExitOk;
    }
    if (options.params != nullptr && ParamsOption(kCommand, options.params, book) != kExitOk) {
        return kExitUsage;
    }
    std::ofstream out(options.write, std::ios::binary);
    out << engine::WriteParameterText(book);
    if (!out.flush()) return ArgumentError(kCommand, "cannot write '%s'", options.write);
    return kExitOk;
}

}  // namespace tarvex::tool
