#!/bin/bash
# Takes the screenshot of the 3D start position for the documentation: starts the optimised
# program in a private virtual X server, waits until its window shows the finished picture,
# saves it to docs/tarvex-3d.png and ends the program with 'q'.
# Usage: scripts/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
OUTPUT=$(realpath -m "${1:-docs/tarvex-3d.png}")
PROGRAM=$PWD/build/release/tarvex

for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || {
        echo "screenshot: $tool is not installed (run scripts/deps.sh)" >&2
        exit 1
    }
done
if [[ ! -x $PROGRAM ]]; then
    cmake --preset release
    cmake --build --preset release --target tarvex
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvex-shot.XXXXXX")
XVFB_PID=""
PROGRAM_PID=""
cleanup() {
    set +e
    [[ -n $PROGRAM_PID ]] && kill "$PROGRAM_PID" 2>/dev/null && wait "$PROGRAM_PID" 2>/dev/null
    [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

fail() {
    echo "screenshot: $*" >&2
    exit 1
}

# wait_until SECONDS WHAT COMMAND...: retries the command until it succeeds or time is up.
wait_until() {
    local deadline=$((SECONDS + $1)) what=$2
    shift 2
    until "$@"; do
        ((SECONDS < deadline)) || fail "timed out waiting for $what"
        sleep 0.1
    done
}

# The X server picks a free display and writes its number to the descriptor.
exec {fd}>"$WORK/displaynum"
Xvfb -displayfd "$fd" -screen 0 1024x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
exec {fd}>&-
wait_until 30 "the X server" test -s "$WORK/displaynum"
DISPLAY=":$(tr -d '\n' <"$WORK/displaynum")"
export DISPLAY

# The program runs in the scratch directory, so that nothing it writes lands in the tree.
(cd "$WORK" && exec "$PROGRAM" >"$WORK/tarvex.out" 2>"$WORK/tarvex.err") &
PROGRAM_PID=$!
WID=$(timeout 60 xdotool search --sync --name '^Tarvex 2\.87$' | head -1) ||
    fail "no window titled 'Tarvex 2.87' appeared"

# The picture is finished when it is not black and two screenshots in a row are the same.
shot() { import -window "$WID" "$WORK/$1.png"; }
drawn() {
    shot a && [[ $(convert "$WORK/a.png" -format '%[fx:maxima]' info:) != 0 ]] &&
        shot b && [[ $(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1) == 0 ]]
}
wait_until 30 "the start position to be drawn" drawn

mkdir -p "$(dirname "$OUTPUT")"
convert "$WORK/a.png" -strip -define png:compression-level=9 "$OUTPUT"

xdotool windowfocus --sync "$WID"
xdotool key q
gone() { ! kill -0 "$PROGRAM_PID" 2>/dev/null; }
wait_until 30 "the program to end after 'q'" gone
STATUS=0
wait "$PROGRAM_PID" || STATUS=$?
PROGRAM_PID=""
((STATUS == 0)) || fail "the program ended with status $STATUS"
echo "$OUTPUT: $(identify -format '%w x %h' "$OUTPUT"), $(stat -c %s "$OUTPUT") bytes"
