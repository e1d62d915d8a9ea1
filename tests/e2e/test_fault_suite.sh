#!/usr/bin/env bash
# The distill cycle under faults and hostile input, end to end: the built
# program and the installed Ghostscript in a real window, one row per case.
# After every row each file it dropped is a whole PDF in the output folder,
# or is still in the watched or the move-to folder and listed as failed with
# its reason; nothing is left behind in the watched folder; and the next file
# still converts.
#
# The program runs as an ordinary user, for whom permissions hold. Run as
# root, the suite first makes what only root can make, in a mount namespace
# of its own, then goes on as nobody: the watched folder is a small file
# system (16 KiB, so that Ghostscript can fill it) that is shared the way
# /tmp is (sticky, open to all) and holds a file of root's, which nobody may
# read but not take away. Run as another user, the rows that need these are
# skipped with a note.
if [ "$(id -u)" -eq 0 ] && [ -z "${FAULTS_AS_USER:-}" ]; then
    fixtures=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-faults.XXXXXX")
    trap 'rm -rf "$fixtures"' EXIT
    chmod 755 "$fixtures"
    export FAULTS_AS_USER=1 FAULTS_SHARED="$fixtures/shared/"
    unshare --mount --propagation private bash -euc '
        mkdir "$FAULTS_SHARED"
        mount -t tmpfs -o size=16k,mode=1777 tarnwick-small "$FAULTS_SHARED"
        printf "%%!PS\nshowpage\n" >"${FAULTS_SHARED}foreign.ps"
        exec setpriv --reuid=65534 --regid=65534 --clear-groups bash "$1"' _ "$0"
    exit
fi
source "$E2E_DIR/session.sh"

gs_real=$(command -v gs) || fail "Ghostscript (gs) is not installed; scripts/install-deps installs it"
for tool in pdfinfo qpdf pgrep; do
    command -v "$tool" >/dev/null || fail "$tool is not installed; scripts/install-deps installs it"
done

# The folders; the watched one is the shared small file system when root made it.
watch=${FAULTS_SHARED:-$work/watch/}
move="$work/moved/"
output="$work/out put/"
mkdir -p "$watch" "$move" "$output" "$work/merge"
staging="${watch}.drop"
mkdir -p "$staging"

# Ghostscript as a row wants it: the real one, or one that fails in the way
# its mode file says.
mkdir "$work/bin"
gs_path="$work/bin/gs"
cat >"$gs_path" <<EOF
#!/bin/sh
case "\$(cat "\$0.mode" 2>/dev/null)" in
    exit1) exit 1 ;;
    killed) kill -9 \$\$ ;;
    endless) sleep 600 & echo \$! >"\$0.child"; wait ;;
esac
exec "$gs_real" "\$@"
EOF
chmod 755 "$gs_path"
gs_mode() { printf '%s' "$1" >"$gs_path.mode"; }

setting Ghostscriptpath "$gs_path"
setting Outputpath "$output"
setting MoveFolder "$move"
setting WatchDirpath "$watch"
setting ComposeFolder "$work/merge/"
setting AcrobatFolder '/usr/bin/evince'
setting DeletePSFilesAC '1'
setting Left '600'
setting Top '600'


# The status line (lblStatus) and the list (lstConverted), found at their places.
status=@240,180
converted=@120,5160

start_distilling() {
    start_program
    press_button Distill
    wait_text "$status" '^Distiller is active' >/dev/null || fail "the distiller did not switch on"
}

# A PostScript program of $3 pages (default 1) of $1 x $2 points.
pages() {
    printf '%%!PS\n<< /PageSize [%s %s] >> setpagedevice\n' "$1" "$2"
    for ((page = 0; page < ${3:-1}; page++)); do
        printf 'newpath 10 10 moveto 50 50 lineto stroke showpage\n'
    done
}

