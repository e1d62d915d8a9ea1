# Shared by the real-window runs: a private X server with a notification
# area, a copy of the built program in a folder of its own, and helpers to
# find and close its window. Sourced by tests/e2e/test_*.sh.
set -euo pipefail

work=$(mktemp -d)
program_dir="$work/program"
mkdir -p "$program_dir"
cp "$TARNWICK_BIN" "$program_dir/tarnwick"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

display_number=$((90 + RANDOM % 400))
while [ -e "/tmp/.X${display_number}-lock" ]; do display_number=$((display_number + 1)); done
export DISPLAY=":$display_number"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
program_pid=""

cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "${trayer_pid:-}" ] && kill "$trayer_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits up to $2 seconds (default 20) for the command $1 to succeed.
wait_for() {
    local tries=$(( ${2:-20} * 10 ))
    for _ in $(seq "$tries"); do
        if eval "$1"; then return 0; fi
        sleep 0.1
    done
    return 1
}

wait_for "xdpyinfo >/dev/null 2>&1" || fail "Xvfb did not start"
trayer --expand false >"$work/trayer.log" 2>&1 &
trayer_pid=$!

start_program() {
    "$program_dir/tarnwick" "$@" >"$work/program.log" 2>&1 &
    program_pid=$!
    wait_for 'window=$(xdotool search --onlyvisible --name "^TarnWick 3.9$" 2>/dev/null | head -1); [ -n "$window" ]' \
        || fail "the main window did not appear"
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
    xdotool mousemove --window "$window" $(( $1 / 15 )) $(( $2 / 15 )) click 1
}
