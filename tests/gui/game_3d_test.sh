#!/bin/bash
# The 3D game in the real window: an attack board is moved with the mouse. The white queen's
# board (QL1) is emptied but for one pawn with "Edit > Remove piece", so that it may move; a
# click on its post selects it, the post turns to the selection colour and yellow cones mark
# the two free pins it may go to (QL2, QL3); a click on QL2's square moves it there, and the
# engine answers. 'q' ends the program with status 0.
# Usage: game_3d_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

YELLOW=255,255,0
SELECTED=255,64,0
VIEW=default # the 3D game's start view

start_xvfb
start_program
shot start
none_of start $YELLOW || fail "yellow before any selection"

# The rook (0), queen (8) and one pawn (9) leave QL1; its other pawn (1) stays.
for index in 0 8 9; do
    choose_menu 7 3 # Edit > Remove piece
    # shellcheck disable=SC2046
    click $(model square 3d $VIEW $index)
done
keys g # the clicks have been handled once G has answered
expect_output $'\nW xang=300 yang=0 scale=1.6'

# shellcheck disable=SC2046
click $(model post $VIEW 100)
expect_output $'\nselected QL white'
wait_for_picture 10 "the pin markers" selected at_least 20 selected $YELLOW
near_markers=0
for pin in 2 35; do
    read -r x y < <(model marker $VIEW "$pin")
    n=$(count_pixels selected $YELLOW $((x - 12)) $((y - 12)) $((x + 12)) $((y + 12)))
    ((n >= 10)) || fail "no marker at pin $pin ($x, $y)"
    near_markers=$((near_markers + n))
done
[[ $(count_pixels selected $YELLOW) == "$near_markers" ]] || fail "yellow away from the markers"
read -r x y < <(model post $VIEW 100)
at_least 4 selected $SELECTED $((x - 3)) $((y - 8)) $((x + 4)) $((y + 8)) ||
    fail "the post is not in the selection colour"

# QL2's square on the white level (index 35) takes the board; the engine answers.
# shellcheck disable=SC2046
click $(model square 3d $VIEW 35)
expect_output $'\n1. QL2'
expect_output $'\n1. ... '
wait_for_picture 10 "the markers to go" moved none_of moved $YELLOW
# The board's squares are drawn at QL2 now: its pawn's square (1) at the new place.
(($(model count-square "$WORK/moved.png" lit 3d $VIEW 1 35,39,56,63) > 100)) ||
    fail "the board is not drawn at QL2"

quit_with keys q
echo "PASS"
