#!/usr/bin/env bash
# Checks the include direction of the sources, the tests and the benchmarks: every include runs
# one way, lowest first
#   core, platform <- board <- rules <- movegen <- text <- engine <- game <- ui <- apps
# and the rules (board, rules, movegen) never include the settings, which only the game
# controller applies. Prints each offending include and fails when there is one.
#
# A file of src/ names every include with its folder ("board/geometry.h"). A test folder named
# for a layer (tests/board) sits at that layer; tests/support and tests/pgn sit at text,
# tests/fuzz at game, the other test folders and bench/ with the apps. Every test may include
# the suite's fixtures (support/) and position text, in which the tests write their positions.
# apps, bench and the tests may include a header beside the file without a folder.
# usage: check_layers.sh SOURCE_DIR
set -u
top=${1:?usage: check_layers.sh SOURCE_DIR}
cd "$top" || exit 2

declare -A ranks=(
    [core]=0 [platform]=1 [board]=2 [rules]=3 [movegen]=4 [text]=5 [engine]=6 [game]=7 [ui]=8
    [apps]=9
)

# The layer a file sits at, in layer.
set_layer() {
    local rest
    case $1 in
        src/*) rest=${1#src/}; layer=${rest%%/*} ;;
        tests/*)
            rest=${1#tests/}; rest=${rest%%/*}
            case $rest in
                support | pgn) layer=text ;;  # fixtures written as position text; PGN is text
                fuzz) layer=game ;;           # the restore of saved games
                *) [ -n "${ranks[$rest]:-}" ] && layer=$rest || layer=apps ;;
            esac ;;
        *) layer=apps ;;  # apps/ and bench/
    esac
}

# Test includes that reach above their folder's layer today, each with the reason; their
# owners move them to the folder of the layer they test, and then the line goes.
exceptions='
tests/board/dir_to_test.cpp|rules/line_tables.h|the line tables key against the direction tables
tests/rules/random_mover.cpp|movegen/board_moves.h|random games pick from the generated moves
tests/rules/random_mover.cpp|movegen/move_generation.h|random games pick from the generated moves
'

failures=0
report() {
    echo "$1"
    failures=$((failures + 1))
}

files=$(find src apps tests bench \( -name '*.h' -o -name '*.cpp' -o -name '*.h.in' \) | sort)
while IFS= read -r found; do
    file=${found%%:*}
    line=${found#*:}
    set_layer "$file"
    own=${ranks[$layer]}
    path=${line#*\"}; path=${path%\"*}
    if [[ $path != */* ]]; then
        if [[ $file == src/* ]]; then
            report "$file: name the folder of the include: $line"
        elif [ ! -e "${file%/*}/$path" ]; then
            report "$file includes a header that is not beside it: $line"
        fi
        continue
    fi
    target=${path%%/*}
    [[ $target == tarvex* ]] && target=apps  # a header of one of the programs
    theirs=${ranks[$target]:--1}
    if [[ $file == tests/* ]] && [[ $target == support || $path == text/position_text.h ]]; then
        continue
    fi
    if [ "$theirs" -lt 0 ]; then
        report "$file includes an unknown folder: $line"
    elif [ "$theirs" -gt "$own" ] || { [ "$theirs" -eq "$own" ] && [ "$target" != "$layer" ]; }; then
        grep -qF "$file|$path|" <<<"$exceptions" || report "$file includes a higher layer: $line"
    fi
    case $layer/$path in
        board/core/settings.h | rules/core/settings.h | movegen/core/settings.h)
            report "$file: the rules read no settings: $line" ;;
    esac
done < <(grep -HE '^#include "' $files)
for file in $(grep -l 'thread_local' $files); do
    report "$file: game state is passed explicitly, never kept per thread"
done

if [ "$failures" -gt 0 ]; then
    echo "$failures offending lines"
    exit 1
fi
echo "includes run one way"
