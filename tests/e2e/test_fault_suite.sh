#!/usr/bin/env bash
# The distill cycle under faults and hostile input, end to end: the built
# program and the installed Ghostscript in a real window, one row per case.
# After every row each file it dropped is a whole PDF in the output folder,
# or is still in the watched or the move-to folder and listed as failed with
# its reason; nothing is left behind in the watched folder, nor anything the
# program keeps aside; and the next file still converts.
#
# The program runs as an ordinary user, for whom permissions hold. Run as
# root, the suite first makes what only root can make, in a mount namespace
# of its own, then goes on as nobody: the watched folder is a small file
# system (64 KiB, so that Ghostscript can fill it) that is shared the way
# /tmp is (sticky, open to all) and holds a file of root's, which nobody may
# read but not take away; the move-to and the output folder lie on small file
# systems of their own, which a row can fill; and a file only root may read
# is there for a link to lead to. Run as another user, the rows that need
# these are skipped with a note.
if [ "$(id -u)" -eq 0 ] && [ -z "${FAULTS_AS_USER:-}" ]; then
    fixtures=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-faults.XXXXXX")
    trap 'rm -rf "$fixtures"' EXIT
    chmod 755 "$fixtures"
    export FAULTS_AS_USER=1 FAULTS_SHARED="$fixtures/shared/" FAULTS_MOVE_DISK="$fixtures/move-disk/" \
        FAULTS_OUTPUT_DISK="$fixtures/output-disk/" FAULTS_ROOT_ONLY="$fixtures/root-only.ps"
    unshare --mount --propagation private bash -euc '
        mkdir "$FAULTS_SHARED" "$FAULTS_MOVE_DISK" "$FAULTS_OUTPUT_DISK"
        mount -t tmpfs -o size=64k,mode=1777 tarnwick-small "$FAULTS_SHARED"
        mount -t tmpfs -o size=256k,mode=1777 tarnwick-move "$FAULTS_MOVE_DISK"
        mount -t tmpfs -o size=2m,mode=1777 tarnwick-output "$FAULTS_OUTPUT_DISK"
        printf "%%!PS\nshowpage\n" >"${FAULTS_SHARED}foreign.ps"
        printf "%%!PS\nshowpage\n" >"$FAULTS_ROOT_ONLY"
        chmod 600 "$FAULTS_ROOT_ONLY"
        exec setpriv --reuid=65534 --regid=65534 --clear-groups bash "$1"' _ "$0"
    exit
fi
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

gs_real=$(command -v gs) || fail "Ghostscript (gs) is not installed; scripts/install-deps installs it"
for tool in pdfinfo qpdf pgrep flock; do
    command -v "$tool" >/dev/null || fail "$tool is not installed; scripts/install-deps installs it"
done

# The folders; on the small file systems when root made them.
watch=${FAULTS_SHARED:-$work/watch/}
move="${FAULTS_MOVE_DISK:-$work/}moved/"
output="${FAULTS_OUTPUT_DISK:-$work/}out put/"
merge="$work/merge/"
mkdir -p "$watch" "$move" "$output" "$merge" "$work/elsewhere"
staging="${watch}.drop"
mkdir -p "$staging"

# Ghostscript as a row wants it: the real one, or one that fails in the way
# its mode file says, or one that runs the real one as a child beside a
# child of its own in the background.
mkdir "$work/bin"
gs_path="$work/bin/gs"
cat >"$gs_path" <<EOF
#!/bin/sh
case "\$(cat "\$0.mode" 2>/dev/null)" in
    exit1) exit 1 ;;
    killed) kill -9 \$\$ ;;
    endless) sleep 600 & echo \$! >"\$0.child"; wait ;;
    children) sleep 600 & echo \$! >"\$0.child"
        "$gs_real" "\$@" & echo \$! >"\$0.gs"; wait \$!; exit \$? ;;
esac
exec "$gs_real" "\$@"
EOF
chmod 755 "$gs_path"
gs_mode() {
    rm -f "$gs_path.child" "$gs_path.gs"
    printf '%s' "$1" >"$gs_path.mode"
}

# The PDF reader: it notes what it was asked to open.
reader_log="$work/reader.args"
cat >"$work/bin/reader" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >"$reader_log"
EOF
chmod 755 "$work/bin/reader"

setting Ghostscriptpath "$gs_path"
setting Outputpath "$output"
setting MoveFolder "$move"
setting WatchDirpath "$watch"
setting ComposeFolder "$merge"
setting AcrobatFolder "$work/bin/reader"
setting DeletePSFilesAC '1'
setting Left '600'
setting Top '600'

# A second copy of the program in a program folder of its own, with its own
# home and runtime folder (so that the per-user instance lock does not stop
# it), and its settings file beside it: the same folders, another place.
second="$work/second"
second_settings="$second/program/Tarnwick.ini"
mkdir -p "$second/program" "$second/home"
mkdir -m 700 "$second/runtime"
cp "$TARNWICK_BIN" "$second/program/tarnwick"
write_second_settings() { (settings_file=$second_settings && setting Left 9600); }
second_pid=""     # what launch_second started
second_program="" # the second copy itself
second_session=""
# Starts the second copy with the arguments given; with second_session set
# (a pipe), as the one client of a session manager that reads its orders
# from that pipe, and $second_pid is the session manager's.
launch_second() {
    local via=()
    [ -z "$second_session" ] || via=("$SESSION_MANAGER_BIN")
    HOME="$second/home" XDG_CONFIG_HOME="$second/home/.config" XDG_CACHE_HOME="$second/home/.cache" \
        XDG_DATA_HOME="$second/home/.local/share" XDG_RUNTIME_DIR="$second/runtime" \
        "${via[@]}" "$second/program/tarnwick" "$@" <"${second_session:-/dev/null}" >>"$work/second.log" 2>&1 &
    second_pid=$! second_program=$!
    background_pids+=("$second_pid")
}
# The second copy's window or message box, by the title $1.
second_window() { xdotool search --all --onlyvisible --pid "$second_program" --name "$1" 2>/dev/null | head -1; }

