#!/usr/bin/env bash
# A program whose settings say it was in the tray starts hidden with only its
# notification-area icon; a click on the icon brings the window back, and a
# close request then stores the window state 0.
source "$E2E_DIR/session.sh"

printf '%s\r\n' "Ghostscriptpath;$(command -v gs)" '    WindowState;1' > "$program_dir/Tarnwick.ini"
"$program_dir/tarnwick" >"$work/program.log" 2>&1 &
program_pid=$!

wait_for 'window=$(xdotool search --name "^TarnWick 3.9$" 2>/dev/null | head -1); [ -n "$window" ]' \
    || fail "the main window was not created"
wait_for '[ -z "$(xdotool search --onlyvisible --name "^TarnWick 3.9$" 2>/dev/null)" ]' \
    || fail "the window did not go to the tray"
sleep 1
[ -z "$(xdotool search --onlyvisible --name "^TarnWick 3.9$" 2>/dev/null)" ] \
    || fail "the window came back by itself"

# trayer lines the icons up from the left of its bar along the bottom edge.
tray=$(xdotool search --class trayer | while read -r w; do
    xdotool getwindowgeometry "$w" | grep -q 'Geometry: 1280x' && echo "$w"; done | head -1)
[ -n "$tray" ] || fail "no notification area"
eval "$(xdotool getwindowgeometry --shell "$tray")"
xdotool mousemove $((X + 12)) $((Y + HEIGHT / 2)) click 1
wait_for '[ -n "$(xdotool search --onlyvisible --name "^TarnWick 3.9$" 2>/dev/null)" ]' 10 \
    || fail "a click on the icon did not bring the window back"

close_program
grep -q $'^    WindowState;0\r$' "$program_dir/Tarnwick.ini" || fail "window state 0 not stored"
echo "tray: passed"
