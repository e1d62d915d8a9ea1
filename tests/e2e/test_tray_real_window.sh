#!/usr/bin/env bash
# A program whose settings say it was in the tray starts hidden with only its
# notification-area icon; a click on the icon brings the window back, and a
# close request then stores the window state 0.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

setting WindowState '1'
launch_program

wait_for find_window || fail "the main window was not created"
wait_for find_tray_icon || fail "no icon in the notification area"
wait_for '! find_window --onlyvisible' || fail "the window did not go to the tray"
# The icon is in place: the start-up is over, so a window shown now came back
# by itself.
find_tray_icon || fail "the icon left the notification area"
! find_window --onlyvisible || fail "the window came back by itself"

eval "$(xdotool getwindowgeometry --shell "$tray_icon")"
xdotool mousemove --window "$tray_icon" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
wait_for 'find_window --onlyvisible' 10 || fail "a click on the icon did not bring the window back"

close_program
[ "$(read_setting WindowState)" = 0 ] || fail "window state 0 not stored"
echo "tray: passed"
