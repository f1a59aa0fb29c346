#!/usr/bin/env bash
# A small A/B match of tarvex-tool, played once in one worker and once in two: both runs exit 0,
# every pair line and summary line parses, the games add up (W+D+L is twice the pairs, the
# pentanomial counts add up to the pairs), and the two runs print and record the same text.
#   check_tool_match.sh TOOL PAIRS [match options...]
set -u
tool=$1
pairs=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*"
    cat "$work/one.txt"
    exit 1
}

for jobs in 1 2; do
    name=$([[ $jobs == 1 ]] && echo one || echo two)
    "$tool" match --pairs "$pairs" --jobs "$jobs" --record "$work/$name.rec" "$@" \
        >"$work/$name.txt" 2>"$work/$name.err"
    status=$?
    [[ $status == 0 ]] || fail "--jobs $jobs exited with $status: $(cat "$work/$name.err")"
    [[ -s "$work/$name.err" ]] && fail "--jobs $jobs wrote to stderr: $(cat "$work/$name.err")"
done
cmp -s "$work/one.txt" "$work/two.txt" || fail "--jobs 2 printed otherwise: $(diff "$work/one.txt" "$work/two.txt")"
cmp -s "$work/one.rec" "$work/two.rec" || fail "--jobs 2 recorded other games"
[[ $(wc -l <"$work/one.rec") == $((2 * pairs)) ]] || fail "the record does not hold $((2 * pairs)) games"

result="(1-0|0-1|1/2-1/2)"
n=$(grep -cE "^pair [0-9]+: (0|0\.5|1|1\.5|2) \($result, $result\)$" "$work/one.txt")
[[ $n == "$pairs" ]] || fail "$n pair lines, expected $pairs"
for pattern in "^score [01]\.[0-9]{3}$" "^elo ([+-][0-9]+\.[0-9] \+/- [0-9]+\.[0-9]|[<>] [+-][0-9]+\.[0-9])$" \
    "^refused moves 0$" "^give-ups 0$" "^errors reported 0$"; do
    grep -qE "$pattern" "$work/one.txt" || fail "no line matches '$pattern'"
done
read -r w d l < <(sed -nE 's|^A vs B W/D/L ([0-9]+)/([0-9]+)/([0-9]+)$|\1 \2 \3|p' "$work/one.txt")
[[ -n "${w:-}" && $((w + d + l)) == $((2 * pairs)) ]] || fail "W/D/L does not add up to $((2 * pairs)) games"
read -r p0 p1 p2 p3 p4 < <(sed -nE 's|^pentanomial ([0-9]+)/([0-9]+)/([0-9]+)/([0-9]+)/([0-9]+)$|\1 \2 \3 \4 \5|p' "$work/one.txt")
[[ -n "${p0:-}" && $((p0 + p1 + p2 + p3 + p4)) == "$pairs" ]] || fail "the pentanomial does not add up to $pairs pairs"
echo "match: $pairs pairs, the same with one and two workers"
