#!/bin/bash
# Without a display the program prints one clear line to stderr and fails, without a crash.
# Usage: no_display_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"

# run_without_display EXPECTED_LINE ENV_ASSIGNMENT...
run_without_display() {
    local expected=$1
    shift
    local status=0
    env "$@" "$PROGRAM" >"$WORK/tarvex.out" 2>"$WORK/tarvex.err" || status=$?
    [[ $status != 0 ]] || fail "exit status 0 without a display ($*)"
    ((status < 128)) || fail "killed by a signal: status $status ($*)"
    check_no_sanitizer_report "$WORK/tarvex.err"
    local err
    read_file err "$WORK/tarvex.err"
    [[ $err == "$expected"$'\n' ]] || fail "stderr ($*)"
    [[ ! -s $WORK/tarvex.out ]] || fail "stdout is not empty ($*)"
}

# A display number no server uses: its socket does not exist.
NUMBER=4242
while [[ -e /tmp/.X11-unix/X$NUMBER ]]; do NUMBER=$((NUMBER + 1)); done

run_without_display "tarvex: cannot open the display ':$NUMBER' (is DISPLAY set?)" \
    DISPLAY=":$NUMBER"
run_without_display "tarvex: cannot open the display (is DISPLAY set?)" -u DISPLAY
echo "PASS"
