#!/usr/bin/env bash
# The tuner on the small fixed data set of each game: one round lowers the training loss of the
# real evaluation; the book it writes reads back (a read refuses a changed telling row), with
# the tuned game's sections changed (but for a held range) and the other game's as they were.
# tune-label replaces the results by the search's chances.
# usage: check_tune.sh TOOL DATA_DIR
set -u
tool=${1:?usage: check_tune.sh TOOL DATA_DIR}
data=${2:?usage: check_tune.sh TOOL DATA_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" params --write "$work/built-in.txt" || exit 1
# The sections of one game: from its first header to the next game's.
section() { awk -v game="$1" '/^\[/ { inside = index($0, "[" game " ") == 1 } inside' "$2"; }

for game in 2d 3d; do
    if ! "$tool" tune --game "$game" --data "$data/$game.data" --out "$work/$game.txt" \
        --epochs 100 --holdout-every 5 --min-positions 20 --hold KnightSquares \
        > "$work/$game.log"; then
        echo "$game: tune failed"
        exit 1
    fi
    # "round 1: loss training <before> -> <after>, held out ..."
    line=$(grep '^round 1: loss training ' "$work/$game.log")
    if ! awk '{ exit !($7 + 0 < $5 + 0) }' <<< "$line"; then
        echo "$game: the training loss did not fall: $line"
        exit 1
    fi
    if ! "$tool" params --check "$work/$game.txt" > /dev/null; then
        echo "$game: the written book does not read back"
        exit 1
    fi
    # In the 2D game the square tables keep their left-right symmetry: every row a palindrome.
    if [[ $game == 2d ]] && ! section 2d "$work/$game.txt" | awk '
        /^(RookSquares|KnightSquares|ControlSquares|PawnSquares)$/ { rows = 8; next }
        rows > 0 { rows--; for (f = 1; f <= 4; f++) if ($f != $(9 - f)) bad = bad "\n" $0 }
        END { if (bad != "") { print "asymmetric rows:" bad; exit 1 } }'; then
        echo "2d: a square table lost its symmetry"
        exit 1
    fi
    # A held range keeps its values in every stage.
    knights() { section "$game" "$1" | awk '/^KnightSquares$/ { rows = 9 } rows-- > 0'; }
    if ! cmp -s <(knights "$work/$game.txt") <(knights "$work/built-in.txt"); then
        echo "$game: the held KnightSquares moved"
        exit 1
    fi
    other=$([[ $game == 2d ]] && echo 3d || echo 2d)
    if ! cmp -s <(section "$other" "$work/$game.txt") <(section "$other" "$work/built-in.txt"); then
        echo "$game: the $other sets changed"
        exit 1
    fi
    if cmp -s <(section "$game" "$work/$game.txt") <(section "$game" "$work/built-in.txt"); then
        echo "$game: the $game sets did not change"
        exit 1
    fi
done

# The search's labels: a chance from 0 to 1 on each line of the part, the rest of the line kept;
# with --blend 1 the game's result comes back unchanged; the tuner fits such chances too.
lines() { awk -v part="$2" 'NR % 2 == part' "$1"; }
"$tool" tune-label --data "$data/3d.data" --out "$work/label.data" --nodes 300 --part 1/2 \
    > /dev/null || { echo "tune-label failed"; exit 1; }
if ! cmp -s <(cut -d' ' -f2- "$work/label.data") <(lines "$data/3d.data" 0 | cut -d' ' -f2-) ||
    ! awk '{ if (!($1 >= 0 && $1 <= 1)) exit 1 }' "$work/label.data"; then
    echo "tune-label: wrong lines"
    exit 1
fi
"$tool" tune-label --data "$data/3d.data" --out "$work/blend.data" --nodes 300 --part 1/2 \
    --blend 1 > /dev/null || { echo "tune-label --blend failed"; exit 1; }
if ! cmp -s "$work/blend.data" <(lines "$data/3d.data" 0); then
    echo "tune-label --blend 1 changed the results"
    exit 1
fi
if ! "$tool" tune --game 3d --data "$work/label.data" --out "$work/label.txt" --epochs 100 \
    --holdout-every 5 --min-positions 10 | grep -q '^round 1: loss training'; then
    echo "tune did not fit the search's labels"
    exit 1
fi
echo "tune lowers the training loss of both games; tune-label labels by the search"