# True while the process $1 runs (a process that has ended but is not yet
# waited for does not run).
alive() {
    local state
    state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "${state:0:1}" != Z ]
}

counter() { widget_text 'Total number of PDF files created, click to reset'; }

switch_on() {
    press_button Distill
    wait_text "$status" '^Distiller is active' >/dev/null || fail "${row:-start}: the distiller did not switch on"
}
start_distilling() {
    start_program
    switch_on
}

# Switches off, which shows the settings, and gives the window the keyboard.
stop_for_settings() {
    press_button Stop
    wait_text "$status" '^Distiller is not active$' >/dev/null || fail "$row: the distiller did not stop"
    xdotool windowactivate --sync "$window"
}

# Ends the program with SIGKILL, and Ghostscript with it.
kill_program() {
    kill -9 "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
}

# A PostScript program of $3 pages (default 1) of $1 x $2 points.
pages() {
    printf '%%!PS\n<< /PageSize [%s %s] >> setpagedevice\n' "$1" "$2"
    for ((page = 0; page < ${3:-1}; page++)); do
        printf 'newpath 10 10 moveto 50 50 lineto stroke showpage\n'
    done
}
# The same, after keeping Ghostscript busy for a few seconds.
slow_pages() { pages 300 300 "${1:-1}" | sed '1a 0 1 20000000 { pop } for'; }

# Drops standard input into the watched folder as $1: written aside and
# renamed in, dated back so that it is taken at once (a file without an end
# mark is held back while it changed in the last ten seconds).
made=0 kept=0
# Drops are counted in a file: a drop at the end of a pipe runs in a subshell.
drop() {
    echo >>"$work/drops"
    cat >"$staging/$1"
    touch -d '-11 seconds' "$staging/$1"
    [ -z "${2:-}" ] || chmod "$2" "$staging/$1"
    mv "$staging/$1" "$watch$1"
}

expect_listed_once() {
    [ "$(times_listed "$1")" -eq 1 ] || fail "$row: not listed once: '$1' (list: $(rows))"
}
failed_entry() { printf '%s (conversion failed, no PDF was made): %s' "$1" "$2"; }

# $1 converted to a whole PDF of $2 pages (default 1), listed; pdfinfo opens
# it with the options that follow.
expect_pdf() {
    local pdf="$output${1%.ps}.pdf" info
    wait_for '[ -f "$pdf" ] && listed "$pdf"' 30 || fail "$row: no PDF of $1 was listed ($(rows))"
    info=$(pdfinfo "${@:3}" "$pdf" 2>&1) || fail "$row: pdfinfo cannot open $pdf: $info"
    grep -Eq "^Pages: +${2:-1}\$" <<<"$info" || fail "$row: $pdf does not have ${2:-1} page(s): $info"
    [ ! -e "$watch$1" ] || fail "$row: $1 is still in the watched folder"
    made=$((made + 1))
}

# $1 listed as failed from the folder $2 with the reason $3, and still there.
expect_failed() {
    local entry
    entry=$(failed_entry "$2$1" "$3")
    wait_for 'listed "$entry"' 30 || fail "$row: not listed: '$entry' (list: $(rows))"
    [ -f "$2$1" ] || fail "$row: $1 is not kept in $2"
    [ ! -e "$output${1%.ps}.pdf" ] || fail "$row: a PDF of $1 was made"
    kept=$((kept + 1))
}

gs_runs_on() { pgrep -f -- "$1" >/dev/null; }

# What the program keeps aside while a file is on its way: Ghostscript's
# file, partial copies, the journal of the file in hand.
# The journal stays once made, empty while no file is in hand.
left_aside() {
    local leftover
    for leftover in "${watch}Temp_Stay_off" "${move}.tarnwick-input" \
        "$watch".*tarnwick-part* "$move".*tarnwick-part* "$output".*tarnwick-part*; do
        [ ! -e "$leftover" ] || echo "$leftover"
    done
    [ ! -s "${move}.tarnwick-journal" ] || echo "${move}.tarnwick-journal (not empty)"
}

# Fills the file system of the folder $1 but for $2 bytes (default none);
# free_disk gives the room back.
fill_disk() {
    cat /dev/zero >"$1.filler" 2>/dev/null || true
    truncate -s "-${2:-0}" "$1.filler"
}
free_disk() { rm -f "$1.filler"; }

# A row that cannot be made here says so instead of passing.
skip() {
    echo "skipped - $row: $1"
    skipped=1
}

next=0
next_file_converts() {
    next=$((next + 1))
    pages 300 300 | drop "next$next.ps"
    expect_pdf "next$next.ps"
    wait_for '[ -z "$(left_aside)" ]' 5 || fail "$row: left behind: $(left_aside)"
}

# The rows. Each drops its files, says what became of them, and leaves the
# program distilling.

row_broken() {
    printf '%%!PS\nnosuchoperator\n' | drop broken.ps
    expect_failed broken.ps "$move" 'Ghostscript ended with exit code 1'
}

# Ghostscript would make a blank page of it: an empty file has no PDF.
row_empty() {
    : | drop empty.ps
    expect_failed empty.ps "$move" 'empty file'
}

