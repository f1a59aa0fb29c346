#!/bin/bash
# The right-button menu of the real window: entries of several submenus, chosen by hovering
# over the submenu entries and clicking the item, and their effects: View > Axes > On draws the
# yellow axes and View > Reset View takes them away; Rules > Standard rewrites the Rules labels
# (the chosen one in capitals) and the not-playing banner; Game > Thinking time rewrites its
# labels the same way; Game > Tarvex > Does not play and Plays black switch the banner; Mode >
# 2D and 3D start new games; Spread > Team marks the squares the side to move attacks; Quit
# ends the program with status 0.
# Usage: menus_test.sh PATH_TO_TARVEX
set -euo pipefail
PROGRAM=$1
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

YELLOW=255,255,0
ORANGE=255,128,0 # the not-playing banner, 1.0, 0.5, 0.0
TEAM=51,204,0    # an empty square the side to move attacks, 0.2, 0.8, 0.0
BANNER=$(model text 1)

# label_widths NAME: the widths of the Rules submenu's two labels in a screenshot of it.
label_widths() { echo "$(model label-width "$WORK/$1.png" 1) $(model label-width "$WORK/$1.png" 2)"; }

start_xvfb
start_program

# View > Axes > On, then View > Reset View.
shot start
none_of start $YELLOW || fail "yellow before the axes are on"
choose_menu 6 2 2
wait_for_picture 10 "the axes" axes at_least 200 axes $YELLOW
choose_menu 6 6
wait_for_picture 10 "the axes to go" reset none_of reset $YELLOW

# Rules > Standard: "TOURNAMENT standard" becomes "tournament STANDARD".
open_menu 3
menu_shot rules-before
close_menus
read -r tournament_before standard_before < <(label_widths rules-before)
choose_menu 3 2
open_menu 3
menu_shot rules-after
close_menus
read -r tournament_after standard_after < <(label_widths rules-after)
((tournament_after < tournament_before - 10 && standard_after > standard_before + 10)) ||
    fail "Rules labels: $tournament_before $standard_before before, $tournament_after $standard_after after"

# Game > Thinking time > 3 seconds: "CLASSIC", "1 second", "3 seconds" become "classic",
# "1 second", "3 SECONDS".
open_menu 1 3
menu_shot thinking-before
close_menus
choose_menu 1 3 3
open_menu 1 3
menu_shot thinking-after
close_menus
thinking_widths() { for i in 1 2 3; do model label-width "$WORK/$1.png" "$i"; done | paste -sd ' '; }
read -r classic_before second_before seconds_before < <(thinking_widths thinking-before)
read -r classic_after second_after seconds_after < <(thinking_widths thinking-after)
((classic_after < classic_before - 10 && second_after == second_before &&
    seconds_after > seconds_before + 10)) ||
    fail "Thinking time labels: $classic_before $second_before $seconds_before before," \
        "$classic_after $second_after $seconds_after after"
choose_menu 1 3 1 # back to Classic

# Game > Tarvex > Does not play: the orange banner "Tarvex not playing (Standard)", longer
# than the one of Tournament rules; Plays black: "Your move" again.
choose_menu 1 1 4
# shellcheck disable=SC2086
wait_for_picture 10 "the not-playing banner" standard at_least 300 standard $ORANGE $BANNER
choose_menu 3 1
# shellcheck disable=SC2086
wait_for_picture 10 "the banner of Tournament rules" tournament differ standard tournament $BANNER
# shellcheck disable=SC2086
(($(count_pixels tournament $ORANGE $BANNER) > $(count_pixels standard $ORANGE $BANNER))) ||
    fail "the banner did not grow from (Standard) to (Tournament)"
choose_menu 1 1 2
# shellcheck disable=SC2086
wait_for_picture 10 "the banner 'Your move'" playing none_of playing $ORANGE $BANNER

# Mode > 2D and Mode > 3D: new games with the banner on the console.
choose_menu 2 1
expect_output $'\nBoard Hashes Reset\nTarvex V2.87\n'
e4_grey() { (($(model count-square "$WORK/board2d.png" grey 2d default 35) > 100)); }
wait_for_picture 10 "the 2D board" board2d e4_grey
# Spread > Team: with the pawn on e2 selected, empty squares White attacks are marked too.
choose_menu 5 3
# shellcheck disable=SC2046
click $(model square 2d default 33)
wait_for_picture 10 "the attacked squares" team at_least 1000 team $TEAM
choose_menu 2 2
expect_output $'\nBoard Hashes Reset'
expect_output $'\nTarvex V2.87\n'

quit_with choose_menu 8
echo "PASS"
