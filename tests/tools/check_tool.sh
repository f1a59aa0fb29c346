#!/usr/bin/env bash
# Runs a command-line tool and checks its exit status and output.
#
#   check_tool.sh [checks...] -- <tool> [arguments...]
#
# Checks:
#   --status N          exit status must be N (default 0)
#   --line TEXT         stdout must hold a line equal to TEXT
#   --count REGEX N     exactly N lines of stdout must match the extended REGEX
#   --grep REGEX        at least one line of stdout must match the extended REGEX
#   --err REGEX         stderr must match the extended REGEX
#   --err-lines N       stderr must have exactly N lines
# A run that exits 0 must leave stderr empty; one that fails must leave stdout empty.
set -u

status=0
lines=()
counts=()
greps=()
errs=()
err_lines=""
while [[ $# -gt 0 && "$1" != "--" ]]; do
    case "$1" in
        --status) status="$2"; shift 2 ;;
        --line) lines+=("$2"); shift 2 ;;
        --count) counts+=("$2" "$3"); shift 3 ;;
        --grep) greps+=("$2"); shift 2 ;;
        --err) errs+=("$2"); shift 2 ;;
        --err-lines) err_lines="$2"; shift 2 ;;
        *) echo "check_tool.sh: unknown check '$1'" >&2; exit 2 ;;
    esac
done
if [[ $# -lt 2 ]]; then
    echo "check_tool.sh: no command after --" >&2
    exit 2
fi
shift

out_file=$(mktemp)
err_file=$(mktemp)
trap 'rm -f "$out_file" "$err_file"' EXIT

"$@" >"$out_file" 2>"$err_file"
actual=$?
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

[[ "$actual" == "$status" ]] || fail "exit status $actual, expected $status"
if [[ "$status" == 0 ]]; then
    [[ -s "$err_file" ]] && fail "stderr not empty"
else
    [[ -s "$out_file" ]] && fail "stdout not empty"
fi
for line in "${lines[@]+"${lines[@]}"}"; do
    grep -qxF -- "$line" "$out_file" || fail "no line '$line'"
done
for ((i = 0; i < ${#counts[@]}; i += 2)); do
    n=$(grep -cE -- "${counts[i]}" "$out_file")
    [[ "$n" == "${counts[i + 1]}" ]] || fail "$n lines match '${counts[i]}', expected ${counts[i + 1]}"
done
for pattern in "${greps[@]+"${greps[@]}"}"; do
    grep -qE -- "$pattern" "$out_file" || fail "no line matches '$pattern'"
done
for err in "${errs[@]+"${errs[@]}"}"; do
    grep -qE -- "$err" "$err_file" || fail "stderr does not match '$err'"
done
if [[ -n "$err_lines" ]]; then
    n=$(wc -l <"$err_file")
    [[ "$n" == "$err_lines" ]] || fail "stderr has $n lines, expected $err_lines"
fi

if [[ "$failed" != 0 ]]; then
    echo "--- command: $*"
    echo "--- stderr:"
    cat "$err_file"
    echo "--- stdout (first 20 lines):"
    head -n 20 "$out_file"
fi
exit "$failed"
