#!/usr/bin/env bash
# The print queue end to end, against a real CUPS of the test's own: cupsd in
# the foreground with its own configuration, spool, logs and socket under the
# session's folder, the built backend in its ServerBin (mode 0700, so that
# cupsd runs it as root, as on a real machine). The machine's own CUPS and
# printers are never asked. The built tarnwick --add-printer makes the queue;
# lp prints to it. First the rows, one hostile or failing job each, while
# nothing takes files from the watched folder; then the built program in a
# real window, distilling, turns a PostScript and a PDF job into listed PDFs,
# and the time from lp to each listed PDF is shown.
#
# The jobs' user is nobody, whose the watched folder is. Run as root, the
# test goes on in a mount namespace of its own, where it can make a small
# file system that fills up; cupsd must run as root, so as another user the
# test is skipped with a note.
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: cupsd must run as root to run the backend as root"
    exit 0
fi
if [ -z "${PRINT_QUEUE_NAMESPACE:-}" ]; then
    export PRINT_QUEUE_NAMESPACE=1
    exec unshare --mount --propagation private bash "$0"
fi
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

backend=${TARNWICK_BACKEND:-$(dirname "$TARNWICK_BIN")/printing/backend/tarnwick}
[ -x "$backend" ] || fail "no built backend at $backend (TARNWICK_BACKEND names another)"
for tool in cupsd lp lpstat lpadmin lpinfo cancel gs pdfinfo; do
    command -v "$tool" >/dev/null || fail "$tool is not installed; scripts/install-deps installs it"
done
[ -e /usr/lib/cups/daemon/cups-driverd ] || fail "CUPS's driver server is missing; scripts/install-deps installs cups"

# nobody, lp (the filters) and the backend acting for nobody reach the folders.
chmod 755 "$work"
watch="$work/watched folder/"
output="$work/output/"
move="$work/moved/"
mkdir -p "$watch" "$output" "$move" "$work/merge"
chown nobody:nogroup "$watch"

# --- A private CUPS ---------------------------------------------------------
cups="$work/cups"
mkdir -p "$cups"/{bin/backend,bin/filter,spool,cache,state,log}
mkdir -m 1777 "$cups/tmp"  # the filters (user lp) write there
for dir in cgi-bin daemon driver monitor notifier; do
    [ -e "/usr/lib/cups/$dir" ] && ln -s "/usr/lib/cups/$dir" "$cups/bin/$dir"
