#!/usr/bin/env bash
# Makes the Debian package from this build tree with cpack, checks what it
# holds and that Debian's checkers accept it (lintian, desktop-file-validate,
# appstreamcli, man), and asks the program unpacked from it for its version
# and usage: both answer without a display and leave every settings file as
# it was.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}

listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/tarnwick ./usr/share/applications/tarnwick.desktop \
    ./usr/share/icons/hicolor/scalable/apps/tarnwick.svg \
    ./usr/share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/tarnwick.png \
    ./usr/share/doc/tarnwick/README.md ./usr/share/metainfo/org.tarnwick.tarnwick.metainfo.xml; do
    grep -qxF "$file" <<<"$listing" || fail "the package lacks $file"
done
# CUPS runs its backend as root only when nobody else may run it.
backend_mode=$(dpkg-deb -c "$deb" | awk '$6 == "./usr/lib/cups/backend/tarnwick" {print $1}')
[ "$backend_mode" = -rwx------ ] || fail "the CUPS backend is '${backend_mode:-missing}', not -rwx------"
[ "$(dpkg-deb -f "$deb" Version)" = "$PROJECT_VERSION" ] || fail "package version is not $PROJECT_VERSION"
depends=$(dpkg-deb -f "$deb" Depends)
for package in ghostscript xdg-utils libqt6widgets6; do
    grep -qw "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
for package in cups-daemon cups-client cups-filters; do
    grep -qw "$package" <<<"$recommends" || fail "Recommends lacks $package: $recommends"
done

# Any error or warning fails; notes (I:) do not. Lintian's word on running as
# root goes to standard error and is shown only with a failure.
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"

root=$work/root
dpkg-deb -x "$deb" "$root"
# desktop-file-validate ends with status 0 after hints too: any output fails.
report=$(desktop-file-validate "$root/usr/share/applications/tarnwick.desktop" 2>&1) &&
    [ -z "$report" ] || fail "desktop-file-validate: $report"
# Even a pedantic remark fails: appstreamcli ends with status 0 after those.
report=$(appstreamcli validate --no-net --pedantic \
    "$root/usr/share/metainfo/org.tarnwick.tarnwick.metainfo.xml" 2>&1) &&
    ! grep -q '^[EWIP]:' <<<"$report" || fail "the metainfo does not validate: $report"
# The metainfo names the desktop file and icon that came with it.
report=$(appstreamcli validate-tree --no-net "$root" 2>&1) || fail "the metainfo does not validate: $report"
# The manual page as man shows it: groff's warnings go to standard error.
report=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -l "$root/usr/share/man/man1/tarnwick.1.gz" 2>&1 >/dev/null) &&
    [ -z "$report" ] || fail "man: $report"
# A new version needs its changelog entry.
zcat "$root/usr/share/doc/tarnwick/changelog.gz" >"$work/changelog"
changelog_version=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[ "$changelog_version" = "$PROJECT_VERSION" ] ||
    fail "the changelog's latest entry is $changelog_version, not $PROJECT_VERSION"
# Every version in the changelog has its release in the metainfo.
for version in $(dpkg-parsechangelog -l "$work/changelog" --all -S Version); do
    grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.tarnwick.tarnwick.metainfo.xml" ||
        fail "the metainfo has no release $version"
done
# The bitmap icons are the SVG's, each at its size.
for size in 48 64 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/tarnwick.png" | grep -q "$size x $size" ||
        fail "the ${size}x${size} icon is not ${size} by ${size}"
done

# Settings files where the program would look: beside it and in the user's
# configuration folder. Nothing under these folders may change.
mkdir -p "$work/home/.config/TarnWick" "$work/run"
printf 'Ghostscriptpath;/usr/bin/gs\r\n' | tee "$root/usr/bin/Tarnwick.ini" \
    >"$work/home/.config/TarnWick/Tarnwick.ini"
snapshot() { find "$root" "$work/home" "$work/run" -printf '%p %s %T@\n' | sort; }
before=$(snapshot)

# env -i: no DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM; a window could not open.
ask() { env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/run" "$root/usr/bin/tarnwick" "$1"; }
version=$(ask --version) || fail "--version ended with status $?"
[ "$version" = "TarnWick $PROJECT_VERSION" ] || fail "--version printed: $version"
usage=$(ask --help) || fail "--help ended with status $?"
grep -q '^Usage: tarnwick' <<<"$usage" || fail "--help printed: $usage"

[ "$(snapshot)" = "$before" ] || { diff <(echo "$before") <(snapshot) >&2; fail "a file changed"; }
echo "package: passed"
