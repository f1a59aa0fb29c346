// Plays each file named on the command line once through the restore fuzzer's entry point: the
// seed corpus as a regression test of the ordinary builds, which have no libFuzzer. The seeds
// are games the program saved, so each must be restored.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
namespace restore_fuzz {
extern int lastResult;
}

int main(int argc, char** argv) {
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        const bool restored = restore_fuzz::lastResult == 1;
        std::printf("%s: %zu bytes, %s\n", argv[i], bytes.size(),
                    restored ? "restored" : "refused");
        if (!restored) failures = 1;
    }
    return failures;
}
