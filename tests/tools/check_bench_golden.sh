#!/bin/bash
# The bench's signature: every position's node count and best move, and the total, exactly as
# the golden list has them. The search may get faster; it may not decide differently.
#   check_bench_golden.sh TOOL GOLDEN
set -euo pipefail
tool=$1
golden=$2
actual=$("$tool" bench | sed -E 's/ ms [0-9]+//' | grep -E '^([0-9]+ |total nodes )')
if ! diff <(echo "$actual") "$golden"; then
    echo "bench differs from $golden (< this build, > golden)" >&2
    exit 1
fi
echo "bench signature and best moves as in $golden"
