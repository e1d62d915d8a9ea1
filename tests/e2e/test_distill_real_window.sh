#!/usr/bin/env bash
# Starts the built program under a window manager on real folders, switches
# the distiller on with a real click on its button, drops a PostScript file
# into the watched folder and waits for the PDF the installed Ghostscript
# makes of it. The files are the evidence, and so is what the window shows:
# its status line and its list of converted files, read through the
# accessibility bus.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

gs_path=$(command -v gs) || fail "Ghostscript (gs) is not installed; scripts/install-deps installs it"
command -v pdfinfo >/dev/null || fail "pdfinfo is not installed; scripts/install-deps installs poppler-utils"

# The output folder has a blank in its name, as users' folders often do.
watch_dir="$work/watch/"
move_dir="$work/moved/"
output_dir="$work/out put/"
merge_dir="$work/merge/"
mkdir -p "$watch_dir" "$move_dir" "$output_dir" "$merge_dir"

setting Ghostscriptpath "$gs_path"
setting Outputpath "$output_dir"
setting MoveFolder "$move_dir"
setting WatchDirpath "$watch_dir"
setting ComposeFolder "$merge_dir"
setting AcrobatFolder '/usr/bin/evince'
setting Left '1500'
setting Top '900'


start_window_manager
start_program
wait_text "$status" '^Distiller is not active$' >/dev/null || fail "the status line does not say the distiller is off"

printf '%s\n' '%!PS-Adobe-3.0' \
  '<< /PageSize [612 792] >> setpagedevice' \
  'newpath 72 72 moveto 300 300 lineto stroke' \
  'showpage' '%%EOF' > "$work/letter.ps"

# The Distill button: left 2200, top 7440, 1335 x 615 twips; its centre.
click_twips $((2200 + 1335 / 2)) $((7440 + 615 / 2))
wait_text "$status" '^Distiller is active' >/dev/null || fail "the status line does not say the distiller is on"

# Renamed into place, so that the program never sees a half-written file.
cp "$work/letter.ps" "$work/letter.ps.part"
mv "$work/letter.ps.part" "${watch_dir}letter.ps"

pdf="${output_dir}letter.pdf"
# The PDF is complete once the temporary file it was copied from is gone.
wait_for '[ -f "$pdf" ] && [ ! -e "${watch_dir}Temp_Stay_off" ]' 30 \
    || fail "no finished PDF at $pdf within 30 s (output folder: $(ls -A "$output_dir"))"

info=$(pdfinfo "$pdf") || fail "pdfinfo cannot open $pdf"
grep -Eq '^Pages: +1$' <<<"$info" || fail "the PDF does not have one page: $info"
grep -Eq '^Page size: +612 x 792 pts' <<<"$info" || fail "the PDF is not letter-sized: $info"
[ ! -e "${watch_dir}letter.ps" ] || fail "the source is still in the watched folder"
cmp -s "$work/letter.ps" "${move_dir}letter.ps" || fail "the source is not in the move-to folder"
rows=$(list_rows "$converted") || fail "the list of converted files cannot be read"
grep -q 'letter' <<<"$rows" || fail "the list of converted files does not show letter: '$rows'"

close_program

[ "$(read_setting Counter)" = 1 ] || fail "the settings file's counter reads '$(read_setting Counter)', not 1"
echo "distill in a real window: passed"
