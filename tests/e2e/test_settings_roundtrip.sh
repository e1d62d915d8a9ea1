#!/usr/bin/env bash
# Starts the built program with a settings file beside it, closes it with a
# real close request, and finds the file rewritten with the same values. The
# settings stand behind 17 MiB of blank lines and binary garbage, and a path
# and a password hold bytes that are not UTF-8: they come back byte for byte.
source "$E2E_DIR/session.sh"

printf '%s\r\n' \
  '*** This is the settingsfile for TarnWick.exe' \
  '*** TarnWick - PostScript to PDF with Ghostscript' \
  '*** Do not alter this file for it can bring TarnWick in trouble, if it does go wrong just delete this file and a new correct one will be made again' \
  'Ghostscriptpath;/usr/bin/gs' \
  '     Outputpath;/tmp/out put/' \
  $'     MoveFolder;/tmp/d\xe9plac\xe9/' \
  '   WatchDirpath;/tmp/watch/' \
  '  ComposeFolder;/tmp/merge/' \
  '  AcrobatFolder;/usr/bin/evince' \
  'DeletePSFilesAC;1' \
  'StartDistOnBoot;0' \
  '        Quality;Printer (GS7+)' \
  'UseBoundingBInf;1' \
  '  UseEncryption;1' \
  ' GoodPicQuality;1' \
  '  OwnerPassword;^^^' \
  $'   UserPassword;\xe9t\xe9\xff' \
  '       Language;DE' \
  '           Left;1500' \
  '            Top;900' \
  '    WindowState;0' \
  '        Counter;42' > "$work/expected.ini"
{
    head -c $((17 * 1024 * 1024)) < <(yes $'\r')
    head -c $((4 * 1024 * 1024)) /dev/urandom
    printf '\r\n'
    cat "$work/expected.ini"
} >"$program_dir/Tarnwick.ini"
inode_before=$(stat -c %i "$program_dir/Tarnwick.ini")

start_program
close_program

[ "$(stat -c %i "$program_dir/Tarnwick.ini")" != "$inode_before" ] || fail "the settings file was not written"
cmp "$work/expected.ini" "$program_dir/Tarnwick.ini" || {
    diff <(tr -d '\r' <"$work/expected.ini") <(tr -d '\r' <"$program_dir/Tarnwick.ini") >&2 || true
    fail "the settings file was not rewritten with the same values"
}
echo "settings round trip: passed"
