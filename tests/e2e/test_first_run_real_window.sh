#!/usr/bin/env bash
# A first start with no settings file: the first-use message, then the path
# picker on "/", where the user walks down to a prepared folder and clicks the
# file named gs; the window then comes up, and closing it writes that path.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"
start_window_manager

gs_dir="$work/ghostscript"
mkdir -p "$gs_dir"
ln -s "$(command -v gs)" "$gs_dir/gs"

launch_program
choose_ghostscript_at_first_start "$gs_dir"
wait_for 'find_window --onlyvisible' || fail "the main window did not appear"
wait_for window_unrolled || fail "the main window did not reach its full height"

close_program
gs_setting=$(read_setting Ghostscriptpath)
[ "$gs_setting" = "$gs_dir/gs" ] || fail "the settings file's Ghostscript path reads '$gs_setting'"
echo "first run in a real window: passed"