row_binary() {
    head -c 3000 /dev/urandom | drop binary.ps
    expect_failed binary.ps "$move" 'Ghostscript ended with exit code 1'
}

# Neither is an ordinary file: both are left alone, not listed, not waited on.
row_folder_and_pipe() {
    mkdir "${watch}folder.ps"
    mkfifo "${watch}pipe.ps"
    next_file_converts
    [ -d "${watch}folder.ps" ] && [ -p "${watch}pipe.ps" ] || fail "$row: the folder or the pipe was touched"
    ! grep -q 'folder.ps\|pipe.ps' <<<"$(rows)" || fail "$row: the folder or the pipe was listed"
    rmdir "${watch}folder.ps"
    rm "${watch}pipe.ps"
}

# A link is not followed, whether it leads to a file nobody else may read or
# to one anybody may: listed once, left as it is, nothing made of it.
row_links() {
    local targets=("$work/readable.ps") target name i=0
    [ -z "${FAULTS_ROOT_ONLY:-}" ] || targets+=("$FAULTS_ROOT_ONLY")
    pages 300 300 >"$work/readable.ps"
    cp "$work/readable.ps" "$work/readable.before"
    for target in "${targets[@]}"; do
        i=$((i + 1))
        ln -s "$target" "${watch}link$i.ps"
        expect_failed "link$i.ps" "$watch" 'the file is a link, which is not followed'
    done
    next_file_converts
    for ((i = 1; i <= ${#targets[@]}; i++)); do
        name="link$i.ps"
        expect_listed_once "$(failed_entry "$watch$name" 'the file is a link, which is not followed')"
        [ "$(readlink "$watch$name")" = "${targets[i - 1]}" ] || fail "$row: $name was changed"
        [ ! -e "$move$name" ] || fail "$row: $name was moved"
        rm "$watch$name"
    done
    cmp -s "$work/readable.ps" "$work/readable.before" || fail "$row: the file a link leads to was changed"
}

row_reads_standard_input() {
    printf '%%!PS\n(%%stdin) (r) file 100 string readline pop pop\nshowpage\n' | drop stdin.ps
    expect_pdf stdin.ps
}

# The name's bytes are kept from the listing to the PDF's name.
row_name_not_utf8() {
    local name=$'caf\xe9' shown
    pages 300 300 | drop "$name.ps"
    wait_for '[ -f "$output$name.pdf" ]' 30 || fail "$row: no $name.pdf in the output folder ($(ls "$output"))"
    pdfinfo "$output$name.pdf" >/dev/null 2>&1 || fail "$row: $name.pdf is not a whole PDF"
    [ ! -e "$watch$name.ps" ] || fail "$row: $name.ps is still in the watched folder"
    shown=$(rows | grep -F "${output}caf" || true)
    [ "$(wc -l <<<"$shown")" -eq 1 ] && grep -q '\.pdf$' <<<"$shown" || fail "$row: the PDF is not listed: $(rows)"
}

# Stop ends the endless run; the file is kept and listed; Distill goes on.
row_endless_loop_stopped() {
    printf '%%!PS\n{} loop\n' | drop loop.ps
    wait_for 'gs_runs_on "${move}loop.ps"' || fail "$row: Ghostscript did not start on loop.ps"
    press_button Stop
    expect_failed loop.ps "$move" 'stopped before it was finished'
    wait_for '! gs_runs_on "${move}loop.ps"' 5 || fail "$row: Ghostscript still runs after Stop"
    press_button Distill
}

row_ghostscript_never_ends() {
    gs_mode endless
    pages 300 300 | drop endless.ps
    wait_for '[ -s "$gs_path.child" ]' || fail "$row: the endless Ghostscript did not start"
    local child
    child=$(cat "$gs_path.child")
    press_button Stop
    expect_failed endless.ps "$move" 'stopped before it was finished'
    wait_for '! alive "$child"' 5 || fail "$row: the run's child still runs after Stop"
    gs_mode real
    press_button Distill
}

# What a run started in the background goes when the run ends by itself,
# before the next file is taken.
row_background_child_of_a_run() {
    gs_mode children
    pages 300 300 | drop children.ps
    expect_pdf children.ps
    ! alive "$(cat "$gs_path.child")" || fail "$row: the run's background child outlived the run"
    gs_mode real
}

row_ghostscript_exits_1() {
    gs_mode exit1
    pages 300 300 | drop exit1.ps
    expect_failed exit1.ps "$move" 'Ghostscript ended with exit code 1'
    gs_mode real
}

row_ghostscript_killed() {
    gs_mode killed
    pages 300 300 | drop killed.ps
    expect_failed killed.ps "$move" 'Ghostscript was ended by a signal'
    gs_mode real
}

row_ghostscript_missing() {
    mv "$gs_path" "$gs_path.away"
    pages 300 300 | drop nogs.ps
    expect_failed nogs.ps "$move" "Ghostscript $gs_path could not be started"
    mv "$gs_path.away" "$gs_path"
}

# Listed once, left alone while it stays as it is, taken once it changes.
row_unreadable_file() {
    pages 300 300 | drop secret.ps 000
    expect_failed secret.ps "$watch" 'the file cannot be read (Permission denied)'
    next_file_converts
    expect_listed_once "$(failed_entry "${watch}secret.ps" 'the file cannot be read (Permission denied)')"
    chmod 644 "${watch}secret.ps"
    expect_pdf secret.ps
}

# Root's file in the shared folder was there from the start: listed once,
# kept, and every other file went on meanwhile.
row_another_users_file() {
    [ -n "${FAULTS_SHARED:-}" ] || { skip "needs root to make another user's file"; return; }
    expect_listed_once "$(failed_entry "${watch}foreign.ps" "the file cannot be taken out of the folder $watch (Operation not permitted)")"
    [ -f "${watch}foreign.ps" ] && [ ! -e "${move}foreign.ps" ] || fail "$row: foreign.ps was moved or copied"
}

row_output_folder_unwritable() {
    chmod 555 "$output"
    pages 300 300 | drop blocked.ps
    expect_failed blocked.ps "$watch" "the PDF output folder $output cannot be used (Permission denied)"
    [ ! -e "${watch}Temp_Stay_off" ] || fail "$row: Temp_Stay_off is left in the watched folder"
    chmod 755 "$output"
    expect_pdf blocked.ps
}

row_move_folder_missing() {
    mv "$move" "${move%/}.away"
    pages 300 300 | drop nomove.ps
    expect_failed nomove.ps "$watch" "the ps move to folder $move cannot be used (No such file or directory)"
    mv "${move%/}.away" "$move"
    expect_pdf nomove.ps
}

# Whatever stands at the place of Ghostscript's file keeps every file where
# it is, each listed once with what to do; once it is gone they convert.
row_temp_file_in_the_way() {
    local reason="${watch}Temp_Stay_off is not an ordinary file (a folder, a link or a pipe) and is in the way; remove or rename it"
    local kind
    for kind in folder link pipe; do
        case $kind in
            folder) mkdir "${watch}Temp_Stay_off" ;;
            link) ln -s "$work/nowhere" "${watch}Temp_Stay_off" ;;
            pipe) mkfifo "${watch}Temp_Stay_off" ;;
        esac
        pages 300 300 | drop "way-$kind-1.ps"
        expect_failed "way-$kind-1.ps" "$watch" "$reason"
        # Passes go on meanwhile: the second file is listed in a later one.
        pages 300 300 | drop "way-$kind-2.ps"
        expect_failed "way-$kind-2.ps" "$watch" "$reason"
        expect_listed_once "$(failed_entry "${watch}way-$kind-1.ps" "$reason")"
        [ ! -e "${move}way-$kind-1.ps" ] || fail "$row ($kind): a file was taken"
        rm -r "${watch}Temp_Stay_off"
        expect_pdf "way-$kind-1.ps"
        expect_pdf "way-$kind-2.ps"
    done
}

