#!/usr/bin/env bash
# Opens the merge dialog with a real click on the main window's Merge
# button, merges a two-page PDF and a one-page PostScript file with a real
# click on the dialog's merge button, takes the proposed name, and checks the
# merged PDF, the list of produced files and the stored counter.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

gs_path=$(command -v gs) || fail "Ghostscript (gs) is not installed; scripts/install-deps installs it"
command -v pdfinfo >/dev/null || fail "pdfinfo is not installed; scripts/install-deps installs poppler-utils"

output_dir="$work/out put/"
merge_dir="$work/merge folder/"
mkdir -p "$work/watch/" "$work/moved/" "$output_dir" "$merge_dir"
printf '%s\n' '%!PS' 'newpath 72 72 moveto 300 300 lineto stroke showpage' >"${merge_dir}b.ps"
printf '%s\n' '%!PS' 'showpage' 'showpage' >"$work/a.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="${merge_dir}a.pdf" "$work/a.ps" </dev/null \
    || fail "Ghostscript could not make the two-page input"

setting Ghostscriptpath "$gs_path"
setting Outputpath "$output_dir"
setting MoveFolder "$work/moved/"
setting WatchDirpath "$work/watch/"
setting ComposeFolder "$merge_dir"

start_window_manager
start_program

# The Merge button: left 4155, top 7440, 1335 x 615 twips; its centre.
click_twips $((4155 + 1335 / 2)) $((7440 + 615 / 2))
find_dialog() { dialog=$(xdotool search --onlyvisible --name '^TarnWick 3.9 Merge mode$' 2>/dev/null | head -1); [ -n "$dialog" ]; }
wait_for find_dialog 10 || fail "the Merge button did not open the merge dialog"

# The dialog's merge button: left 240, top 5940, 5820 x 540 twips.
dialog_shown() { [ "$(xdotool getwindowgeometry --shell "$dialog" | grep '^WIDTH=')" = "WIDTH=$((6300 / 15))" ]; }
wait_for dialog_shown 10 || fail "the merge dialog does not have its size"
xdotool mousemove --window "$dialog" $(((240 + 5820 / 2) / 15)) $(((5940 + 540 / 2) / 15)) click 1
wait_for 'xdotool search --onlyvisible --name "^Merged file name$" >/dev/null 2>&1' 10 \
    || fail "no prompt for the merged file's name"
press_button OK || fail "the name prompt's OK button cannot be pressed"

pdf="${output_dir}Merged_File_0001.pdf"
# The merged file is listed once Ghostscript has ended and the file is there.
wait_for 'listed "$pdf"' 30 \
    || fail "the list of produced files does not show $pdf (output folder: $(ls -A "$output_dir"); box: $(atspi --timeout 1 dialog-text 2>&1))"
wait_for '! find_dialog' 10 || fail "the merge dialog did not close after the merge"
grep -Eq '^Pages: +3$' <<<"$(pdfinfo "$pdf")" || fail "the merged PDF does not have three pages"
[ -f "${merge_dir}a.pdf" ] && [ -f "${merge_dir}b.ps" ] || fail "an input file is gone"

close_program
counter=$(read_setting Counter)
[ "$counter" = 1 ] || fail "the settings file's counter reads '$counter', not 1"
echo "merge in a real window: passed"
