#!/usr/bin/env bash
# Plays a tarvex-tool play script in a scratch folder and compares the PGN files it wrote with
# the expected ones beside this script (their Date tag reads "DATE").
#   check_play_pgn.sh TOOL SCRIPT
set -u
tool=$1
script=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2

"$tool" play --script "$script" >out.txt 2>err.txt || { echo "FAIL: exit status $?"; exit 1; }
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
[[ -s err.txt ]] && fail "stderr not empty: $(cat err.txt)"
for line in "= pgn written to scholar.pgn" "= pgn written to setup.pgn" "error: usage: pgn FILE" \
    "error: cannot write '/nonexistent/dir/game.pgn'" "error: PGN is written for the 2D game only"; do
    grep -qxF -- "$line" out.txt || fail "no line '$line'"
done
[[ -e game3d.pgn ]] && fail "a PGN file was written for the 3D game"
for game in scholar setup; do
    sed 's/^\[Date "[0-9]\{4\}\.[0-9][0-9]\.[0-9][0-9]"\]$/[Date "DATE"]/' "$game.pgn" >"$game.dated" ||
        fail "no $game.pgn"
    diff -u "$here/$game.expected.pgn" "$game.dated" || fail "$game.pgn differs"
done
((failed)) && { echo "--- output"; cat out.txt; }
exit $failed
