#!/usr/bin/env bash
# A short match of tarvex-uci against itself on a real clock, run by the match runner
# (tools/uci_match.py): every game must end on the board (or by the harness's ply limit), never by an
# illegal move, a crash or a loss on time.
#   check_match.sh ENGINE GAMES BASE+INC
set -u
here=$(cd "$(dirname "$0")" && pwd)
engine=$1
games=$2
clock=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$here/../../tools/uci_match.py" --engine1 "$engine" --engine2 "$engine" --games "$games" \
    --tc "$clock" --max-plies 160 --pgn "$work/match.pgn" >"$work/out.txt" 2>&1
status=$?
cat "$work/out.txt"
[[ $status == 0 ]] || { echo "FAIL: the harness exited with $status"; exit 1; }
grep -q "^Terminations: " "$work/out.txt" || { echo "FAIL: no terminations line"; exit 1; }
if grep -E "^Terminations: .*(time forfeit|crash|illegal move)" "$work/out.txt"; then
    echo "FAIL: a game was lost on time, by a crash or by an illegal move"
    exit 1
fi
[[ $(grep -c "^\[ *[0-9]*/$games\]" "$work/out.txt") == "$games" ]] || {
    echo "FAIL: not every game was played"
    exit 1
}
echo "match: $games games, no illegal move, no loss on time"