row_second_failed_drop_of_a_name() {
    printf '%%!PS\nnosuchoperator\n' | drop broken.ps
    wait_for 'listed "$(failed_entry "${move}broken.ps" "Ghostscript ended with exit code 1")" 2' 30 \
        || fail "$row: the second failure of broken.ps is not listed ($(rows))"
}

# Ghostscript fills the disk of the watched folder, where it writes, and
# ends well all the same; the PDF it leaves is cut short. With the output
# folder's disk full the finished PDF cannot be placed.
row_disk_full() {
    [ -n "${FAULTS_SHARED:-}" ] || { skip "needs root to make small file systems"; return; }
    printf '%s\n' '%!PS' '/Helvetica findfont 12 scalefont setfont' \
        '0 1 119 { /p exch def 0 1 59 { /i exch def 72 720 i 10 mul sub moveto' \
        '(xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx ) show' \
        'p 4 string cvs show ( ) show i 4 string cvs show } for showpage } for' | drop full.ps
    expect_failed full.ps "$move" "the PDF is incomplete; is the disk of the watched folder $watch full?"
    fill_disk "$FAULTS_OUTPUT_DISK"
    pages 300 300 | drop output-full.ps
    expect_failed output-full.ps "$move" "the PDF output folder $output cannot be used (No space left on device)"
    free_disk "$FAULTS_OUTPUT_DISK"
}

# A move that failed for want of room is tried again at every pass, listed
# once, and done once there is room, the file unchanged meanwhile.
row_move_folder_disk_full() {
    [ -n "${FAULTS_MOVE_DISK:-}" ] || { skip "needs root to make a small file system"; return; }
    local entry
    entry=$(failed_entry "${watch}big.ps" "the ps move to folder $move cannot be used (No space left on device)")
    # Room for the journal and a small file, not for this one.
    fill_disk "$FAULTS_MOVE_DISK" 8192
    { pages 300 300 && for ((i = 0; i < 120; i++)); do printf '%%%099d\n' 0; done; } | drop big.ps
    wait_for 'listed "$entry"' 30 || fail "$row: not listed: '$entry' ($(rows))"
    next_file_converts
    expect_listed_once "$entry"
    [ -f "${watch}big.ps" ] || fail "$row: big.ps left the watched folder"
    free_disk "$FAULTS_MOVE_DISK"
    expect_pdf big.ps
}

# The name is the file's and nothing else: its own two pages of its own size.
row_double_quotes_in_names() {
    pages 200 300 2 | drop 'say "hi".ps'
    expect_pdf 'say "hi".ps' 2
    pages 210 310 | drop 'q" -c "quit" ".ps'
    expect_pdf 'q" -c "quit" ".ps'
    grep -Eq '^Page size: +210 x 310 pts' <<<"$(pdfinfo "${output}q\" -c \"quit\" \".pdf")" \
        || fail "$row: the PDF of the crafted name is not its own content"
}