done
ln -s /usr/lib/cups/filter/* "$cups/bin/filter/"
install -m 0700 "$backend" "$cups/bin/backend/tarnwick"
# A filter that hands on the first part of a job and then hangs, for the row
# that cancels a job in the middle of its transfer.
cat >"$cups/bin/filter/tarnwick-test-slow" <<'EOF'
#!/bin/sh
printf '%%!PS-Adobe-3.0\n%% the first part of a job that never ends\n'
exec sleep 120
EOF
# And one that dies after the first of two pages.
cat >"$cups/bin/filter/tarnwick-test-cut" <<'EOF'
#!/bin/sh
printf '%%!PS-Adobe-3.0\n%%%%Pages: 2\n%%%%Page: 1 1\nshowpage\n'
exit 1
EOF
chmod 755 "$cups/bin/filter/tarnwick-test-slow" "$cups/bin/filter/tarnwick-test-cut"
printf '%s\n' application/x-tarnwick-test-slow application/x-tarnwick-test-cut >"$cups/tarnwick-test.types"
printf 'application/x-tarnwick-test-%s application/vnd.cups-postscript 0 tarnwick-test-%s\n' \
    slow slow cut cut >"$cups/tarnwick-test.convs"
cat >"$cups/cups-files.conf" <<EOF
ServerRoot $cups
ServerBin $cups/bin
RequestRoot $cups/spool
TempDir $cups/tmp
CacheDir $cups/cache
StateDir $cups/state
DataDir /usr/share/cups
ErrorLog $cups/log/error_log
AccessLog $cups/log/access_log
PageLog $cups/log/page_log
SystemGroup root
Sandboxing Relaxed
EOF
# Anyone may print; only root (known by the socket's peer credentials) may
# administer printers, as on a real machine.
cat >"$cups/cupsd.conf" <<EOF
LogLevel info
Listen $cups/cups.sock
DefaultAuthType Basic
WebInterface No
Browsing No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit CUPS-Add-Modify-Printer CUPS-Delete-Printer CUPS-Add-Modify-Class CUPS-Delete-Class>
    AuthType Default
    Require user @SYSTEM
    Order deny,allow
  </Limit>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
run_in_background cupsd cupsd -f -c "$cups/cupsd.conf" -s "$cups/cups-files.conf"
export CUPS_SERVER="$cups/cups.sock"
wait_for 'lpstat -r 2>/dev/null | grep -q "scheduler is running"' || fail "the private cupsd did not start"
log="$cups/log/error_log"
# The backend answers device discovery.
lpinfo -v | grep -qx 'file tarnwick' || fail "lpinfo -v does not list the backend: $(lpinfo -v)"

# --- The queue, made by the program ------------------------------------------
setting Outputpath "$output"
setting MoveFolder "$move"
setting WatchDirpath "$watch"
setting ComposeFolder "$work/merge/"
setting Left 1500
setting Top 900

said=$("$program_dir/tarnwick" --add-printer 2>"$work/add.log") || fail "--add-printer failed: $(cat "$work/add.log")"
grep -q '^Added the printer "TarnWick"' <<<"$said" || fail "--add-printer said: $said"
[ "$(lpstat -v TarnWick)" = "device for TarnWick: tarnwick:${watch// /%20}" ] \
    || fail "the queue's device is: $(lpstat -v TarnWick)"

# A user who may not administer printers is told what to run instead.
mkdir -p "$work/nobody/TarnWick"
cp "$program_dir/Tarnwick.ini" "$work/nobody/TarnWick/"
chown -R nobody:nogroup "$work/nobody"
if runuser -u nobody -- env XDG_CONFIG_HOME="$work/nobody" "$program_dir/tarnwick" \
    --add-printer Other >"$work/denied.out" 2>"$work/denied.log"; then
    fail "nobody added a printer"
fi
grep -q '^  sudo lpadmin -p Other -E -v tarnwick:' "$work/denied.log" &&
    grep -q 'join the group lpadmin' "$work/denied.log" ||
    fail "a refused --add-printer did not say what to do: $(cat "$work/denied.log")"
! lpstat -v Other >/dev/null 2>&1 || fail "the refused printer exists"

# Three more queues on the same backend, for the rows whose folder is wrong.
rootfolder="$work/roots/"
full="$work/full/"
mkdir -p "$rootfolder" "$full"
mount -t tmpfs -o size=64k,mode=755,uid="$(id -u nobody)" tarnwick-full "$full"
# Unmounted before the session's own cleanup removes the folder.
trap 'umount -l "$full"; cleanup' EXIT
for queue in "RootsFolder $rootfolder" "Gone $work/gone/" "Full $full"; do
    lpadmin -p "${queue%% *}" -E -v "tarnwick:${queue#* }" -m drv:///sample.drv/generic.ppd 2>/dev/null \
        || fail "could not add the queue ${queue%% *}"
done

# --- Helpers ------------------------------------------------------------------
printf '%s\n' '%!PS-Adobe-3.0' '<< /PageSize [612 792] >> setpagedevice' \
    'newpath 72 72 moveto 300 300 lineto stroke' 'showpage' '%%EOF' >"$work/letter.ps"
gs -q -sDEVICE=pdfwrite -o "$work/brochure.pdf" "$work/letter.ps" || fail "gs could not make the PDF to print"

# Prints with lp (queue TarnWick unless -d follows), sets $job to the job's id.
print() {
    local said
    said=$(lp -d TarnWick "$@") || fail "$row: lp refused the job: $said"
    job=${said#request id is *-}
    job=${job%% *}
}

# How job $1 ended: "completed", or the backend's exit code; empty while it runs.
job_end() {
    if grep -q "\[Job $1\] Job completed\." "$log"; then
        echo completed
    else
        sed -n "s/.*\[Job $1\] Backend returned status \([0-9]*\) .*/\1/p" "$log" | head -1
    fi
}
expect_end() {
    local id=$1
    wait_for '[ -n "$(job_end "$id")" ]' || fail "$row: job $id did not end ($(tail -5 "$log"))"
    [ "$(job_end "$id")" = "$2" ] || fail "$row: job $id ended with '$(job_end "$id")', not $2: $(grep "\[Job $id\]" "$log")"
}
# The job's own words in CUPS's log.
expect_logged() {
    grep -F "[Job $1] $2" "$log" >/dev/null || fail "$row: job $1 did not log '$2': $(grep "\[Job $1\]" "$log")"
}
entries() { ls -A "$1"; }
# A whole PostScript file of nobody's, readable by nobody alone, at that name in the watched folder.
expect_delivered() {
    local file="$watch$1"
    [ -f "$file" ] && [ ! -L "$file" ] || fail "$row: no file '$1' (folder: $(entries "$watch"))"
    [ "$(stat -c '%U %a' "$file")" = "nobody 600" ] || fail "$row: '$1' is $(stat -c '%U %a' "$file")"
    head -c 4 "$file" | grep -q '^%!PS' || fail "$row: '$1' is not PostScript"
    grep -q '%%EOF' "$file" || fail "$row: '$1' is not whole"
}
expect_enabled() {
    lpstat -p "$1" | grep -q 'enabled' || fail "$row: the queue $1 was stopped: $(lpstat -p "$1")"
}
empty_watch() { find "$watch" -mindepth 1 -delete; }

