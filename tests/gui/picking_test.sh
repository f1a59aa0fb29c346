#!/bin/bash
# Picking: a click on a square picks exactly that square.
#   2d: every one of the 64 squares of the 2D game in the overhead view (key O);
#   3d: every square of the three levels and the four attack boards in the 3D game's start view
#       (perspective, tilted), where levels and boards overlap on the screen;
#   2d WIDTHxHEIGHT: every square of the 2D game's start view (perspective) after the window is
#       resized; a selected square is drawn in the selection colour where the model puts it, so
#       the picture, the picks and the model agree on the stretched projection.
# The oracle is board editing: with "Edit > Add white ... > Pawn" pending, a click prints
# "set white P at <index>" for the square it picked. The click points come from the program's
# view transform (window_model.py), never from measured pixels.
# Usage: picking_test.sh PATH_TO_TARVEX 2d|3d [WIDTHxHEIGHT]
set -euo pipefail
PROGRAM=$1
GAME=$2
SIZE=${3:-}
[[ -z $SIZE ]] || SCREEN_SIZE=1600x1024 # room for a wide window
# shellcheck source=tests/gui/xvfb_support.sh
source "$(dirname "$0")/xvfb_support.sh"
require_tools Xvfb xdotool import convert python3

SELECTED=255,64,0

start_xvfb
start_program
if [[ -n $SIZE ]]; then
    keys F2
    expect_output $'\nBoard Hashes Reset'
    xdotool windowsize --sync "$WID" "${SIZE%x*}" "${SIZE#*x}"
    keys g # answered once the window has taken its new size
    expect_output $'\nW xang=330 yang=0 scale=2'
    VIEW=default
    model() { python3 "$GUI_DIR/window_model.py" --size "$SIZE" "$@"; }
    # The pawn on e2 selected: its square in the selection colour; a second click lets it go.
    click_square e2
    wait_for_picture 10 "the selected square" selected square_has 200 selected $SELECTED e2
    [[ $(model marked "$WORK/selected.png" $SELECTED 20 2d default) == "$(square e2)" ]] ||
        fail "the selection colour is not on e2 alone"
    click_square e2
elif [[ $GAME == 2d ]]; then
    keys F2
    expect_output $'\nBoard Hashes Reset'
    # The overhead view: orthographic, no rotation, the 2D game's scale. G prints the view.
    keys o g
    expect_output $'\nW xang=0 yang=0 scale=2'
    VIEW=ortho,2
else
    keys g
    expect_output $'\nW xang=300 yang=0 scale=1.6'
    VIEW=default
fi

mapfile -t POINTS < <(model squares "$GAME" "$VIEW")
((${#POINTS[@]} == 64)) || fail "only ${#POINTS[@]} squares have a click point"
for line in "${POINTS[@]}"; do
    read -r index level x y <<<"$line"
    choose_menu 7 1 1 # Edit > Add white ... > Pawn
    click "$x" "$y"
    keys g # its answer ends the line the pick prints
    expect_match $'\nset white P at ([0-9]+)\n' 10 "a pick of square $index ($level) at $x,$y"
    [[ ${MATCH[1]} == "$index" ]] ||
        fail "the click at $x,$y on square $index ($level) picked square ${MATCH[1]}"
done
quit_with keys Escape
echo "PASS"
