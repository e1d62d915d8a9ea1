#!/usr/bin/env bash
# The start-up from the built program's real command line: "d" switches the
# distiller on and a dropped file converts; a second start is refused with
# its message while the first runs on; a PostScript file named on the command
# line is converted beside itself and the program ends by itself.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

gs_path=$(command -v gs) || fail "Ghostscript (gs) is not installed; scripts/install-deps installs it"
mkdir -p "$work/watch" "$work/moved" "$work/out" "$work/elsewhere"
setting Ghostscriptpath "$gs_path"
setting Outputpath "$work/out/"
setting MoveFolder "$work/moved/"
setting WatchDirpath "$work/watch/"
page() { printf '%s\n' '%!PS-Adobe-3.0' '/Helvetica findfont 20 scalefont setfont' \
    '72 700 moveto (start-up) show showpage' '%%EOF' >"$1"; }

start_program D
page "$work/page.ps"
mv "$work/page.ps" "$work/watch/dropped.ps"
wait_for '[ -f "$work/out/dropped.pdf" ] && [ ! -e "$work/watch/Temp_Stay_off" ]' 30 \
    || fail "a file dropped after a start with D was not converted"
pdfinfo "$work/out/dropped.pdf" >/dev/null || fail "the PDF of the dropped file is not whole"

first_pid=$program_pid
"$program_dir/tarnwick" >"$work/second.log" 2>&1 &
second_pid=$!
wait_for 'dialog_text 2>/dev/null | grep -q "running, quitting now"' \
    || fail "the second instance showed no message"
dialog_text | grep -qx "There is allready an instance of TarnWick running, quitting now" \
    || fail "the second instance showed: $(dialog_text)"
press_button OK
wait_for '! kill -0 "$second_pid" 2>/dev/null' || fail "the second instance did not end"
kill -0 "$first_pid" || fail "the first instance ended too"
close_program

page "$work/elsewhere/Report.PS"
"$program_dir/tarnwick" "$work/elsewhere/Report.PS" >"$work/single.log" 2>&1 &
single_pid=$!
wait_for '! kill -0 "$single_pid" 2>/dev/null' 60 || fail "the single-file run did not end by itself"
pdfinfo "$work/elsewhere/Report.pdf" | grep -Eq '^Pages: +1$' \
    || fail "no whole PDF beside the given file: $(ls "$work/elsewhere")"
[ -f "$work/elsewhere/Report.PS" ] || fail "the given file is gone"
[ ! -e "$work/watch/Report.PS" ] || fail "the copy was left in the watched folder"
echo "start-up in a real window: passed"
