#!/usr/bin/env bash
# Under a real window manager the stored place of the window comes back: a
# start and a close give back the same Left and Top, twice over.
source "$E2E_DIR/session.sh"
start_window_manager

write_settings "Ghostscriptpath;$(command -v gs)" '           Left;1500' '            Top;900'
for run in 1 2; do
    start_program
    close_program
    left=$(tr -d '\r' <"$program_dir/Tarnwick.ini" | grep -E '^ +Left;' || true)
    top=$(tr -d '\r' <"$program_dir/Tarnwick.ini" | grep -E '^ +Top;' || true)
    [ "$left" = '           Left;1500' ] && [ "$top" = '            Top;900' ] \
        || fail "after start $run the stored place reads '$left' '$top', not 1500 900"
done
echo "position under openbox: passed"
