#!/bin/bash
# The hint and the engine's thoughts in the real window, in a 2D game (White to move, the engine
# playing Black):
#   N asks for a hint: the message line turns from the green selection line to white text and
#   two squares take the selection colour, a White piece's square on rank 1 or 2 and its
#   destination on rank 3 or 4, while the header and the banner stay; G (any other key) takes
#   both away; the Game menu's Hint asks again, and a left click takes it away;
#   I shows the thoughts line below the three once the engine has thought (the console gets a
#   "depth ..." line per completed depth), and I again takes it away.
# Usage: hint_thoughts_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

SELECTED=255,64,0
GREEN=0,255,0 # the selection line "0 plies"
WHITE=255,255,255
HEADER=$(model text 0)
BANNER=$(model text 1)
MESSAGE=$(model text 2)
THOUGHTS=$(model text 3)

marked() { model marked "$WORK/$1.png" $SELECTED 30 2d default | tr '\n' ' '; }
# The hint's two squares are marked: a White piece's home square and a square of rank 3 or 4.
hint_shown() {
    read -r -a MARKED <<<"$(marked "$1")"
    # shellcheck disable=SC2086
    ((${#MARKED[@]} == 2)) && at_least 20 "$1" $WHITE $MESSAGE && none_of "$1" $GREEN $MESSAGE
}
hint_gone() {
    # shellcheck disable=SC2086
    [[ -z $(marked "$1") ]] && at_least 20 "$1" $GREEN $MESSAGE
}
rank_of() { echo $(($1 % 8 + 1)); }

start_xvfb
start_program
keys F2
expect_output $'\nBoard Hashes Reset'
wait_for_picture 10 "the 2D game" start hint_gone start
# shellcheck disable=SC2086
none_of start $WHITE $THOUGHTS || fail "white in the thoughts line before it is shown"

keys n
wait_for_picture 30 "the hint" hinted hint_shown hinted
read -r -a MARKED <<<"$(marked hinted)"
ranks="$(rank_of "${MARKED[0]}") $(rank_of "${MARKED[1]}")"
[[ $ranks =~ ^[12]\ [34]$ || $ranks =~ ^[34]\ [12]$ ]] ||
    fail "the hint marks squares ${MARKED[*]} (ranks $ranks)"
# shellcheck disable=SC2086
same start hinted $HEADER && same start hinted $BANNER || fail "the hint changed the game"
keys g
wait_for_picture 10 "the hint to go after G" cleared hint_gone cleared

choose_menu 1 9 # Game > Hint
wait_for_picture 30 "the menu's hint" hinted-again hint_shown hinted-again
click_square a5 # empty: selects nothing
wait_for_picture 10 "the hint to go after a click" clicked hint_gone clicked

# The thoughts: on, a move, the engine's answer thought out loud; then off.
keys i
click_square e2
click_square e4
expect_match $'\ndepth [0-9]+ ([-+]?[0-9]+\\.[0-9]{2}|mate -?[0-9]+) nodes [0-9]+ pv' 60 \
    "a thoughts line on the console"
expect_output $'\n1. ... ' 60
# shellcheck disable=SC2086
wait_for_picture 10 "the thoughts line" thinking at_least 50 thinking $WHITE $THOUGHTS
keys i
# shellcheck disable=SC2086
wait_for_picture 10 "the thoughts line to go" quiet none_of quiet $WHITE $THOUGHTS

quit_with keys q
echo "PASS"
