# The real-window session, sourced by tests/e2e/test_*.sh (run by CTest with
# TARNWICK_BIN, CLOSE_REQUEST and E2E_DIR set). Each run has its own of
# everything, so runs can go in parallel and never touch the user's setup:
# a D-Bus session bus, an X server (Xvfb picks a free display itself), the
# accessibility bus, a notification area (trayer), and a temporary folder
# $work holding HOME, the XDG folders, the logs and a copy of the program
# ($program_dir, where its settings file Tarnwick.ini goes). All of it goes
# when the test ends, however it ends short of SIGKILL.
#
#   start_program [ARGS]  starts the copy and waits for its main window at full
#                         height; $window is its X id, $program_pid its pid
#   launch_program [ARGS] starts it without waiting (e.g. when it starts hidden)
#   find_window [--onlyvisible]  sets $window if the main window exists (is shown)
#   find_tray_icon        sets $tray_icon if its icon is in the notification area
#   close_program         close request to $window, waits for the program to end
#   start_window_manager  runs openbox and waits until it manages windows
#                         (without it windows have no frames and no focus rules)
#   click_twips X Y       clicks in $window at X,Y twips (15 twips to a pixel)
#   wait_for 'COND' [S]   waits up to S seconds (default 20) until the shell
#                         condition holds; never use a fixed sleep instead
#   widget_text NAME      what a label, field or button shows (atspi.py text)
#   wait_text NAME REGEX [S]  waits until it matches, prints the text
#   list_rows NAME        the rows of a list, one a line
#   rows, listed LINE [N] the main window's list of produced files; whether
#                         it shows LINE (at least N times)
#   setting KEY VALUE     sets one setting (KEY as the file names it, without
#                         its padding) and writes the settings file anew; every
#                         setting not set has the value a first save gives it,
#                         the passwords appear only when set
#   read_setting KEY      prints the value the settings file holds for KEY
#   click_row NAME TEXT   clicks the row of a list that reads TEXT
#   choose_ghostscript_at_first_start FOLDER  answers a start without a
#                         usable Ghostscript path: walks the picker to FOLDER
#                         and clicks gs there
#   press_button CAPTION  presses a button by its caption, as a user would
#   dialog_text           the texts of the open message box, one a line
#   fail MESSAGE          ends the test, printing the session's logs
# NAME is an accessible name (a label's or button's caption, a tool tip), an
# accessible id where the toolkit publishes one (Qt 6.4 publishes no object
# names), or @X,Y: the smallest widget shown at X,Y twips in the main window,
# for widgets with no fixed caption such as lblStatus or lstConverted.
# `atspi dump` prints the whole tree when a test cannot find a widget.
set -euo pipefail