# Drops standard input into the watched folder as $1: written aside and
# renamed in, dated back so that it is taken at once (a file without an end
# mark is held back while it changed in the last ten seconds).
drop() {
    cat >"$staging/$1"
    touch -d '-11 seconds' "$staging/$1"
    [ -z "${2:-}" ] || chmod "$2" "$staging/$1"
    mv "$staging/$1" "$watch$1"
}

rows() { list_rows "$converted"; }
# True when the list shows the line $1 at least $2 times (default 1).
listed() {
    local count
    count=$(rows | grep -cxF -- "$1" || true)
    [ "$count" -ge "${2:-1}" ]
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
}

# $1 listed as failed from the folder $2 with the reason $3, and still there.
expect_failed() {
    local entry
    entry=$(failed_entry "$2$1" "$3")
    wait_for 'listed "$entry"' 30 || fail "$row: not listed: '$entry' (list: $(rows))"
    [ -f "$2$1" ] || fail "$row: $1 is not kept in $2"
    [ ! -e "$output${1%.ps}.pdf" ] || fail "$row: a PDF of $1 was made"
}

gs_runs_on() { pgrep -f -- "$1" >/dev/null; }

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
    [ ! -e "${watch}Temp_Stay_off" ] || fail "$row: Temp_Stay_off is left in the watched folder"
}

# The rows. Each drops its files, says what became of them, and leaves the
# program distilling.

row_broken() {
    printf '%%!PS\nnosuchoperator\n' | drop broken.ps
    expect_failed broken.ps "$move" 'Ghostscript ended with exit code 1'
}

