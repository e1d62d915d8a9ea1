#!/usr/bin/env bash
# Starts the built program under a window manager, opens the path picker with
# a real click on the Watched Folder button, opens a subfolder with the
# keyboard as a user would and presses OK. The folder reaches the label at
# once and, after the program is closed, the settings file.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

tree="$work/tree"
mkdir -p "$tree/chosen" "$work/moved"

setting Ghostscriptpath '/usr/bin/gs'
setting Outputpath "$work/"
setting MoveFolder "$work/moved/"
setting WatchDirpath "$tree/"
setting ComposeFolder "$work/"
setting AcrobatFolder '/usr/bin/evince'
setting Left '1500'
setting Top '900'


start_window_manager
start_program

# The Watched Folder button: left 240, top 3660, 2000 x 330 twips; its centre.
click_twips $((240 + 2000 / 2)) $((3660 + 330 / 2))
title='Folder containing ps, plt, eps or prn files'
wait_for 'picker=$(xdotool search --onlyvisible --name "^$title$" 2>/dev/null | head -1); [ -n "$picker" ]' \
    || fail "the picker did not open"
list_rows Folders | grep -qx ' *chosen' || fail "the picker does not show the stored folder's subfolder"

# The folder list has the keyboard, on the stored folder: Down highlights its
# subfolder and Enter opens it.
xdotool windowactivate --sync "$picker"
xdotool key Down Return
wait_for 'list_rows Folders | tail -1 | grep -qx " *chosen"' 5 || fail "the subfolder was not opened"
press_button Ok
wait_for '! xdotool search --onlyvisible --name "^$title$" >/dev/null 2>&1' 5 || fail "OK did not close the picker"

# lblWatchDir: left 2400, top 3680 twips.
wait_text @3000,3750 "^$tree/chosen/\$" 5 >/dev/null || fail "the label does not show the chosen folder"

close_program
watched=$(read_setting WatchDirpath)
[ "$watched" = "$tree/chosen/" ] || fail "the settings file's watched folder reads '$watched'"
echo "path picker in a real window: passed"
