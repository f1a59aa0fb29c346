#!/usr/bin/env bash
# Checks the include direction of the sources: every include runs one way, lowest first
#   core, platform <- board <- rules <- movegen <- text <- engine <- game <- ui <- apps
# and the rules (board, rules, movegen) never include the settings, which only the game
# controller applies. Prints each offending include and fails when there is one.
# usage: check_layers.sh SOURCE_DIR
set -u
top=${1:?usage: check_layers.sh SOURCE_DIR}
cd "$top" || exit 2

rank() {
    case $1 in
        core) echo 0 ;; platform) echo 1 ;; board) echo 2 ;; rules) echo 3 ;;
        movegen) echo 4 ;; text) echo 5 ;; engine) echo 6 ;; game) echo 7 ;; ui) echo 8 ;;
        apps) echo 9 ;;
        *) echo -1 ;;
    esac
}

failures=0
for file in $(find src apps -name '*.h' -o -name '*.cpp' -o -name '*.h.in' | sort); do
    case $file in
        src/*) layer=${file#src/}; layer=${layer%%/*} ;;
        apps/*) layer=apps ;;
    esac
    own=$(rank "$layer")
    while IFS= read -r line; do
        target=${line#*\"}; target=${target%%/*}
        theirs=$(rank "$target")
        [ "$theirs" -lt 0 ] && continue  # a header beside the file (apps)
        if [ "$theirs" -gt "$own" ] || { [ "$theirs" -eq "$own" ] && [ "$target" != "$layer" ]; }; then
            echo "$file includes a higher layer: $line"
            failures=$((failures + 1))
        fi
        case $layer/$line in
            board/*core/settings.h*|rules/*core/settings.h*|movegen/*core/settings.h*)
                echo "$file: the rules read no settings: $line"
                failures=$((failures + 1)) ;;
        esac
    done < <(grep -E '^#include "[a-z_]+/' "$file")
    if grep -n 'thread_local' "$file" >/dev/null; then
        echo "$file: game state is passed explicitly, never kept per thread"
        failures=$((failures + 1))
    fi
done

if [ "$failures" -gt 0 ]; then
    echo "$failures offending lines"
    exit 1
fi
echo "includes run one way"
