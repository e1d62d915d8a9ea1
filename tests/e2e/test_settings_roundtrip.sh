#!/usr/bin/env bash
# Starts the built program with a settings file beside it, closes it with a
# real close request, and finds the file rewritten with the same values. The
# settings stand behind 17 MiB of blank lines and binary garbage, and a path
# and a password hold bytes that are not UTF-8: they come back byte for byte.
source "$(dirname "${BASH_SOURCE[0]}")/session.sh"

setting Ghostscriptpath /usr/bin/gs
setting Outputpath '/tmp/out put/'
setting MoveFolder $'/tmp/d\xe9plac\xe9/'
setting WatchDirpath /tmp/watch/
setting ComposeFolder /tmp/merge/
setting AcrobatFolder /usr/bin/evince
setting DeletePSFilesAC 1
setting Quality 'Printer (GS7+)'
setting UseBoundingBInf 1
setting UseEncryption 1
setting GoodPicQuality 1
setting OwnerPassword '^^^'
setting UserPassword $'\xe9t\xe9\xff'
setting Language DE
setting Left 1500
setting Top 900
setting Counter 42
mv "$settings_file" "$work/expected.ini"
{
    head -c $((17 * 1024 * 1024)) < <(yes $'\r')
    head -c $((4 * 1024 * 1024)) /dev/urandom
    printf '\r\n'
    cat "$work/expected.ini"
} >"$settings_file"
inode_before=$(stat -c %i "$settings_file")

start_program
close_program

[ "$(stat -c %i "$settings_file")" != "$inode_before" ] || fail "the settings file was not written"
head -3 "$settings_file" | grep -c '^\*\*\* ' | grep -qx 3 || fail "the settings file has no header"
cmp "$work/expected.ini" <(tail -n +4 "$settings_file") || {
    diff <(tr -d '\r' <"$work/expected.ini") <(tail -n +4 "$settings_file" | tr -d '\r') >&2 || true
    fail "the settings file was not rewritten with the same values"
}
echo "settings round trip: passed"
