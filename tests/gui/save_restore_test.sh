#!/bin/bash
# Saving, restoring and listing a 2D game in the real window through the file-name prompt. Two
# moves by mouse (the engine stopped with F10); S opens the prompt pre-filled with "tarvex.sav"
# and Enter saves (28760 bytes, the window titled by the file); while the prompt is open a click
# on the board, the right button and other keys reach nothing. After a new game, R restores the
# moves and the picture. Escape cancels (the can't-open messages); a listing's name typed into
# its prompt gets ".txt"; Alt+L lists on the console only; Alt+S and Alt+R use "tarvex.sav"
# without a prompt; the Game menu opens the prompt too.
# Usage: save_restore_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

# The prompt's panel: 520 x 100 pixels under a title bar of 24, centred in the 800 x 800 window.
PANEL="140 338 660 462"
PANEL_GREY=217,217,217 # the panel's face, 0.85 grey
TITLE_BLUE=51,77,153   # its title bar, 0.2, 0.3, 0.6
SELECTED=255,64,0      # a selected square
MOVE=0,255,0           # a highlighted move
BOARD="0 130 800 800"  # below the text lines
HEADER=$(model text 0)
BLACK_SIDE=153,153,204 # the header's colour after a move of Black

# shellcheck disable=SC2086
prompt_shown() { at_least 20000 "$1" $PANEL_GREY $PANEL && at_least 2000 "$1" $TITLE_BLUE $PANEL; }
# shellcheck disable=SC2086
prompt_gone() { none_of "$1" $PANEL_GREY $PANEL; }
wait_prompt() { wait_for_picture 10 "the file prompt" "$1" prompt_shown "$1"; }
wait_no_prompt() { wait_for_picture 10 "the prompt to close" "$1" prompt_gone "$1"; }
# The console text printed from the mark on is exactly TEXT (waited for), with nothing before.
expect_exactly() {
    local start=$MARK
    expect_output "$1"
    read_file OUT "$WORK/tarvex.out"
    [[ ${OUT:start:MARK-start} == "$1" ]] ||
        fail "expected only $(printf '%q' "$1"), got $(printf '%q' "${OUT:start:MARK-start}")"
}
title_is() { [[ $(xdotool getwindowname "$WID") == "$1" ]]; }

start_xvfb
start_program
keys F2 F10
expect_output $'\nBoard Hashes Reset'
click_square e2
click_square e4
expect_output $'\n1. e4'
click_square d7
click_square d5
expect_output $'\n1. ... d5'
# Drawn after Black's move: the header in Black's colour, no highlights left.
# shellcheck disable=SC2086
after_d5() { at_least 50 "$1" $BLACK_SIDE $HEADER && none_of "$1" $MOVE $BOARD; }
wait_for_picture 10 "the position after 1. ... d5" played after_d5 played
square_has 30 played whitepiece e4 || fail "no white pawn on e4"
keys g
expect_match $'\nW xang=[^\n]*'
VIEW_LINE=${MATCH[0]}

# The save prompt. A click on the white pawn, the right button, F2 and Up go nowhere.
keys s
wait_prompt save-prompt
# shellcheck disable=SC2086
at_least 5000 save-prompt 255,255,255 $PANEL || fail "the prompt has no edit line"
click_square e4
click 20 780 3
keys F2 Up
keys Return
expect_exactly $'\nSaving tarvex.sav ...complete\n'
wait_no_prompt saved
wait_until 10 "the window title" title_is tarvex.sav
[[ $(stat -c %s "$WORK/tarvex.sav") == 28760 ]] || fail "tarvex.sav is not 28760 bytes"
menu_count_is 0 || fail "the right button opened the menu under the prompt"
# shellcheck disable=SC2086
none_of saved $SELECTED $BOARD || fail "the click under the prompt selected a square"
# shellcheck disable=SC2086
none_of saved $MOVE $BOARD || fail "the click under the prompt highlighted moves"
keys g
expect_exactly "$VIEW_LINE"

# A new game, then the restore through the prompt: the old moves and picture come back.
keys F2 F10
expect_output $'\nBoard Hashes Reset'
# shellcheck disable=SC2086
wait_for_picture 10 "the new game" fresh differ played fresh $BOARD
keys r
wait_prompt restore-prompt
keys Return
expect_output $'\nRestore game ...'
expect_output $'complete!\n'
# shellcheck disable=SC2086
wait_for_picture 10 "the restored game" restored same played restored $BOARD

# Escape: the commands report that no file was opened, and nothing changes.
keys s
wait_prompt cancel-prompt
keys ctrl+u
xdotool type --delay 10 other
keys Escape
expect_output $'\ncan\'t open save file tarvex.sav\n'
wait_no_prompt cancelled
[[ ! -e $WORK/other.sav ]] || fail "a cancelled save wrote other.sav"
keys r Escape
expect_match $'\ncan\'t open restore file\ntarvex\\.sav: [^\n]+\n'
keys s Return
expect_exactly $'\nSaving tarvex.sav ...complete\n' # the name kept is the saved one

# A listing into a typed name, which gets ".txt"; then the console-only listing with Alt.
keys l
wait_prompt list-prompt
keys ctrl+u
xdotool type --delay 10 moves
keys Return
expect_exactly $'\nGame listing: 2 plies\n 1. e4 - d5\n'
[[ $(head -1 "$WORK/moves.txt") == "Game listing: 2 plies" ]] || fail "moves.txt lacks its listing"
keys alt+l
expect_exactly $'\n 1. e4 - d5\n'

# Alt+S and Alt+R: the default file, no prompt.
rm "$WORK/tarvex.sav"
keys alt+s
expect_exactly $'\nSaving tarvex.sav ...complete\n'
[[ -e $WORK/tarvex.sav ]] || fail "Alt+S wrote no tarvex.sav"
keys F2 F10
expect_output $'\nBoard Hashes Reset'
# shellcheck disable=SC2086
wait_for_picture 10 "the new game" fresh2 differ played fresh2 $BOARD
keys alt+r
expect_output $'\nRestore game ...'
expect_output $'complete!\n'
# shellcheck disable=SC2086
wait_for_picture 10 "the restored game" restored2 same played restored2 $BOARD
prompt_gone restored2 || fail "Alt+R opened the prompt"

# The Game menu's Restore game opens the prompt too.
choose_menu 1 8
wait_prompt menu-prompt
keys Return
expect_output $'\nRestore game ...'
expect_output $'complete!\n'
wait_no_prompt menu-restored

quit_with keys Escape
echo "PASS"
