#!/bin/bash
# A 2D game played with the mouse in the real window: selecting a piece shows the selected
# square and its moves in their colours, a second click moves it, the engine answers, the
# header line shows the move; a capture is highlighted; a refused move writes its message into
# the message line, which the next redraw no longer shows. Esc ends the program with status 0.
# Usage: game_2d_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

SELECTED=255,64,0 # the selection colour 1.0, 0.25, 0.0
MOVE=0,255,0      # a move to an empty square
CAPTURE=255,0,255 # a move onto a piece
HEADER=$(model text 0)
MESSAGE=$(model text 2)
BOARD="0 130 800 800" # below the text lines

square_lacks() { (($(model count-square "$WORK/$1.png" "$2" 2d default "$(square "$3")") == 0)); }

start_xvfb
start_program
keys F2
expect_output $'\nBoard Hashes Reset\nTarvex V2.87\n'
wait_for_picture 10 "the 2D board" start square_has 50 start grey e4
# shellcheck disable=SC2086
at_least 100 start lit $HEADER || fail "no header line"

# The pawn on e2: its square in the selection colour, e3 and e4 green, nothing else marked.
click_square e2
wait_for_picture 10 "e2 selected" selected square_has 30 selected $SELECTED e2
for target in e3 e4; do
    square_has 100 selected $MOVE "$target" || fail "$target is not marked as a move"
done
for other in e1 e5 d3 f3 d2; do
    square_lacks selected $MOVE "$other" || fail "$other is marked as a move"
done
# shellcheck disable=SC2086
[[ $(count_pixels selected $CAPTURE $BOARD) == 0 ]] || fail "a capture is marked"

# The move, the engine's answer, and the header line that shows it.
click_square e4
expect_output $'\n1. e4\n1. ... '
# shellcheck disable=SC2086
wait_for_picture 20 "the header line to change" moved differ start moved $HEADER
square_has 30 moved whitepiece e4 || fail "no white piece on e4"
# shellcheck disable=SC2086
[[ $(count_pixels moved $MOVE $BOARD) == 0 ]] || fail "highlights left after the move"

# A new game in which the engine does not play (F10): both sides by mouse, up to a capture.
keys F2 F10
expect_output $'\nBoard Hashes Reset'
click_square e2
click_square e4
expect_output $'\n1. e4'
click_square d7
click_square d5
expect_output $'\n1. ... d5'
click_square e4
wait_for_picture 10 "e4 selected" capture square_has 30 capture $SELECTED e4
square_has 100 capture $CAPTURE d5 || fail "the capture on d5 is not marked in magenta"
square_has 100 capture $MOVE e5 || fail "e5 is not marked as a move"
click_square d5
expect_output $'\n2. exd5'

# Black's rook cannot jump over its pawn: the move is refused, and the message line shows
# "illegal move ..." in white from the press on. The release draws nothing new, so the message
# stays for the user to read (a click of a button the program does not know, which only prints
# a complaint, shows that the release has been handled); the next redraw (asked for by the key G) shows the green selection
# line again.
click_square a8
point=$(model square 2d default "$(square a5)")
# shellcheck disable=SC2086
xdotool mousemove --window "$WID" $point mousedown 1
expect_output $'\n!LegalMove'
# shellcheck disable=SC2086
wait_for_picture 10 "the refusal in the message line" refused at_least 100 refused 255,255,255 $MESSAGE
xdotool mouseup 1 click 8
expect_output $'\nunknown mouse button\n'
for n in 1 2 3; do
    shot released
    # shellcheck disable=SC2086
    same refused released $MESSAGE || fail "the message line changed when the button was released"
done
keys g
expect_output $'\nW xang='
# shellcheck disable=SC2086
wait_for_picture 10 "the selection line again" after at_least 100 after $MOVE $MESSAGE
# shellcheck disable=SC2086
[[ $(count_pixels after 255,255,255 $MESSAGE) == 0 ]] || fail "the message is shown twice"

quit_with keys Escape
echo "PASS"
