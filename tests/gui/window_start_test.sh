#!/bin/bash
# Starts the real program in a virtual X server and checks the window, the help screen on the
# console, the answers to a few keys, a screenshot, and that 'q' ends it with status 0.
# Usage: window_start_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

HELP=$(printf '\n%s' \
    'arrow keys pan, page keys zoom, <shift> faster' \
    $'F2 \t new 2D game' \
    $'F3 \t new 3D game' \
    $'F5 \t fetch favorite view' \
    $'F6 \t store favorite view' \
    $'F7-F8 \t replay step back-forward' \
    $'F9 \t autoplay' \
    $'F10\t come to full stop' \
    $'A \t toggle axes' \
    $'B \t Tarvex play black' \
    $'C \t captured pieces toggle' \
    $'W \t Tarvex play white' \
    $'L \t list game' \
    $'O \t overhead view' \
    $'Q \t quit' \
    $'R \t restore game' \
    $'S \t save game' \
    $'T \t toggle transparency' \
    $'U \t undo one move' \
    $'V \t view reset' \
    $'Z \t black view toggle(2D)' \
    $'H \t help screen (press \'H\' in main window)' \
    $'N \t hint: a move for you' \
    $'I \t engine thoughts toggle')
# 'x' and F4 have no command and draw complaints; 'a' turns the axes on, quietly; '?' prints
# the banner.
KEY_ANSWERS=$'\nDon\'t know what to do with keyboard hit: \'x\' (0x78)\n'
KEY_ANSWERS+=$'\nDon\'t know what to do with KeyboardSpecial hit: \'\x04\' (0x4)'
KEY_ANSWERS+=$'\nTarvex V2.87\n'

start_xvfb
"$PROGRAM" >"$WORK/tarvex.out" 2>"$WORK/tarvex.err" &
PROGRAM_PID=$!

WID=$(timeout 60 xdotool search --sync --name '^Tarvex 2\.87$' | head -1) ||
    fail "no window titled 'Tarvex 2.87' appeared"
[[ -n $WID ]] || fail "no window id"
[[ $(xdotool getwindowname "$WID") == "Tarvex 2.87" ]] || fail "window title"
read -r WIDTH HEIGHT < <(xdotool getwindowgeometry --shell "$WID" |
    sed -n 's/^WIDTH=//p; s/^HEIGHT=//p' | paste -sd ' ')
[[ "$WIDTH x $HEIGHT" == "800 x 800" ]] || fail "window is $WIDTH x $HEIGHT, not 800 x 800"

help_printed() { read_file OUT "$WORK/tarvex.out" && [[ $OUT == *"$HELP"* ]]; }
wait_until 30 "the help screen on stdout" help_printed

# The 3D start position is drawn: the three levels' squares and both armies.
wait_for_picture 10 "the levels' squares" start at_least 5000 start grey
at_least 1000 start whitepiece || fail "no white pieces in the screenshot"

xdotool windowfocus --sync "$WID"
xdotool key a x F4 question
answered() { read_file OUT "$WORK/tarvex.out" && [[ $OUT == *"$KEY_ANSWERS"* ]]; }
wait_until 30 "the answers to the keys" answered
read_file OUT "$WORK/tarvex.out"
[[ $OUT == *"$HELP$KEY_ANSWERS"* ]] || fail "unexpected text around the key answers"
[[ $OUT == *$'\n\n' ]] || fail "the banner does not end with an empty line"

xdotool key q
wait_until 30 "the program to end after 'q'" gone "$PROGRAM_PID"
STATUS=0
wait "$PROGRAM_PID" || STATUS=$?
PROGRAM_PID=""
[[ $STATUS == 0 ]] || fail "exit status $STATUS after 'q'"
check_no_sanitizer_report "$WORK/tarvex.err"
echo "PASS"