row_empty() {
    : | drop empty.ps
    expect_pdf empty.ps
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

row_reads_standard_input() {
    printf '%%!PS\n(%%stdin) (r) file 100 string readline pop pop\nshowpage\n' | drop stdin.ps
    expect_pdf stdin.ps
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
    wait_for '! kill -0 "$child" 2>/dev/null' 5 || fail "$row: the run's child still runs after Stop"
    rm "$gs_path.child"
    gs_mode real
    press_button Distill
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
    listed "$(failed_entry "${watch}secret.ps" 'the file cannot be read (Permission denied)')" 1
    [ "$(rows | grep -c 'secret.ps')" -eq 1 ] || fail "$row: secret.ps was listed more than once"
    chmod 644 "${watch}secret.ps"
    expect_pdf secret.ps
}

# Root's file in the shared folder was there from the start: listed once,
# kept, and every other file went on meanwhile.
row_another_users_file() {
    [ -n "${FAULTS_SHARED:-}" ] || { skip "needs root to make another user's file"; return; }
    local entry
    entry=$(failed_entry "${watch}foreign.ps" "the file cannot be taken out of the folder $watch (Operation not permitted)")
    [ "$(rows | grep -c 'foreign.ps')" -eq 1 ] && listed "$entry" || fail "$row: not listed once: '$entry' ($(rows))"
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
    mv "$move" "$work/moved.away"
    pages 300 300 | drop nomove.ps
    expect_failed nomove.ps "$watch" "the ps move to folder $move cannot be used (No such file or directory)"
    mv "$work/moved.away" "$move"
    expect_pdf nomove.ps
}

row_second_failed_drop_of_a_name() {
    printf '%%!PS\nnosuchoperator\n' | drop broken.ps
    wait_for 'listed "$(failed_entry "${move}broken.ps" "Ghostscript ended with exit code 1")" 2' 30 \
        || fail "$row: the second failure of broken.ps is not listed ($(rows))"
}

# Ghostscript fills the disk of the watched folder, where it writes, and
# ends well all the same; the PDF it leaves is cut short.
row_disk_full() {
    [ -n "${FAULTS_SHARED:-}" ] || { skip "needs root to make a small file system"; return; }
    printf '%s\n' '%!PS' '/Helvetica findfont 12 scalefont setfont' \
        '0 1 29 { /p exch def 0 1 59 { /i exch def 72 720 i 10 mul sub moveto' \
        '(xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx ) show' \
        'p 4 string cvs show ( ) show i 4 string cvs show } for showpage } for' | drop full.ps
    expect_failed full.ps "$move" "the PDF is incomplete; is the disk of the watched folder $watch full?"
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
# half second; the file is taken once, whole.
row_writer_closes_and_reopens() {
    local file="${watch}pieces.ps"
    printf '%%!PS-Adobe-3.0\n<< /PageSize [300 300] >> setpagedevice\n' >"$file"
    for piece in 1 2 3; do
        sleep 0.7  # the writer's own pace between pages
        printf 'newpath 10 10 moveto 50 50 lineto stroke showpage\n' >>"$file"
    done
    printf '%%%%EOF\n' >>"$file"
    expect_pdf pieces.ps 3
    [ "$(rows | grep -c 'pieces')" -eq 1 ] || fail "$row: pieces.ps was taken more than once"
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

# Switches off, which shows the settings, and gives the window the keyboard.
stop_for_settings() {
    press_button Stop
    wait_text "$status" '^Distiller is not active$' >/dev/null || fail "$row: the distiller did not stop"
    xdotool windowactivate --sync "$window"
}

# Typed where a user types them, while the distiller is off (the active look
# hides the settings); qpdf opens the PDF with them as typed.
row_double_quotes_in_passwords() {
    local owner='o"w -c quit' user='u"1' pdf="${output}locked.pdf" shown
    stop_for_settings
    # Owner and user password fields, then the encryption check box.
    click_twips 2450 2640
    xdotool type --delay 20 "$owner"
    click_twips 5270 2640
    xdotool type --delay 20 "$user"
    click_twips 390 1850
    press_button Distill
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
    click_twips 390 1850
    press_button Distill
}

# A close request during an endless run ends the run with the program.
row_exit_during_a_run() {
    printf '%%!PS\n{} loop\n' | drop exitloop.ps
    wait_for 'gs_runs_on "${move}exitloop.ps"' || fail "$row: Ghostscript did not start on exitloop.ps"
    close_program
    wait_for '! gs_runs_on "${move}exitloop.ps"' 5 || fail "$row: Ghostscript runs on after the program ended"
    [ -f "${move}exitloop.ps" ] || fail "$row: exitloop.ps is not kept in the move-to folder"
    start_distilling
}

# Killed mid-conversion and started again: the run went with it, the file
# is kept, the leftover temporary file goes with the next conversion.
row_program_killed() {
    printf '%%!PS\n{} loop\n' | drop killloop.ps
    wait_for 'gs_runs_on "${move}killloop.ps"' || fail "$row: Ghostscript did not start on killloop.ps"
    kill -9 "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
    wait_for '! gs_runs_on "${move}killloop.ps"' 5 || fail "$row: Ghostscript runs on after the program was killed"
    [ -f "${move}killloop.ps" ] || fail "$row: killloop.ps is not kept in the move-to folder"
    start_distilling
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
    "file that reads standard input:row_reads_standard_input"
    "endless loop, Stop:row_endless_loop_stopped"
    "Ghostscript that never ends, Stop:row_ghostscript_never_ends"
    "Ghostscript exits 1:row_ghostscript_exits_1"
    "Ghostscript killed:row_ghostscript_killed"
    "Ghostscript missing:row_ghostscript_missing"
    "unreadable file:row_unreadable_file"
    "another user's file in a shared folder:row_another_users_file"
    "output folder not writable:row_output_folder_unwritable"
    "move-to folder missing:row_move_folder_missing"
    "second failed drop of a name:row_second_failed_drop_of_a_name"
    "disk full where Ghostscript writes:row_disk_full"
    "double quotes in file names:row_double_quotes_in_names"
    "writer that closes and reopens:row_writer_closes_and_reopens"
    "private files:row_private_files"
    "double quotes in passwords:row_double_quotes_in_passwords"
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
echo "fault suite: passed"