# The writer closes the file between pages, for longer than the busy test's
# half second; the file is taken once, whole, whatever its first line.
row_writer_closes_and_reopens() {
    local case name
    for case in 'adobe:%!PS-Adobe-3.0' 'plain:%!PS'; do
        name="pieces-${case%%:*}.ps"
        printf '%s\n<< /PageSize [300 300] >> setpagedevice\n' "${case#*:}" >"$watch$name"
        for _ in 1 2 3; do
            sleep 0.7 # the writer's own pace between pages
            printf 'newpath 10 10 moveto 50 50 lineto stroke showpage\n' >>"$watch$name"
        done
        printf '%%%%EOF\n' >>"$watch$name"
        expect_pdf "$name" 3
        [ "$(rows | grep -cF "pieces-${case%%:*}")" -eq 1 ] || fail "$row: $name was taken more than once"
    done
}

# Nothing becomes more readable than it was.
row_private_files() {
    pages 300 300 | drop private.ps 600
    printf '%%!PS\nnosuchoperator\n' | drop private-broken.ps 600
    expect_pdf private.ps
    [ "$(stat -c %a "${output}private.pdf")" = 600 ] || fail "$row: the PDF of a private file is $(stat -c %a "${output}private.pdf")"
    expect_failed private-broken.ps "$move" 'Ghostscript ended with exit code 1'
    [ "$(stat -c %a "${move}private-broken.ps")" = 600 ] || fail "$row: the moved copy of a private file is $(stat -c %a "${move}private-broken.ps")"
}

# Types $3 into the field at $1,$2 twips in place of what it held.
retype() {
    click_twips "$1" "$2"
    xdotool key ctrl+a BackSpace
    [ -z "$3" ] || xdotool type --delay 20 -- "$3"
}
# The owner and the user password fields; the encryption check box (a click
# turns it over).
type_passwords() {
    retype 2450 2640 "$1"
    retype 5270 2640 "$2"
}
toggle_encryption() { click_twips 390 1700; }

# Typed where a user types them, while the distiller is off (the active look
# hides the settings); qpdf opens the PDF with them as typed.
row_double_quotes_in_passwords() {
    local owner='o"w -c quit' user='u"1' pdf="${output}locked.pdf" shown
    stop_for_settings
    type_passwords "$owner" "$user"
    toggle_encryption
    switch_on
    pages 300 300 | drop locked.ps
    expect_pdf locked.ps 1 -upw "$user"
    qpdf --requires-password "$pdf" || fail "$row: the PDF needs no password"
    shown=$(qpdf --show-encryption --password="$user" "$pdf")
    grep -q 'Supplied password is user password' <<<"$shown" \
        || fail "$row: the user password as typed does not open the PDF: $shown"
    shown=$(qpdf --show-encryption --password="$owner" "$pdf")
    grep -q 'Supplied password is owner password' <<<"$shown" \
        || fail "$row: the owner password as typed does not open the PDF: $shown"
    stop_for_settings
    toggle_encryption
    switch_on
}

# The merge dialog, once it has its size.
merge_dialog=""
merge_dialog_shown() {
    merge_dialog=$(xdotool search --onlyvisible --name '^TarnWick 3.9 Merge mode$' 2>/dev/null | head -1)
    [ -n "$merge_dialog" ] && [ "$(xdotool getwindowgeometry --shell "$merge_dialog" | grep '^WIDTH=')" = "WIDTH=$((6300 / 15))" ]
}
# With the distiller off: merges the files of the merge folder, as the
# dialog lists them, under the name $1 typed into the name prompt.
merge_as() {
    local prompt=""
    # The Merge button of the main window, then the dialog's merge button.
    click_twips $((4155 + 1335 / 2)) $((7440 + 615 / 2))
    wait_for merge_dialog_shown 10 || fail "$row: the Merge button did not open the merge dialog"
    xdotool mousemove --window "$merge_dialog" $(((240 + 5820 / 2) / 15)) $(((5940 + 540 / 2) / 15)) click 1
    wait_for 'prompt=$(xdotool search --onlyvisible --name "^Merged file name$" 2>/dev/null | head -1); [ -n "$prompt" ]' 10 \
        || fail "$row: no prompt for the merged file's name"
    xdotool windowactivate --sync "$prompt"
    xdotool key ctrl+a
    xdotool type --delay 20 -- "$1"
    press_button OK
}
# The merge was refused with the message $1; it writes nothing.
expect_merge_refused() {
    local message=$1
    wait_for 'dialog_text 2>/dev/null | grep -qxF -- "$message"' 10 || fail "$row: not refused with '$1' ($(atspi --timeout 1 dialog-text 2>&1))"
    press_button OK
    press_button Close
    wait_for '! merge_dialog_shown' 5 || fail "$row: the merge dialog did not close"
    [ ! -e "${merge}gscommand.txt" ] || fail "$row: the refused merge wrote gscommand.txt"
    [ ! -e "$output$2.pdf" ] && [ ! -e "$output.$2.pdf.tarnwick-part" ] || fail "$row: the refused merge wrote $(ls -A "$output")"
}
# The merge folder holds only the given files, each a one-page PostScript file.
merge_folder_of() {
    rm -rf "$merge"
    mkdir "$merge"
    local name
    for name; do pages 300 300 >"$merge$name"; done
}

