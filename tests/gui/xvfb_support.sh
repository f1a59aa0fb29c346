# shellcheck shell=bash
# Shared helpers of the window tests: a private virtual X server, waiting with deadlines, and
# exact comparison of console text. Sourced by the test scripts, never run on its own.

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvex-gui.XXXXXX")
XVFB_PID=""
PROGRAM_PID=""

fail() {
    echo "FAIL: $*" >&2
    for log in "$WORK"/*.out "$WORK"/*.err "$WORK"/xvfb.log; do
        [[ -s $log ]] && { echo "--- $log" >&2; cat -A "$log" >&2; }
    done
    exit 1
}

# Runs on every way out of the script, so no server or program outlives the test. Failures
# here must not end the clean-up early, hence no errexit.
cleanup() {
    local status=$?
    set +e
    if [[ -n $PROGRAM_PID ]]; then
        kill "$PROGRAM_PID" 2>/dev/null
        wait "$PROGRAM_PID" 2>/dev/null
    fi
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (run scripts/deps.sh)"
    done
}

# Starts Xvfb on a free display chosen by the server itself and exports DISPLAY.
start_xvfb() {
    local fd
    exec {fd}>"$WORK/displaynum"
    Xvfb -displayfd "$fd" -screen 0 1024x1024x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec {fd}>&-
    wait_until 30 "Xvfb to report its display" test -s "$WORK/displaynum"
    DISPLAY=":$(tr -d '\n' <"$WORK/displaynum")"
    export DISPLAY
}

# wait_until SECONDS WHAT COMMAND...: retries the command until it succeeds or time is up.
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || fail "timed out waiting for $what"
        sleep 0.1
    done
}

# read_file NAME FILE: sets the variable NAME to the whole file, trailing newlines included
# (a plain command substitution would drop them).
read_file() {
    local text
    text=$(cat "$2"; printf .)
    printf -v "$1" '%s' "${text%.}"
}

# The process has ended.
gone() { ! kill -0 "$1" 2>/dev/null; }

# Sanitizer reports go to stderr; any of them fails the test.
check_no_sanitizer_report() {
    if grep -qE 'ERROR: (Address|Leak|Thread)Sanitizer|runtime error:' "$1"; then
        fail "sanitizer report in $1"
    fi
}