E2E_DIR=${E2E_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-e2e.XXXXXX")
program_dir="$work/program"
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$program_dir" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp "$TARNWICK_BIN" "$program_dir/tarnwick"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# Qt 6.4 does not come onto the accessibility bus when given its address in
# AT_SPI_BUS_ADDRESS; it asks the session bus for it instead.
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER

program_pid=""
window=""
background_pids=()

cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    local i
    for ((i = ${#background_pids[@]} - 1; i >= 0; i--)); do
        kill "${background_pids[i]}" 2>/dev/null || true
        wait "${background_pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# The folder goes with the run, so a failure shows what the helpers wrote.
fail() {
    echo "FAIL: $*" >&2
    echo "--- display ${DISPLAY:-none}" >&2
    local log
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- ${log##*/}" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

# Waits up to $2 seconds (default 20) for the command $1 to succeed.
wait_for() {
    local deadline=$((SECONDS + ${2:-20}))
    until eval "$1"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Runs a helper of the session in the background, its output in $work/NAME.log.
run_in_background() {
    local name=$1
    shift
    "$@" >"$work/$name.log" 2>&1 &
    background_pids+=($!)
}

# True once some X client owns the selection $1 (a tray, a window manager).
selection_owned() {
    /usr/bin/python3 - "$1" <<'EOF'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetSelectionOwner.restype = ctypes.c_ulong
d = x.XOpenDisplay(None)
sys.exit(0 if d and x.XGetSelectionOwner(d, x.XInternAtom(d, sys.argv[1].encode(), 0)) else 1)
EOF
}

# Its own session bus, as dbus-run-session would give, but ended by the
# cleanup below even when the test is stopped by a signal.
mkfifo "$work/bus"
dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus" \
    --print-address=3 3>"$work/bus" >"$work/dbus.log" 2>&1 &
background_pids+=($!)
read -r -t 20 DBUS_SESSION_BUS_ADDRESS <"$work/bus" || fail "the session bus did not start"
export DBUS_SESSION_BUS_ADDRESS

# The X server picks a free display itself and writes its number to the pipe
# once it takes clients. -noreset: a server resets when its last client
# leaves, and refuses the next one meanwhile.
mkfifo "$work/display"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
background_pids+=($!)
read -r -t 20 display_number <"$work/display" || fail "Xvfb did not start"
export DISPLAY=":$display_number"

# The session bus would start a second launcher for the first client that
# asks for the accessibility bus before this one has its name, and the two
# would race for it: so wait for the name without asking for the bus.
run_in_background atspi /usr/libexec/at-spi-bus-launcher --launch-immediately
wait_for 'dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true' \
    || fail "the accessibility bus did not start"

run_in_background trayer trayer --expand false
wait_for 'selection_owned _NET_SYSTEM_TRAY_S0' || fail "the notification area did not start"

start_window_manager() {
    run_in_background openbox openbox --sm-disable
    wait_for 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' \
        || fail "openbox did not start managing windows"
}

launch_program() {
    "$program_dir/tarnwick" "$@" >"$work/program.log" 2>&1 &
    program_pid=$!
}

# Sets $window to the main window's X id once it exists (shown or not).
find_window() {
    local found
    found=$(xdotool search ${1:+"$1"} --name "^TarnWick 3.9$" 2>/dev/null | head -1)
    [ -n "$found" ] && window=$found
}

# The window opens with an unrolling animation; places in twips hold only
# once it has its full design height (8325 twips).
window_unrolled() {
    local HEIGHT=0
    eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null | grep '^HEIGHT=')"
    [ "$HEIGHT" -ge $((8325 / 15)) ]
}

start_program() {
    launch_program "$@"
    wait_for 'find_window --onlyvisible' || fail "the main window did not appear"
    wait_for window_unrolled || fail "the main window did not reach its full height"
}

# Sets $tray_icon to the program's icon once the notification area shows it.
find_tray_icon() {
    tray_icon=$(xdotool search --onlyvisible --classname '^tarnwick$' 2>/dev/null | grep -vx "$window" | head -1)
    [ -n "$tray_icon" ]
}

# Sends a close request to the main window and waits for the program to end.
close_program() {
    "$CLOSE_REQUEST" "$window"
    wait_for '! kill -0 "$program_pid" 2>/dev/null' || fail "the program did not end on a close request"
    wait "$program_pid" || true
    program_pid=""
}

# Clicks at a place of the main window given in twips (15 to the pixel).
click_twips() {
    xdotool mousemove --window "$window" $(($1 / 15)) $(($2 / 15)) click 1
}

atspi() { /usr/bin/python3 "$E2E_DIR/atspi.py" "$@"; }
widget_text() { atspi text "$1"; }
wait_text() { atspi wait-text "$@"; }
list_rows() { atspi rows "$1"; }
press_button() { atspi press "$1"; }
# The main window's status line (lblStatus) and list of produced files
# (lstConverted) have no fixed caption: they are found at their places, in twips.
status=@240,180
converted=@120,5160
rows() { list_rows "$converted"; }
# How often the list of produced files shows the line $1.
times_listed() { rows | grep -cxF -- "$1" || true; }
# True when that list shows the line $1 at least $2 times (default 1).
listed() { [ "$(times_listed "$1")" -ge "${2:-1}" ]; }
# The settings file beside the program, without the header lines the program
# writes (it reads a file without them all the same).
settings_file="$program_dir/Tarnwick.ini"
settings_order=(Ghostscriptpath Outputpath MoveFolder WatchDirpath ComposeFolder AcrobatFolder
    DeletePSFilesAC StartDistOnBoot Quality UseBoundingBInf UseEncryption GoodPicQuality
    OwnerPassword UserPassword Language Left Top WindowState Counter)
declare -A setting_values=([Ghostscriptpath]="$(command -v gs || true)" [Outputpath]=/ [MoveFolder]=/
    [WatchDirpath]=/ [ComposeFolder]=/ [AcrobatFolder]=/ [DeletePSFilesAC]=0 [StartDistOnBoot]=0
    [Quality]='Default (all)' [UseBoundingBInf]=0 [UseEncryption]=0 [GoodPicQuality]=0
    [Language]=GB [Left]=0 [Top]=0 [WindowState]=0 [Counter]=0)
setting() {
    setting_values[$1]=$2
    local key
    for key in "${settings_order[@]}"; do
        [ -z "${setting_values[$key]+set}" ] || printf '%15s;%s\r\n' "$key" "${setting_values[$key]}"
    done >"$settings_file"
}
read_setting() { tr -d '\r' <"$settings_file" | sed -n "s/^ *$1;//p" | tail -1; }

# Clicks the row of a list that reads TEXT (blanks around it aside).
click_row() { xdotool mousemove $(atspi row-place "$1" "$2") click 1; }

# Answers the first-start questions: OK on the first-use message, then in the
# path picker, open on "/", walks down to the folder $1 (arrow keys and Enter,
# as a user would) and clicks the file gs in it, then OK.
choose_ghostscript_at_first_start() {
    local picker title='Set Path to Ghostscript executable (gswin32.exe)' steps step row i
    wait_for 'dialog_text 2>/dev/null | grep -q "first time use TarnWick"' || fail "no first-use message"
    press_button OK
    wait_for 'picker=$(xdotool search --onlyvisible --name "^${title//(/\\(}" 2>/dev/null | head -1); [ -n "$picker" ]' \
        || fail "the picker did not open"
    xdotool windowactivate --sync "$picker" 2>/dev/null || xdotool windowfocus "$picker"
    # The folder list shows the way from the root (the current folder last of
    # it), then the current folder's subfolders.
    IFS=/ read -r -a steps <<<"${1#/}"
    local opened=1
    for step in "${steps[@]}"; do
        row=$(list_rows Folders | grep -nx " *$step" | tail -1 | cut -d: -f1)
        [ -n "$row" ] || fail "no folder $step in the picker: $(list_rows Folders)"
        for ((i = opened; i < row; i++)); do xdotool key Down; done
        xdotool key Return
        opened=$((opened + 1))
        wait_for 'list_rows Folders | sed -n "${opened}p" | grep -qx " *$step"' 5 \
            || fail "could not open $step: $(list_rows Folders)"
    done
    click_row Files gs
    press_button Ok
}
dialog_text() { atspi dialog-text; }