# A merged PDF appears under its name only whole; one that could not be made
# whole is neither listed nor counted; it is no more readable than its most
# private input; a "%" in the name is the name.
row_merge_results() {
    local aside="${output}.slow-merge.pdf.tarnwick-part" count
    stop_for_settings
    merge_folder_of a.ps
    slow_pages 2 >"${merge}b.ps"
    count=$(counter)
    merge_as slow-merge
    wait_for 'gs_runs_on @gscommand.txt' || fail "$row: Ghostscript did not start on the merge"
    [ -f "$aside" ] && [ ! -e "${output}slow-merge.pdf" ] || fail "$row: the merged PDF is not written aside ($(ls -A "$output"))"
    wait_for 'listed "${output}slow-merge.pdf"' 30 || fail "$row: the merged PDF was not listed ($(rows))"
    grep -Eq '^Pages: +3$' <<<"$(pdfinfo "${output}slow-merge.pdf")" || fail "$row: the merged PDF is not whole"
    [ ! -e "$aside" ] || fail "$row: the aside copy is left"
    [ "$(counter)" = $((count + 1)) ] || fail "$row: the counter reads $(counter), not $((count + 1))"

    if [ -n "${FAULTS_OUTPUT_DISK:-}" ]; then
        fill_disk "$FAULTS_OUTPUT_DISK"
        merge_as cut-short
        wait_for 'dialog_text 2>/dev/null | grep -qF "Ghostscript could not merge the files, no PDF was made: ${output}cut-short.pdf"' 30 \
            || fail "$row: no message that the merge failed ($(atspi --timeout 1 dialog-text 2>&1))"
        press_button OK
        free_disk "$FAULTS_OUTPUT_DISK"
        [ "$(times_listed "${output}cut-short.pdf")" -eq 0 ] || fail "$row: a merged PDF cut short was listed"
        [ "$(counter)" = $((count + 1)) ] || fail "$row: a merged PDF cut short was counted"
        [ ! -e "${output}cut-short.pdf" ] && [ ! -e "${output}.cut-short.pdf.tarnwick-part" ] \
            || fail "$row: a merged PDF cut short is left: $(ls -A "$output")"
    else
        echo "note - $row: a merge cut short needs root to make a small file system"
    fi

    merge_folder_of open.ps private.ps
    chmod 600 "${merge}private.ps"
    printf 'unrelated' >"${output}x1.pdf"
    merge_as 'p%d'
    wait_for 'listed "${output}p%d.pdf"' 30 || fail "$row: p%d.pdf was not listed ($(rows))"
    grep -Eq '^Pages: +2$' <<<"$(pdfinfo "${output}p%d.pdf")" || fail "$row: p%d.pdf is not whole"
    [ ! -e "${output}p1.pdf" ] && [ "$(cat "${output}x1.pdf")" = unrelated ] || fail "$row: the % was taken for a page number: $(ls "$output")"
    [ "$(stat -c %a "${output}p%d.pdf")" = 600 ] || fail "$row: the merge of a private file is $(stat -c %a "${output}p%d.pdf")"
    switch_on
}

# A link among the files to merge is not followed: nothing is merged.
row_merge_link() {
    stop_for_settings
    merge_folder_of a.ps
    pages 300 300 >"$work/readable.ps"
    ln -s "$work/readable.ps" "${merge}link.ps"
    merge_as linked
    expect_merge_refused "Nothing was merged: ${merge}link.ps is a link, which is not followed." linked
    switch_on
}

# A password Ghostscript's argument file cannot carry is named before
# anything runs; a backslash and a double quote inside one are carried as
# typed.
row_merge_passwords() {
    local owner='o\"w n' user='u\"s r' pdf="${output}locked-merge.pdf" shown
    stop_for_settings
    merge_folder_of a.ps
    type_passwords 'own\' 'user'
    toggle_encryption
    merge_as refused-owner
    expect_merge_refused "Nothing was merged: the owner password ends in a backslash or holds a line break, which cannot be passed to Ghostscript." refused-owner
    type_passwords "$owner" 'use\'
    merge_as refused-user
    expect_merge_refused "Nothing was merged: the user password ends in a backslash or holds a line break, which cannot be passed to Ghostscript." refused-user
    type_passwords "$owner" "$user"
    merge_as locked-merge
    wait_for 'listed "$pdf"' 30 || fail "$row: the encrypted merge was not listed ($(rows))"
    qpdf --requires-password "$pdf" || fail "$row: the merged PDF needs no password"
    shown=$(qpdf --show-encryption --password="$user" "$pdf")
    grep -q 'Supplied password is user password' <<<"$shown" \
        || fail "$row: the user password as typed does not open the merged PDF: $shown"
    shown=$(qpdf --show-encryption --password="$owner" "$pdf")
    grep -q 'Supplied password is owner password' <<<"$shown" \
        || fail "$row: the owner password as typed does not open the merged PDF: $shown"
    xdotool windowactivate --sync "$window"
    toggle_encryption
    switch_on
}

# A second program for the same watched folder is refused while the first
# distills; once the first is killed, the second takes over.
row_second_distiller() {
    local second_main="" lock="${watch}.tarnwick.lock"
    local busy="Another TarnWick is already distilling the Watched Folder; switch that one off first, or choose another folder"
    write_second_settings
    launch_second
    wait_for 'second_main=$(second_window "^TarnWick 3.9$"); [ -n "$second_main" ] && window=$second_main window_unrolled' \
        || fail "$row: the second program's window did not appear"
    local first=$window
    window=$second_main
    xdotool windowactivate --sync "$window"
    click_twips $((2200 + 1335 / 2)) $((7440 + 615 / 2))
    window=$first
    wait_for '[ -n "$(second_window "^TarnWick$")" ] && dialog_text 2>/dev/null | grep -qxF "$busy"' 10 \
        || fail "$row: the second program was not refused ($(atspi --timeout 1 dialog-text 2>&1))"
    press_button OK
    next_file_converts
    ! flock -n "$lock" true || fail "$row: the watched folder is not locked"
    kill_program
    flock -n "$lock" true || fail "$row: the lock outlived the program"
    window=$second_main
    switch_on
    program_pid=$second_pid
    next_file_converts
    close_program
    start_distilling
}

# Waits for the second copy to end; one that hangs is killed, and fails the row.
second_ends() {
    wait_for '! alive "$second_pid"' "$2" && return
    kill -9 "$second_pid"
    fail "$row: $1"
}

