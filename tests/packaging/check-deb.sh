#!/usr/bin/env bash
# Builds the Debian package with CPack, unpacks it into a temporary root and
# checks its metadata, its files, and that its executable starts.
# usage: check-deb.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1 id=$2
work=$(mktemp -d)
app=
cleanup() {
    if [ -n "$app" ]; then
        kill "$app" 2>/dev/null
        wait "$app" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
echo "built $(basename "$deb")"

info=$(dpkg-deb --field "$deb" Package Version Architecture Depends)
echo "$info"
grep -qx 'Package: vantrel1' <<<"$info" || failed "package name"
grep -qx 'Version: 1.0.0.0' <<<"$info" || failed "version"
# dpkg-shlibdeps found the Qt libraries the program links.
grep -q 'libqt6widgets6' <<<"$info" || failed "no Qt Widgets dependency"
grep -q 'libc6' <<<"$info" || failed "no C library dependency"
grep -q 'fonts-liberation' <<<"$info" || failed "no dependency on the window's fonts"

# lintian, failing on any error or warning; no tag is overridden. (Its note
# that it runs as root is left out: the package is only read.)
if lint=$(lintian --fail-on error,warning "$deb" 2>&1); then
    passed lintian
else
    grep -v 'running with root privileges' <<<"$lint"
    failed "lintian"
fi

dpkg-deb -x "$deb" "$work/root"
for file in usr/bin/vantrel1 "usr/share/applications/$id.desktop" \
    "usr/share/metainfo/$id.metainfo.xml" "usr/share/icons/hicolor/16x16/apps/$id.png" \
    "usr/share/icons/hicolor/32x32/apps/$id.png" "usr/share/icons/hicolor/48x48/apps/$id.png" \
    "usr/share/icons/hicolor/64x64/apps/$id.png" "usr/share/icons/hicolor/128x128/apps/$id.png" \
    usr/share/doc/vantrel1/copyright usr/share/doc/vantrel1/changelog.gz \
    usr/share/man/man1/vantrel1.1.gz; do
    [ -e "$work/root/$file" ] && passed "$file" || failed "missing $file"
done
unexpected=$(cd "$work/root" && find . -type f | grep -v -E '^\./usr/(bin|share/(applications|metainfo|icons|doc/vantrel1|man/man1))/' || true)
[ -z "$unexpected" ] || failed "unexpected files: $unexpected"
ldd "$work/root/usr/bin/vantrel1" | grep -q 'not found' && failed "unresolved libraries"
file "$work/root/usr/bin/vantrel1" | grep -q ', stripped' || failed "the binary is not stripped"
# The manual page renders without a warning and names both exit statuses.
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$work/root/usr/share/man/man1/vantrel1.1.gz" 2>&1)
grep -q 'warning' <<<"$page" && failed "the manual page has warnings"
grep -q 'xvfb-run -a vantrel1' <<<"$page" || failed "the manual page does not say how to run without a display"
# The answer as the window shows it, its three spaces kept (roff would fold
# plain ones into one).
grep -qF '00,01384   17' <<<"$page" || failed "the manual page folds the answer's spaces"

# It starts: still running, with its event loop, after a second offscreen.
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/vantrel1" \
    >"$work/run.log" 2>&1 &
app=$!
for _ in $(seq 10); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app" 2>/dev/null; then
    passed "the packaged program runs"
else
    wait "$app" || true
    failed "the packaged program ended at once: $(cat "$work/run.log")"
fi

finish