# --- The rows: titles ---------------------------------------------------------
# A title CUPS passes on as it is gets the name given; one CUPS itself will
# not carry (a control character, no UTF-8, more than 255 bytes) reaches the
# backend as "Untitled". Either way the name is one the distiller takes.
titles=(
    '2024/05 report'
    '../../etc/passwd'
    '.hidden'
    $'two\nlines'
    "$(printf 'x%.0s' {1..300})"
    $'caf\xe9'
    "$(printf '\xc3\xa4%.0s' {1..125})"
)
names=(
    '2024_05 report.ps'
    '_.._etc_passwd.ps'
    'hidden.ps'
    ''
    ''
    ''
    "$(printf '\xc3\xa4%.0s' {1..98}).ps"
)
rows=('a slash' 'the way up' 'a leading dot' 'a newline' '300 bytes' 'not UTF-8' '250 bytes of two-byte letters')
for i in "${!titles[@]}"; do
    row="title with ${rows[i]}"
    print -U nobody -t "${titles[i]}" "$work/letter.ps"
    expect_end "$job" completed
    name=$(entries "$watch")
    [ "$(wc -l <<<"$name")" -eq 1 ] || fail "$row: the folder holds: $name"
    [ -z "${names[i]}" ] || [ "$name" = "${names[i]}" ] || fail "$row: the job is named '$name'"
    [ "$(printf %s "$name" | wc -c)" -le 200 ] || fail "$row: '$name' is longer than 200 bytes"
    iconv -f UTF-8 -t UTF-8 <<<"$name" >/dev/null 2>&1 || fail "$row: '$name' is not UTF-8"
    LC_ALL=C grep -q '^[^.].*\.ps$' <<<"$name" || fail "$row: '$name' is hidden or no PostScript name"
    ! LC_ALL=C grep -q '[[:cntrl:]]' <<<"$name" || fail "$row: '$name' holds a control character"
    expect_delivered "$name"
    empty_watch
done

# --- The rows: everything else ------------------------------------------------
row_two_jobs_one_title() {
    print -U nobody -t Twice "$work/letter.ps"
    local first=$job
    print -U nobody -t Twice "$work/letter.ps"
    expect_end "$first" completed
    expect_end "$job" completed
    expect_delivered Twice.ps
    expect_delivered 'Twice (2).ps'
    [ "$(entries "$watch" | wc -l)" -eq 2 ] || fail "$row: the folder holds: $(entries "$watch")"
}

