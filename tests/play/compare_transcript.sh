#!/usr/bin/env bash
# Plays a script through `tarvex-tool play` and compares its console, line for line, with the
# expected transcript. A difference is shown as a unified diff (expected, then actual).
# usage: compare_transcript.sh TOOL SCRIPT EXPECTED
set -u

if [ $# -ne 3 ]; then
    echo "usage: compare_transcript.sh TOOL SCRIPT EXPECTED" >&2
    exit 2
fi
tool=$1
script=$2
expected=$3

for file in "$script" "$expected"; do
    if [ ! -r "$file" ]; then
        echo "cannot read $file" >&2
        exit 2
    fi
done

actual=$(mktemp) || exit 2
trap 'rm -f "$actual"' EXIT

"$tool" play --script "$script" >"$actual"
status=$?
if [ $status -ne 0 ]; then
    echo "tarvex-tool play exited with status $status" >&2
    exit 1
fi

if ! diff -u --label "expected: $expected" --label "actual" "$expected" "$actual"; then
    echo "the console differs from $expected" >&2
    exit 1
fi
