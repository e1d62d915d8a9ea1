#!/usr/bin/env bash
# A first start with no settings file: the first-use message, then the path
# picker on "/", where the user walks down to a prepared folder and clicks the
# file named gs; the window then comes up, and closing it writes that path.
source "$E2E_DIR/session.sh"
start_window_manager

gs_dir="$work/ghostscript"
mkdir -p "$gs_dir"
ln -s "$(command -v gs)" "$gs_dir/gs"

launch_program
wait_for 'dialog_text 2>/dev/null | grep -q "first time use TarnWick"' \
    || fail "no first-use message"
press_button OK
title='Set Path to Ghostscript executable (gswin32.exe)'
wait_for 'picker=$(xdotool search --onlyvisible --name "^${title//(/\\(}" 2>/dev/null | head -1); [ -n "$picker" ]' \
    || fail "the picker did not open"
xdotool windowactivate --sync "$picker"

# From the root down, each folder of the way highlighted with the arrow keys
# and opened with Enter. The list shows the way from the root (the current
# folder last of it), then the current folder's subfolders.
IFS=/ read -r -a steps <<<"${gs_dir#/}"
opened=1
for step in "${steps[@]}"; do
    row=$(list_rows Folders | grep -nx " *$step" | tail -1 | cut -d: -f1)
    [ -n "$row" ] || fail "no folder $step in the picker: $(list_rows Folders)"
    for ((i = opened; i < row; i++)); do xdotool key Down; done
    xdotool key Return
    opened=$((opened + 1))
    wait_for 'list_rows Folders | sed -n "${opened}p" | grep -qx " *$step"' 5 \
        || fail "could not open $step: $(list_rows Folders)"
done
# The file list offers gs; a click on it stores the path and shows OK.
click_row Files gs
press_button Ok
wait_for 'find_window --onlyvisible' || fail "the main window did not appear"
wait_for window_unrolled || fail "the main window did not reach its full height"

close_program
line=$(tr -d '\r' <"$program_dir/Tarnwick.ini" | grep -E '^Ghostscriptpath;' || true)
[ "$line" = "Ghostscriptpath;$gs_dir/gs" ] || fail "the settings file's Ghostscript line reads '$line'"
echo "first run in a real window: passed"
