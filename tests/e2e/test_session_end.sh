#!/usr/bin/env bash
# The program as a client of a real session manager: a session save that is
# not a logout neither ends it nor writes its settings; a logout ends it with
# its settings saved.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

setting Language DE
setting Counter 42
mkfifo "$work/control"
"$SESSION_MANAGER_BIN" "$program_dir/tarnwick" <"$work/control" >"$work/session.log" 2>&1 &
exec 3>"$work/control"
wait_for 'grep -q "^registered$" "$work/session.log"' || fail "the program did not join the session"
wait_for '[ -n "$(xdotool search --onlyvisible --name "^TarnWick 3.9$" 2>/dev/null)" ]' \
    || fail "the main window did not appear"
inode_before=$(stat -c %i "$settings_file")

echo checkpoint >&3
wait_for 'grep -q "^save done$" "$work/session.log"' || {
    cat "$work/session.log" >&2
    fail "the session save was not answered"
}
! grep -q "^exit status" "$work/session.log" || fail "a session save ended the program"
[ "$(stat -c %i "$settings_file")" = "$inode_before" ] || fail "a session save wrote the settings"

echo logout >&3
wait_for 'grep -q "^exit status" "$work/session.log"' || fail "the logout did not end the program"
grep -q "^exit status 0$" "$work/session.log" || fail "$(tail -1 "$work/session.log")"
head -1 "$settings_file" | grep -q '^\*\*\* ' || fail "settings not saved at logout"
[ "$(read_setting Counter)" = 42 ] || fail "counter not kept"
echo "session end: passed"
