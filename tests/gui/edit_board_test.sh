#!/bin/bash
# Board editing through the Edit menu and clicks in a 2D game, beyond what promotion_test.sh
# does with it: the header shows the pending edit's question; a click on no square drops the
# pending edit; a piece added and removed again leaves the picture as it was; after "Black's
# move" Black moves first, and White's rook gives check (CHECK in red). The edited game is saved
# and restored with Alt+S and Alt+R, and undo goes back to the position after Black's move.
# Usage: edit_board_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

HEADER=$(model text 0)
MESSAGE=$(model text 2)
BOARD="0 130 800 800" # below the text lines
RED=255,0,0
SELECTED=255,64,0 # a selected square
MOVE=0,255,0      # a highlighted move

# moved_from BEFORE AFTER: the board has changed and shows no selection or moves any more (the
# picture after a move's second click, not after its first).
# shellcheck disable=SC2086
moved_from() { differ "$1" "$2" $BOARD && none_of "$2" $SELECTED $BOARD && none_of "$2" $MOVE $BOARD; }
# add COLOUR PIECE SQUARE: Edit > Add white/black ... > piece, a click on the square, and the
# console line that confirms it.
add() {
    local -A menus=([white]=1 [black]=2)
    local -A entries=([P]=1 [N]=2 [B]=3 [R]=4 [Q]=5 [K]=6)
    choose_menu 7 "${menus[$1]}" "${entries[$2]}"
    click_square "$3"
    expect_output $'\n'"set $1 $2 at $(square "$3")"
}

start_xvfb
start_program
keys F2 F10
expect_output $'\nBoard Hashes Reset'
# shellcheck disable=SC2086
wait_for_picture 10 "the 2D board" start at_least 1000 start whitepiece $BOARD

choose_menu 7 6 # Edit > Clear board
# A pending edit puts its question in the header line.
choose_menu 7 1 6 # Edit > Add white ... > King
# shellcheck disable=SC2086
wait_for_picture 10 "the edit question" asking differ start asking $HEADER
click_square e1
expect_output $'\nset white K at 32'
# shellcheck disable=SC2086
wait_for_picture 10 "the header without the question" asked differ asking asked $HEADER
add white R a1
add black K e8

# A click on no square (the window's corner) drops the pending queen: a click on the empty c3
# after it places nothing.
choose_menu 7 1 5 # Edit > Add white ... > Queen
click 4 796
click_square c3
add white P h2
read_file OUT "$WORK/tarvex.out"
[[ $OUT != *"set white Q"* ]] || fail "a click on no square placed the queen"

# A black queen added and removed again: the picture is as before.
wait_for_picture 10 "the pawn on h2" kings square_has 30 kings whitepiece h2
# Black is to move first; the side to move is chosen before the last edit, which makes the
# position (with its side to move) the game's start.
add black Q d5
# shellcheck disable=SC2086
wait_for_picture 10 "the queen" queen differ kings queen $BOARD
choose_menu 7 5 # Edit > Black's move
choose_menu 7 3 # Edit > Remove piece
click_square d5
# shellcheck disable=SC2086
wait_for_picture 10 "the queen to go" removed same kings removed $BOARD

# Black moves; then White's rook checks along the eighth rank.
click_square e8
click_square f8
expect_match $'\n1\\. \\.\\.\\. [^\n]*f8'
wait_for_picture 10 "the king on f8" black-moved moved_from removed black-moved
click_square a1
click_square a8
expect_match $'\n2\\. [^\n]*8'
# shellcheck disable=SC2086
wait_for_picture 10 "CHECK in the message line" check at_least 100 check $RED $MESSAGE

# The edited game saved and restored: the same picture, and undo from it goes back one ply.
keys alt+s
expect_output $'\nSaving tarvex.sav ...complete\n'
keys F2 F10
expect_output $'\nBoard Hashes Reset'
# shellcheck disable=SC2086
wait_for_picture 10 "the new game" fresh differ check fresh $BOARD
keys alt+r
expect_output $'complete!\n'
# shellcheck disable=SC2086
wait_for_picture 10 "the restored edited game" restored same check restored $BOARD
keys u
expect_output $'\nmove undone'
# shellcheck disable=SC2086
wait_for_picture 10 "the position after Black's move" undone same black-moved undone $BOARD

quit_with keys Escape
echo "PASS"
