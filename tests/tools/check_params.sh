#!/usr/bin/env bash
# tarvex-tool params and the --params option: a written book checks and writes again the same;
# a changed book changes what search finds; a refused book stops search with the error and
# status 2 before anything runs.
# usage: check_params.sh TOOL
set -u
tool=${1:?usage: check_params.sh TOOL}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

"$tool" params --write "$dir/built.txt" || fail "params --write"
[ "$("$tool" params --check "$dir/built.txt")" = ok ] || fail "the written book does not check"
sed 's/^BishopAims .*/BishopAims 0 50000 60000 70000 80000/' "$dir/built.txt" >"$dir/changed.txt"
"$tool" params --write "$dir/again.txt" --params "$dir/changed.txt" || fail "--write --params"
cmp -s "$dir/changed.txt" "$dir/again.txt" || fail "a read book is not written as it was read"

# The last depth's line without its time.
search() { "$tool" search --game 2d --depth 4 "$@" | grep '^depth 4 ' | sed 's/ time [0-9]*//'; }
built=$(search)
[ -n "$built" ] || fail "no depth 4 line"
[ "$(search --params "$dir/built.txt")" = "$built" ] || fail "the built-in book as a file differs"
[ "$(search --params "$dir/changed.txt")" != "$built" ] || fail "the changed book changes nothing"

sed 's/^BishopPair 2000$/BishopPair 2001/' "$dir/built.txt" >"$dir/bad.txt"
"$tool" search --game 2d --depth 4 --params "$dir/bad.txt" >"$dir/out" 2>"$dir/err"
status=$?
[ "$status" = 2 ] || fail "search with a refused book: status $status"
[ ! -s "$dir/out" ] || fail "search ran with a refused book"
expected="tarvex-tool search: $dir/bad.txt: line 11: [2d opening] BishopPair: slot 0 is fixed"
grep -qF "$expected" "$dir/err" || fail "no error naming the place: $(cat "$dir/err")"
"$tool" params --check "$dir/bad.txt" >/dev/null 2>&1
status=$?
[ "$status" = 1 ] || fail "params --check of a refused book: status $status"
echo "params: passed"
