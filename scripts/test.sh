#!/bin/bash
# Builds every configuration and runs the test suite; stops at the first failure.
#   fuzz:    a minute of fuzzing the restore of saved games from the seed corpus (clang)
#   debug:   every test but the slow ones, under AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan:    the threaded tests (names containing "Threads") under ThreadSanitizer
#   release: the optimised build that scripts/play.sh starts, and the slow tests (deep perft,
#            long random-game comparisons; names containing "Slow")
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
jobs=$(nproc)

# The fuzz step first: the suites' own summaries then close the output.
echo "=== fuzz"
cmake --preset fuzz
cmake --build --preset fuzz --parallel "$jobs" --target restore_fuzz
# What the fuzzer finds goes to a scratch folder; the seed corpus in the sources stays as it is.
findings=$(mktemp -d)
trap 'rm -rf "$findings"' EXIT
build/fuzz/tests/fuzz/restore_fuzz -max_total_time=60 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ "$findings" tests/fuzz/corpus

for preset in debug tsan release; do
    echo "=== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset" --parallel "$jobs"
    # The window tests each start their own X server, so they run beside the others.
    ctest --preset "$preset" --parallel "$jobs"
done