# A link, a pipe, a folder and a link to nowhere hold the names a job would
# take: none is followed, opened or replaced, and the job takes the next name.
row_names_taken() {
    local victim="$work/victim" nowhere="$work/nowhere"
    install -o nobody -m 644 /dev/null "$victim"
    ln -s "$victim" "${watch}Taken.ps"
    mkfifo "${watch}Taken (2).ps"
    mkdir "${watch}Taken (3).ps"
    ln -s "$nowhere" "${watch}Taken (4).ps"
    chown -h nobody:nogroup "$watch"Taken*
    print -U nobody -t Taken "$work/letter.ps"
    expect_end "$job" completed
    expect_delivered 'Taken (5).ps'
    [ ! -s "$victim" ] && [ ! -e "$nowhere" ] || fail "$row: a link was followed"
    [ -L "${watch}Taken.ps" ] && [ -p "${watch}Taken (2).ps" ] && [ -d "${watch}Taken (3).ps" ] &&
        [ -L "${watch}Taken (4).ps" ] || fail "$row: what held a name was replaced"
    rm "$victim"
}

# A job of root, or of a user this machine does not know (from another
# machine), is written as the folder's owner.
row_job_of_root() {
    print -t FromRoot "$work/letter.ps"
    expect_end "$job" completed
    expect_delivered FromRoot.ps
}
row_job_of_a_stranger() {
    print -U stranger-from-elsewhere -t FromAfar "$work/letter.ps"
    expect_end "$job" completed
    expect_delivered FromAfar.ps
}

# daemon may not write into nobody's folder: the job is cancelled and says
# why; the queue goes on.
row_user_may_not_write() {
    print -U daemon -t Refused "$work/letter.ps"
    expect_end "$job" 5
    expect_logged "$job" "The user daemon may not write into the folder $watch (Permission denied)."
    [ -z "$(entries "$watch")" ] || fail "$row: the folder holds: $(entries "$watch")"
    [ -z "$(find "$work" -name 'Refused*' -print -quit)" ] || fail "$row: the job was written"
    expect_enabled TarnWick
}

row_job_of_root_into_roots_folder() {
    print -d RootsFolder -t Rooted "$work/letter.ps"
    expect_end "$job" 5
    expect_logged "$job" "The job comes from root, and the folder $rootfolder belongs to root"
    [ -z "$(entries "$rootfolder")" ] || fail "$row: root's folder holds: $(entries "$rootfolder")"
    expect_enabled RootsFolder
}

# No retry can help while the folder is not there: the queue stops.
row_folder_gone() {
    print -d Gone -U nobody -t Lost "$work/letter.ps"
    expect_end "$job" 4
    expect_logged "$job" "The folder $work/gone/ of this printer cannot be used (No such file or directory)"
    wait_for 'lpstat -p Gone | grep -q disabled' || fail "$row: the queue did not stop: $(lpstat -p Gone)"
    cancel "$job"
}

# A full disk: the job is held to be tried again later, nothing is left on
# the disk, and the queue goes on.
row_disk_full() {
    { head -n 3 "$work/letter.ps"; for ((i = 0; i < 4000; i++)); do
        echo "% a line that makes the job too large for the small disk: $i"; done
        tail -n 2 "$work/letter.ps"; } >"$work/big.ps"
    print -d Full -U nobody -t Big "$work/big.ps"
    expect_end "$job" 6
    expect_logged "$job" "The job cannot be written into the folder $full (No space left on device); it is tried again later."
    grep -F "[Job $job] Job held for" "$log" >/dev/null || fail "$row: job $job was not held: $(grep "\[Job $job\]" "$log")"
    [ -z "$(entries "$full")" ] || fail "$row: the full disk holds: $(entries "$full")"
    expect_enabled Full
    cancel "$job"
}

