#!/bin/bash
# Builds the programs with profile-guided optimisation for this machine, in build/pgo: an
# instrumented build plays the bench and a few self-play games of both games to record where the
# time goes, then the programs are built again from that profile.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
targets=(tarvex tarvex-tool tarvex-uci)
rm -rf build/pgo/profile
cmake --preset pgo-train
cmake --build --preset pgo-train --parallel "$(nproc)" --target "${targets[@]}"
build/pgo/tarvex-tool bench
build/pgo/tarvex-tool selfplay --game 2d --games 4 --difficulty hard --seed 1 >/dev/null
build/pgo/tarvex-tool selfplay --game 3d --games 2 --difficulty hard --seed 1 >/dev/null
cmake --preset pgo
cmake --build --preset pgo --parallel "$(nproc)" --target "${targets[@]}"
echo "built build/pgo/tarvex, build/pgo/tarvex-tool and build/pgo/tarvex-uci"