# A named file that meets a link, a pipe or a private file: the link is
# replaced, not written through; the pipe holds nothing up; the private
# file's copy and PDF stay private.
row_single_file_runs() {
    local kind source pdf
    stop_for_settings
    write_second_settings
    printf 'victim' >"$work/victim"
    for kind in link pipe private; do
        source="$work/elsewhere/single-$kind.ps" pdf="$work/elsewhere/single-$kind.pdf"
        case $kind in
            link) pages 300 300 >"$source" && ln -s "$work/victim" "${watch}single-$kind.ps" ;;
            pipe) pages 300 300 >"$source" && mkfifo "${watch}single-$kind.ps" ;;
            private) slow_pages >"$source" && chmod 600 "$source" ;;
        esac
        # Written long ago, so not taken for a file still being written.
        touch -d '-11 seconds' "$source"
        launch_second "$source"
        if [ "$kind" = private ]; then
            wait_for 'gs_runs_on "${move}single-private.ps"' || fail "$row: Ghostscript did not start on the private copy"
            [ "$(stat -c %a "${move}single-private.ps")" = 600 ] || fail "$row: the copy of a private file is $(stat -c %a "${move}single-private.ps")"
        fi
        second_ends "the single-file run with a $kind did not end" 30
        pdfinfo "$pdf" >/dev/null 2>&1 || fail "$row ($kind): no whole PDF beside the file"
        [ ! -e "${watch}single-$kind.ps" ] && [ ! -L "${watch}single-$kind.ps" ] || fail "$row ($kind): left in the watched folder"
        case $kind in
            link) [ "$(cat "$work/victim")" = victim ] || fail "$row: the copy was written through the link" ;;
            private) [ "$(stat -c %a "$pdf")" = 600 ] || fail "$row: the PDF of a private file is $(stat -c %a "$pdf")" ;;
        esac
    done
    switch_on
}

# The reader gets the named file's PDF, however many files waited with it.
row_single_file_with_others_waiting() {
    local i
    stop_for_settings
    write_second_settings
    for i in 1 2 3 4 5 6; do pages 300 300 | drop "waiting$i.ps"; done
    pages 300 300 >"$work/elsewhere/named.ps"
    touch -d '-11 seconds' "$work/elsewhere/named.ps"
    rm -f "$reader_log"
    launch_second "$work/elsewhere/named.ps"
    second_ends "the single-file run did not end" 60
    for i in 1 2 3 4 5 6; do
        [ -f "${output}waiting$i.pdf" ] && [ ! -e "${watch}waiting$i.ps" ] || fail "$row: waiting$i.ps was not converted"
    done
    wait_for '[ -s "$reader_log" ]' 5 || fail "$row: the reader was not started"
    [ "$(cat "$reader_log")" = "$work/elsewhere/named.pdf" ] || fail "$row: the reader was given $(cat "$reader_log")"
    switch_on
}

# Ended while the start-up still asks for paths (by a signal, or by the end
# of the session), the program writes no settings: a first start leaves
# none, a file it read stays byte for byte.
row_startup_questions_ended() {
    local case stage way
    for case in 'first-use message:TERM' 'picker:logout' 'retry question:INT' 'Ghostscript path gone:TERM'; do
        stage=${case%:*} way=${case##*:}
        rm -f "$second_settings" "$work/settings.before"
        if [ "$stage" = 'Ghostscript path gone' ]; then
            (settings_file=$second_settings && setting Ghostscriptpath "$work/bin/gone")
            cp "$second_settings" "$work/settings.before"
        fi
        if [ "$way" = logout ]; then
            rm -f "$work/session"
            mkfifo "$work/session"
            second_session="$work/session"
            launch_second
            exec 4>"$work/session"
            second_session=""
            wait_for 'second_program=$(pgrep -P "$second_pid")' 10 || fail "$row: the session manager started nothing"
        else
            launch_second
        fi
        case $stage in
            'Ghostscript path gone') wait_for 'dialog_text 2>/dev/null | grep -q "The path to Ghostscript is not valid"' ;;
            *) wait_for 'dialog_text 2>/dev/null | grep -q "first time use TarnWick"' ;;
        esac || fail "$row ($stage): no question"
        if [ "$stage" = picker ] || [ "$stage" = 'retry question' ]; then
            press_button OK
            wait_for '[ -n "$(second_window "^Set Path to Ghostscript")" ]' 10 || fail "$row ($stage): no picker"
        fi
        if [ "$stage" = 'retry question' ]; then
            press_button Cancel
            wait_for 'dialog_text 2>/dev/null | grep -q "is not set yet, retry?"' 10 || fail "$row: no retry question"
        fi
        if [ "$way" = logout ]; then
            echo logout >&4
            exec 4>&-
        else
            kill -s "$way" "$second_pid"
        fi
        second_ends "the $way did not end the program at the $stage" 10
        if [ -e "$work/settings.before" ]; then
            cmp -s "$work/settings.before" "$second_settings" || fail "$row ($stage): the settings file was written"
        else
            [ ! -e "$second_settings" ] && [ ! -e "$second/home/.config/TarnWick/Tarnwick.ini" ] \
                || fail "$row ($stage): a settings file was written"
        fi
    done
}

