#!/usr/bin/env bash
# SIGTERM and SIGINT end the running program cleanly, its settings saved. A
# settings file that is a link to a named pipe is neither read nor written
# through: the end reports it on standard error, waits for nobody, and the
# pipe stays a pipe.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

# Sends a signal and waits for the end; the exit status goes to $exit_status.
end_by_signal() {
    kill -s "$1" "$program_pid"
    wait_for '! kill -0 "$program_pid" 2>/dev/null' || fail "SIG$1 did not end the program"
    exit_status=0
    wait "$program_pid" || exit_status=$?
    program_pid=""
}

for signal in TERM INT; do
    setting Language DE
    setting Counter 42
    start_program
    end_by_signal "$signal"
    [ "$exit_status" -eq 0 ] || fail "SIG$signal: exit status $exit_status"
    head -1 "$settings_file" | grep -q '^\*\*\* ' || fail "SIG$signal: settings not saved"
    [ "$(read_setting Language)" = DE ] || fail "SIG$signal: language not kept"
    [ "$(read_setting Counter)" = 42 ] || fail "SIG$signal: counter not kept"
done

rm "$settings_file"
mkfifo "$work/pipe"
ln -s "$work/pipe" "$settings_file"
# No settings file to read: a first start.
launch_program
choose_ghostscript_at_first_start "$(dirname "$(command -v gs)")"
wait_for 'find_window --onlyvisible' || fail "the main window did not appear"
wait_for window_unrolled || fail "the main window did not reach its full height"
end_by_signal TERM
[ "$exit_status" -eq 0 ] || fail "link to a pipe: exit status $exit_status"
[ -p "$work/pipe" ] && [ -L "$settings_file" ] || fail "the pipe or the link was replaced"
grep -q "TarnWick: The settings could not be saved to this file: $settings_file" "$work/program.log" &&
    grep -q "not an ordinary file" "$work/program.log" || {
    cat "$work/program.log" >&2
    fail "the failed save was not reported on standard error"
}
echo "signals: passed"
