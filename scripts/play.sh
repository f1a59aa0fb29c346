#!/bin/bash
# Builds the optimised program and starts the game. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake --preset native
cmake --build --preset native --parallel "$(nproc)" --target tarvex tarvex-tool tarvex-uci
exec build/native/tarvex "$@"
