// The built-in parameter book: read once from the text compiled into the program, the only
// source of its values.
#include "engine/parameters.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/parameter_text.h"

namespace tarvex::engine {
namespace {

// A built-in text that does not read is a fault of the build: nothing can run without it.
ParameterBook ReadBuiltInBook() {
    ParameterBook book{};
    std::string error;
    if (!ReadParameterText(BuiltInParameterText(), book, error)) {
        std::fprintf(stderr, "the built-in parameters do not read: %s\n", error.c_str());
        std::abort();
    }
    return book;
}

}  // namespace

const ParameterBook& BuiltInParameters() {
    static const ParameterBook book = ReadBuiltInBook();
    return book;
}

}  // namespace tarvex::engine
