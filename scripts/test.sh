#!/bin/bash
# Builds every configuration and runs the test suite; stops at the first failure.
#   debug:   every test but the slow ones, under AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan:    the threaded tests (names containing "Threads") under ThreadSanitizer
#   release: the optimised build that scripts/play.sh starts, and the slow tests (deep perft,
#            long random-game comparisons; names containing "Slow")
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
jobs=$(nproc)

for preset in debug tsan release; do
    echo "=== $preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset" --parallel "$jobs"
    # The window tests each start their own X server, so they run beside the others.
    ctest --preset "$preset" --parallel "$jobs"
done
