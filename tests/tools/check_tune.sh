#!/usr/bin/env bash
# The tuner on the small fixed data set of each game: one round lowers the training loss of the
# real evaluation, and the book it writes reads back (a read refuses a changed telling row).
# usage: check_tune.sh TOOL DATA_DIR
set -u
tool=${1:?usage: check_tune.sh TOOL DATA_DIR}
data=${2:?usage: check_tune.sh TOOL DATA_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for game in 2d 3d; do
    if ! "$tool" tune --game "$game" --data "$data/$game.data" --out "$work/$game.txt" \
        --epochs 100 --holdout-every 5 --min-positions 20 > "$work/$game.log"; then
        echo "$game: tune failed"
        exit 1
    fi
    # "round 1: loss training <before> -> <after>, held out ..."
    line=$(grep '^round 1: loss training ' "$work/$game.log")
    if ! awk '{ exit !($7 + 0 < $5 + 0) }' <<< "$line"; then
        echo "$game: the training loss did not fall: $line"
        exit 1
    fi
done
echo "tune lowers the training loss of both games"
