# shellcheck shell=bash
# Shared helpers of the window tests: a private virtual X server, the program started in it,
# waiting with deadlines for console text and for the picture, the pop-up menus, and exact
# comparison of console text. Sourced by the test scripts, never run on its own.

# Byte offsets into the console text, whatever the caller's locale.
export LC_ALL=C
# Mesa's software renderer leaves about 2.5 MB (the 800 x 800 colour buffer and its records)
# unfreed when GLUT closes the window, and unloads its driver before LeakSanitizer looks, so the
# report has no symbols to suppress by. Leak checks of the program's own code are left to the
# unit tests and to no_display_test.sh; address and undefined-behaviour checks stay on here.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tarvex-gui.XXXXXX")
GUI_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
XVFB_PID=""
PROGRAM_PID=""
WID=""
MARK=0 # how much of the console text expect_output has passed over

fail() {
    echo "FAIL: $*" >&2
    for log in "$WORK"/*.out "$WORK"/*.err "$WORK"/xvfb.log; do
        [[ -s $log ]] && { echo "--- $log" >&2; cat -A "$log" >&2; }
    done
    exit 1
}

# Runs on every way out of the script, so no server or program outlives the test. Failures
# here must not end the clean-up early, hence no errexit.
cleanup() {
    local status=$?
    set +e
    if [[ -n $PROGRAM_PID ]]; then
        kill "$PROGRAM_PID" 2>/dev/null
        wait "$PROGRAM_PID" 2>/dev/null
    fi
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    # The screenshots, for a look at what the test saw.
    if [[ -n ${TARVEX_GUI_ARTIFACTS:-} ]]; then
        mkdir -p "$TARVEX_GUI_ARTIFACTS" && cp "$WORK"/*.png "$TARVEX_GUI_ARTIFACTS"/ 2>/dev/null
    fi
    rm -rf "$WORK"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (run scripts/deps.sh)"
    done
}

# Starts Xvfb on a free display chosen by the server itself and exports DISPLAY. The screen
# is SCREEN_SIZE (default 1024x1024) pixels.
start_xvfb() {
    local fd
    exec {fd}>"$WORK/displaynum"
    Xvfb -displayfd "$fd" -screen 0 "${SCREEN_SIZE:-1024x1024}x24" -nolisten tcp \
        >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec {fd}>&-
    wait_until 30 "Xvfb to report its display" test -s "$WORK/displaynum"
    DISPLAY=":$(tr -d '\n' <"$WORK/displaynum")"
    export DISPLAY
}

# wait_until SECONDS WHAT COMMAND...: retries the command until it succeeds or time is up,
# every POLL seconds.
POLL=0.05
wait_until() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || fail "timed out waiting for $what"
        sleep "$POLL"
    done
}

# read_file NAME FILE: sets the variable NAME to the whole file, trailing newlines included
# (a plain command substitution would drop them).
read_file() {
    local text
    text=$(cat "$2"; printf .)
    printf -v "$1" '%s' "${text%.}"
}

# The process has ended.
gone() { ! kill -0 "$1" 2>/dev/null; }

# Sanitizer reports go to stderr; any of them fails the test.
check_no_sanitizer_report() {
    if grep -qE 'ERROR: (Address|Leak|Thread)Sanitizer|runtime error:' "$1"; then
        fail "sanitizer report in $1"
    fi
}

# The geometry and screenshot questions (window_model.py).
model() { python3 "$GUI_DIR/window_model.py" "$@"; }

# start_program [DIRECTORY]: starts the program (in DIRECTORY, default $WORK) on the virtual
# display, its console in $WORK/tarvex.out and tarvex.err; waits for its window (WID) and for
# the last line of its help screen.
start_program() {
    (cd "${1:-$WORK}" && exec "$PROGRAM" >"$WORK/tarvex.out" 2>"$WORK/tarvex.err") &
    PROGRAM_PID=$!
    WID=$(timeout 60 xdotool search --sync --name '^Tarvex 2\.87$' | head -1) ||
        fail "no window titled 'Tarvex 2.87' appeared"
    [[ -n $WID ]] || fail "no window id"
    expect_output $'\nI \t engine thoughts toggle'
    xdotool windowfocus --sync "$WID"
}

# output_has TEXT: the console text after the mark holds TEXT; sets FOUND_END to the offset
# just after its first occurrence.
output_has() {
    local out rest
    read_file out "$WORK/tarvex.out"
    rest=${out:MARK}
    [[ $rest == *"$1"* ]] || return 1
    local before=${rest%%"$1"*}
    FOUND_END=$((MARK + ${#before} + ${#1}))
}

# expect_output TEXT [SECONDS]: waits until TEXT appears on the console after the mark, then
# moves the mark past it, so that expected lines are met in order.
expect_output() {
    wait_until "${2:-30}" "console text $(printf '%q' "$1")" output_has "$1"
    MARK=$FOUND_END
}

# expect_match REGEX [SECONDS [WHAT]]: waits until the console text after the mark matches the
# extended regular expression, then moves the mark past the match; MATCH holds the groups
# (MATCH[0] the whole match).
output_matches() {
    local out rest
    read_file out "$WORK/tarvex.out"
    rest=${out:MARK}
    [[ $rest =~ $1 ]] || return 1
    MATCH=("${BASH_REMATCH[@]}")
    local before=${rest%%"${MATCH[0]}"*}
    FOUND_END=$((MARK + ${#before} + ${#MATCH[0]}))
}
expect_match() {
    wait_until "${2:-30}" "${3:-console text matching $(printf '%q' "$1")}" output_matches "$1"
    MARK=$FOUND_END
}

# The console text after the mark, for checks that something was not printed.
output_since_mark() {
    local out
    read_file out "$WORK/tarvex.out"
    printf '%s' "${out:MARK}"
}

# Squares of the 2D game in its start view, by name (a1 = 0, a2 = 1, ..., h8 = 63).
square() { # square NAME: the index of a square name
    local name=$1
    echo $((8 * ($(printf '%d' "'${name:0:1}") - 97) + ${name:1:1} - 1))
}
click_square() { # click_square NAME: a click on the middle of the square
    local point
    point=$(model square 2d default "$(square "$1")") || fail "no click point for $1"
    # shellcheck disable=SC2086
    click $point
}
square_has() { # square_has N IMAGE COLOUR SQUARE: N or more pixels of the colour in the square
    (($(model count-square "$WORK/$2.png" "$3" 2d default "$(square "$4")") >= $1))
}

# shot NAME: a screenshot of the window in $WORK/NAME.png.
shot() { import -window "$WID" "$WORK/$1.png"; }

# wait_for_picture SECONDS WHAT NAME COMMAND...: takes screenshots into NAME until the command
# (which looks at $WORK/NAME.png) succeeds.
wait_for_picture() {
    local seconds=$1 what=$2 name=$3
    shift 3
    local deadline=$((SECONDS + seconds))
    until shot "$name" && "$@"; do
        ((SECONDS < deadline)) || fail "timed out waiting for the picture: $what"
        sleep 0.1
    done
}

# Pixels of a colour in a box of a screenshot: count NAME COLOUR [X0 Y0 X1 Y1].
count_pixels() {
    local name=$1
    shift
    model count "$WORK/$name.png" "$@"
}

# at_least N NAME COLOUR [BOX]: the screenshot has N or more pixels of the colour.
at_least() {
    local n=$1
    shift
    (($(count_pixels "$@") >= n))
}

# none_of NAME COLOUR [BOX]: the screenshot has no pixel of the colour.
none_of() { (($(count_pixels "$@") == 0)); }

# The two screenshots differ (or are equal) in a box: differ NAME1 NAME2 [X0 Y0 X1 Y1].
differ() { ! model same "$WORK/$1.png" "$WORK/$2.png" "${@:3}"; }
same() { model same "$WORK/$1.png" "$WORK/$2.png" "${@:3}"; }

# click X Y [BUTTON]: a click at window coordinates.
click() { xdotool mousemove --window "$WID" "$1" "$2" click --delay 0 "${3:-1}"; }

# keys KEY...: key presses in the window (xdotool key names).
keys() { xdotool key "$@"; }

# The visible pop-up menu windows.
menu_windows() { xdotool search --onlyvisible --name '^freeglut menu$' 2>/dev/null || true; }
menu_count_is() { (($(menu_windows | wc -l) == $1)); }

# A menu entry's centre in screen coordinates: entries are 25 pixels high below a border of 2.
MENU_ENTRY_X=0
MENU_ENTRY_Y=0
menu_entry() {
    local menu=$1 index=$2 X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    MENU_ENTRY_X=$((X + WIDTH / 2))
    MENU_ENTRY_Y=$((Y + 2 + 25 * (index - 1) + 12))
}

# choose_menu INDEX...: opens the right-button menu (at the window point MENU_X, MENU_Y) and
# follows the entries numbered INDEX (1 = the first) down the submenus: a submenu opens when
# the pointer rests on its entry; the last entry is clicked. Returns when the menus are closed.
# open_menu INDEX...: the same, but the last entry's submenu is left open (OPEN_MENU), with the
# pointer just inside its first entry (freeglut draws a submenu once the pointer is in it);
# close_menus closes them.
MENU_X=12
MENU_Y=140
OPEN_MENU=""
choose_menu() { walk_menus click "$@"; }
open_menu() { walk_menus open "$@"; }
# menu_shot NAME: a screenshot of the open submenu once it is drawn (not black, and the same in
# two screenshots in a row).
menu_shot() {
    local deadline=$((SECONDS + 10))
    until menu_grab "$1" && at_least 1 "$1" lit && menu_grab "$1-again" && same "$1" "$1-again"; do
        ((SECONDS < deadline)) || fail "timed out waiting for the menu to be drawn"
        sleep "$POLL"
    done
}
# The open submenu as the screen shows it (the menu window itself reads back black in Xvfb).
menu_grab() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$OPEN_MENU")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$WORK/$1.png"
}
close_menus() {
    xdotool mousemove --window "$WID" 799 799 click --delay 0 1
    wait_until 10 "the menus to close" menu_count_is 0
}
walk_menus() {
    local last=$1
    shift
    local -a known=()
    local depth=0 index menu new X Y WIDTH HEIGHT SCREEN WINDOW
    click "$MENU_X" "$MENU_Y" 3
    for index in "$@" ""; do
        depth=$((depth + 1))
        wait_until 10 "menu level $depth to open" menu_count_is "$depth"
        new=""
        for menu in $(menu_windows); do
            [[ " ${known[*]} " == *" $menu "* ]] || new=$menu
        done
        [[ -n $new ]] || fail "no new menu window at level $depth"
        known+=("$new")
        if [[ -z $index ]]; then # the last entry's submenu
            OPEN_MENU=$new
            eval "$(xdotool getwindowgeometry --shell "$new")"
            xdotool mousemove "$((X + 3))" "$((Y + 4))"
            return
        fi
        menu_entry "$new" "$index"
        if ((depth == $#)) && [[ $last == click ]]; then
            xdotool mousemove "$MENU_ENTRY_X" "$MENU_ENTRY_Y" click --delay 0 1
            wait_until 10 "the menus to close" menu_count_is 0
            return
        fi
        xdotool mousemove "$MENU_ENTRY_X" "$MENU_ENTRY_Y"
    done
}

# Ends the program with a key (or a menu) and checks that it leaves with status 0 and without
# a sanitizer report: quit_with COMMAND...
quit_with() {
    "$@"
    wait_until 30 "the program to end" gone "$PROGRAM_PID"
    local status=0
    wait "$PROGRAM_PID" || status=$?
    PROGRAM_PID=""
    [[ $status == 0 ]] || fail "exit status $status after: $*"
    check_no_sanitizer_report "$WORK/tarvex.err"
}
