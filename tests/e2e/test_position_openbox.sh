#!/usr/bin/env bash
# Under a real window manager the stored place of the window comes back: a
# start and a close give back the same Left and Top, twice over.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"
start_window_manager

setting Left '1500'
setting Top '900'
for run in 1 2; do
    start_program
    close_program
    left=$(read_setting Left)
    top=$(read_setting Top)
    [ "$left" = 1500 ] && [ "$top" = 900 ] \
        || fail "after start $run the stored place reads '$left' '$top', not 1500 900"
done
echo "position under openbox: passed"