# Cancelled while its data comes in: the hidden file goes with the job.
row_cancelled_mid_transfer() {
    print -U nobody -t Slow -o document-format=application/x-tarnwick-test-slow "$work/letter.ps"
    wait_for '[ -n "$(find "$watch" -name ".*" -size +0)" ]' || fail "$row: the job's data did not arrive"
    cancel "$job"
    wait_for '[ -z "$(entries "$watch")" ]' 10 || fail "$row: the cancelled job left: $(entries "$watch")"
    expect_enabled TarnWick
}

# A filter that dies mid-job: the half job is not delivered as if whole, and
# the job fails.
row_cut_short() {
    print -U nobody -t Cut -o document-format=application/x-tarnwick-test-cut "$work/letter.ps"
    expect_end "$job" 5
    expect_logged "$job" "The print job was cut short before it reached the printer"
    [ -z "$(entries "$watch")" ] || fail "$row: the folder holds: $(entries "$watch")"
    expect_enabled TarnWick
}

# What a killed delivery left is cleared by the next one; what a running one
# writes is not.
row_dead_aside() {
    local dead live
    dead=$(sh -c 'echo $$')
    sleep 60 &
    live=$!
    install -o nobody -m 600 /dev/null "$watch.tarnwick-90-$dead-0"
    install -o nobody -m 600 /dev/null "$watch.tarnwick-91-$live-0"
    print -U nobody -t After "$work/letter.ps"
    expect_end "$job" completed
    kill "$live"
    [ "$(entries "$watch" | sort | tr '\n' ' ')" = ".tarnwick-91-$live-0 After.ps " ] ||
        fail "$row: the folder holds: $(entries "$watch")"
}

cases=(
    "a job cut short by its filter:row_cut_short"
    "hidden files of a dead and of a live delivery:row_dead_aside"
    "two jobs with one title:row_two_jobs_one_title"
    "a link, a pipe, a folder and a dead link where the job goes:row_names_taken"
    "a job of root:row_job_of_root"
    "a job of a user from another machine:row_job_of_a_stranger"
    "a user who may not write the folder:row_user_may_not_write"
    "a job of root for a folder of root's:row_job_of_root_into_roots_folder"
    "the folder is gone:row_folder_gone"
    "a full disk:row_disk_full"
    "cancelled in the middle of its transfer:row_cancelled_mid_transfer"
)
for case in "${cases[@]}"; do
    row=${case%%:*}
    ${case##*:}
    find "$watch" -mindepth 1 -delete
done

# --- Distilling what is printed ----------------------------------------------
row="distilling"
start_program d
wait_text "$status" '^Distiller is active' >/dev/null || fail "the distiller did not switch on"
# Prints $2 titled $1 and waits for its PDF to be listed.
print_and_distill() {
    local pdf="$output$3" started
    started=$(date +%s%N)
    print -U nobody -t "$1" "$2"
    wait_for '[ -f "$pdf" ] && listed "$pdf"' 30 || fail "no PDF $pdf was listed ($(rows))"
    echo "from lp to the listed $3: $((($(date +%s%N) - started) / 1000000)) ms"
    info=$(pdfinfo "$pdf") || fail "pdfinfo cannot open $pdf"
    grep -Eq '^Pages: +1$' <<<"$info" || fail "$pdf does not have one page: $info"
    grep -Eq '^Page size: +612 x 792 pts' <<<"$info" || fail "$pdf is not letter-sized: $info"
    grep '^Title:' <<<"$info" | grep -qF "$1" || fail "$pdf does not have the job's title: $info"
}
print_and_distill Letter "$work/letter.ps" Letter.pdf
print_and_distill Brochure.pdf "$work/brochure.pdf" Brochure.pdf
close_program

said=$("$program_dir/tarnwick" --remove-printer 2>&1) || fail "--remove-printer failed: $said"
[ "$said" = 'Removed the printer "TarnWick".' ] || fail "--remove-printer said: $said"
! lpstat -v TarnWick >/dev/null 2>&1 || fail "the queue is still there"
echo "print queue: passed"
