#!/bin/bash
# Promotion by mouse through the chooser. The position is set up with the Edit menu (clear the
# 2D board, add the kings and a white pawn on a7, White to move); with the engine stopped (F10)
# the pawn goes to a8: the chooser panel appears, and while it is open clicks elsewhere, keys
# (even q and Esc) and the right-button menu are ignored; KNIGHT plays a8N and a knight stands
# on a8. Taken back and promoted to a queen, a different piece stands on a8.
# Usage: promotion_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

PANEL=$(model panel)
PANEL_GREY=217,217,217 # the panel's face, 0.85 grey
TITLE_BLUE=51,77,153   # its title bar, 0.2, 0.3, 0.6

click_index() { # click_index INDEX: a click on a square of the 2D board in its start view
    local point
    point=$(model square 2d default "$1") || fail "no click point for square $1"
    # shellcheck disable=SC2086
    click $point
}
# The column above a8 (index 7), where the promoted piece stands, in the start view.
read -r A8_X A8_Y < <(model square 2d default 7)
A8_COLUMN="$((A8_X - 40)) 130 $((A8_X + 40)) $((A8_Y + 10))"

start_xvfb
start_program
keys F2 F10
expect_output $'\nBoard Hashes Reset'
choose_menu 7 6 # Edit > Clear board
choose_menu 7 1 6 # Edit > Add white ... > King
click_index 32    # e1
expect_output $'\nset white K at 32'
choose_menu 7 2 6 # Edit > Add black ... > King
click_index 61    # h6
expect_output $'\nset black K at 61'
choose_menu 7 1 1 # Edit > Add white ... > Pawn
click_index 6     # a7
expect_output $'\nset white P at 6'
choose_menu 7 4 # Edit > White's move

click_index 6
click_index 7
# shellcheck disable=SC2086
wait_for_picture 10 "the promotion chooser" chooser at_least 5000 chooser $PANEL_GREY $PANEL
# shellcheck disable=SC2086
at_least 2000 chooser $TITLE_BLUE $PANEL || fail "the chooser has no title bar"

# Ignored while the chooser is open: a click on the board, a click on the panel beside the
# buttons, the right button, keys that would complain or quit.
click_index 32
read -r left top _ _ <<<"$PANEL"
click $((left + 4)) $((top + 30))
click 20 780 3
keys x F4 Left q Escape

# shellcheck disable=SC2046
click $(model button KNIGHT)
expect_output $'\n1. a8N'
read_file OUT "$WORK/tarvex.out"
[[ $OUT != *"Don't know"* ]] || fail "a key reached the program while the chooser was open"
# shellcheck disable=SC2086
wait_for_picture 10 "the chooser to close" knight none_of knight $PANEL_GREY $PANEL
menu_count_is 0 || fail "a menu is open"
# shellcheck disable=SC2086
at_least 200 knight whitepiece $A8_COLUMN || fail "no white piece on a8"

# The same move with QUEEN: another piece on a8.
keys u
expect_output $'\nmove undone'
click_index 6
click_index 7
# shellcheck disable=SC2086
wait_for_picture 10 "the promotion chooser again" chooser2 at_least 5000 chooser2 $PANEL_GREY $PANEL
# shellcheck disable=SC2046
click $(model button QUEEN)
expect_output $'\n1. a8Q'
# shellcheck disable=SC2086
wait_for_picture 10 "the chooser to close" queen none_of queen $PANEL_GREY $PANEL
# shellcheck disable=SC2086
changed=$(model differing "$WORK/knight.png" "$WORK/queen.png" $A8_COLUMN)
((changed > 500)) || fail "the knight and the queen look alike on a8 ($changed pixels differ)"

quit_with keys q
echo "PASS"