# A close request during an endless run ends the run with the program; the
# next switch-on converts the file again, and Stop ends that run.
row_exit_during_a_run() {
    printf '%%!PS\n{} loop\n' | drop exitloop.ps
    wait_for 'gs_runs_on "${move}exitloop.ps"' || fail "$row: Ghostscript did not start on exitloop.ps"
    close_program
    wait_for '! gs_runs_on "${move}exitloop.ps"' 5 || fail "$row: Ghostscript runs on after the program ended"
    [ -f "${move}exitloop.ps" ] || fail "$row: exitloop.ps is not kept in the move-to folder"
    start_program
    press_button Distill
    wait_for 'gs_runs_on "${move}exitloop.ps"' || fail "$row: exitloop.ps was not converted again"
    press_button Stop
    expect_failed exitloop.ps "$move" 'stopped before it was finished'
    switch_on
}

# Killed while Ghostscript, run as a child beside a background child of its
# wrapper, works on a file: every process of the run goes with it. The next
# switch-on converts that file first, then a second file of its name that
# was dropped meanwhile: no input is lost.
row_program_killed() {
    local pdf="${output}killed-run.pdf" gs child
    gs_mode children
    slow_pages 2 | drop killed-run.ps
    wait_for '[ -s "$gs_path.gs" ] && gs_runs_on "${move}killed-run.ps"' || fail "$row: Ghostscript did not start on killed-run.ps"
    gs=$(cat "$gs_path.gs") child=$(cat "$gs_path.child")
    kill_program
    wait_for '! alive "$gs" && ! alive "$child"' 5 || fail "$row: a process of the run outlived the program"
    [ -f "${move}killed-run.ps" ] || fail "$row: killed-run.ps is not kept in the move-to folder"
    gs_mode real
    slow_pages 3 | drop killed-run.ps
    start_program
    press_button Distill
    wait_for 'listed "$pdf"' 30 || fail "$row: the killed file was not converted again ($(rows))"
    grep -Eq '^Pages: +2$' <<<"$(pdfinfo "$pdf")" || fail "$row: the first PDF listed is not the killed file's"
    wait_for 'listed "$pdf" 2' 30 || fail "$row: the second file of the name was not converted ($(rows))"
    grep -Eq '^Pages: +3$' <<<"$(pdfinfo "$pdf")" || fail "$row: the second PDF is not the second file's"
    [ ! -e "${watch}killed-run.ps" ] && [ ! -e "${move}killed-run.ps" ] || fail "$row: a file of the name is left"
    wait_text "$status" '^Distiller is active' >/dev/null || fail "$row: the distiller is not on"
}

# Switching on is refused while the move-to folder is the watched folder
# reached through a link.
row_move_folder_is_a_link_to_the_watched_one() {
    close_program
    ln -s "$watch" "$work/link"
    setting MoveFolder "$work/link/"
    start_program
    press_button Distill
    grep -q 'The Watched Folder is the same as the ps move to folder' <<<"$(dialog_text)" \
        || fail "$row: switching on was not refused"
    press_button OK
    wait_text "$status" '^Distiller is not active$' >/dev/null || fail "$row: the distiller is on"
    pages 300 300 | drop kept.ps
    close_program
    [ -f "${watch}kept.ps" ] || fail "$row: kept.ps left the watched folder"
    rm "${watch}kept.ps"
    setting MoveFolder "$move"
    start_distilling
}

cases=(
    "broken file:row_broken"
    "empty file:row_empty"
    "binary file:row_binary"
    "a folder and a pipe named .ps:row_folder_and_pipe"
    "links in the watched folder:row_links"
    "file that reads standard input:row_reads_standard_input"
    "name that is not UTF-8:row_name_not_utf8"
    "endless loop, Stop:row_endless_loop_stopped"
    "Ghostscript that never ends, Stop:row_ghostscript_never_ends"
    "background child of a run:row_background_child_of_a_run"
    "Ghostscript exits 1:row_ghostscript_exits_1"
    "Ghostscript killed:row_ghostscript_killed"
    "Ghostscript missing:row_ghostscript_missing"
    "unreadable file:row_unreadable_file"
    "another user's file in a shared folder:row_another_users_file"
    "output folder not writable:row_output_folder_unwritable"
    "move-to folder missing:row_move_folder_missing"
    "Temp_Stay_off in the way:row_temp_file_in_the_way"
    "second failed drop of a name:row_second_failed_drop_of_a_name"
    "disk full where Ghostscript writes and where the PDF goes:row_disk_full"
    "move-to folder's disk full:row_move_folder_disk_full"
    "double quotes in file names:row_double_quotes_in_names"
    "writer that closes and reopens:row_writer_closes_and_reopens"
    "private files:row_private_files"
    "double quotes in passwords:row_double_quotes_in_passwords"
    "merge results:row_merge_results"
    "link among the files to merge:row_merge_link"
    "merge passwords:row_merge_passwords"
    "second distiller for the watched folder:row_second_distiller"
    "single-file runs:row_single_file_runs"
    "single-file run with others waiting:row_single_file_with_others_waiting"
    "start-up questions ended:row_startup_questions_ended"
    "Exit during a run:row_exit_during_a_run"
    "program killed mid-conversion:row_program_killed"
    "move-to folder linked to the watched one:row_move_folder_is_a_link_to_the_watched_one"
)

start_window_manager
gs_mode real
start_distilling
for case in "${cases[@]}"; do
    row=${case%%:*}
    # FAULT_ROWS (a pattern) runs only the rows whose names match it.
    [[ "$row" =~ ${FAULT_ROWS:-.} ]] || continue
    started=$SECONDS
    skipped=0
    "${case#*:}"
    next_file_converts
    [ "$skipped" = 1 ] || echo "ok - $row ($((SECONDS - started)) s)"
done
close_program
echo "fault suite: passed ($(wc -l <"$work/drops") files dropped; $made checked as whole PDFs, $kept as kept and listed as failed)"
