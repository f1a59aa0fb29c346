#!/bin/bash
# The view keys in the real window: the arrow and page keys turn and zoom the picture, O shows
# it from overhead and V puts back the start view exactly; F6 stores the view in favview.sav
# and F5 fetches it again after a reset; the wheel zooms and a middle-button drag turns the
# view; Shift+Q ends the program with status 0.
# Usage: keys_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

BOARD="0 130 800 800" # the scene below the text lines

start_xvfb
start_program
keys g
expect_output $'\nW xang=300 yang=0 scale=1.6'
shot start

# A turn about y (Right), about x (Up, ten degrees with Shift) and a zoom (Page Up): each one
# changes the picture.
keys Right g
expect_output $'\nW xang=300 yang=1 scale=1.6'
# shellcheck disable=SC2086
wait_for_picture 10 "the turn about y" turned differ start turned $BOARD
keys shift+Up g
expect_output $'\nW xang=290 yang=1 scale=1.6'
# shellcheck disable=SC2086
wait_for_picture 10 "the turn about x" tilted differ turned tilted $BOARD
keys Prior g
expect_match $'\nW xang=290 yang=1 scale=(1\\.[0-9]+)'
[[ ${MATCH[1]} != 1.6 ]] || fail "Page Up did not zoom"
ZOOMED=${MATCH[1]}
# shellcheck disable=SC2086
wait_for_picture 10 "the zoom" zoomed differ tilted zoomed $BOARD

# F6 stores this view; O looks from overhead, V resets to the start view, the very same picture.
keys F6
expect_output $'\nFavorite view SAVED'
[[ $(tr '\n' ' ' <"$WORK/favview.sav") == "290 1 $ZOOMED " ]] ||
    fail "favview.sav holds $(cat "$WORK/favview.sav")"
keys o g
expect_output $'\nW xang=0 yang=0 scale=1.6'
# shellcheck disable=SC2086
wait_for_picture 10 "the overhead view" overhead differ zoomed overhead $BOARD
keys v g
expect_output $'\nW xang=300 yang=0 scale=1.6'
# shellcheck disable=SC2086
wait_for_picture 10 "the start view again" reset same start reset $BOARD

# F5 fetches the stored view: the zoomed picture again.
keys F5 g
expect_output $'\nFavorite view LOADED'
expect_output $'\nW xang=290 yang=1 scale='"$ZOOMED"
# shellcheck disable=SC2086
wait_for_picture 10 "the favourite view" fetched same zoomed fetched $BOARD

# The mouse wheel zooms as Page Down and Page Up do: a notch down takes the Page Up back, a
# notch up makes it again (X reports the wheel as buttons 5 and 4).
click 400 400 5
keys g
expect_match $'\nW xang=290 yang=1 scale=([0-9.]+)'
[[ ${MATCH[1]} == 1.6 ]] || fail "a notch down left the scale at ${MATCH[1]}"
click 400 400 4
keys g
expect_output $'\nW xang=290 yang=1 scale='"$ZOOMED"

# A middle-button drag turns the view a degree a pixel, as the arrows do: 40 pixels left take
# the y-angle from 1 round to 321, 20 up the x-angle from 290 to 270.
shot before-drag
xdotool mousemove --window "$WID" 400 400 mousedown 2 mousemove --window "$WID" 380 390 \
    mousemove --window "$WID" 360 380 mouseup 2
keys g
expect_output $'\nW xang=270 yang=321 scale='"$ZOOMED"
# shellcheck disable=SC2086
wait_for_picture 10 "the dragged view" dragged differ before-drag dragged $BOARD
! grep -q "unknown mouse button" "$WORK/tarvex.out" || fail "the wheel or the middle button"

quit_with keys Q
echo "PASS"
