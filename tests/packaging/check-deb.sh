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
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
echo "built $(basename "$deb")"

info=$(dpkg-deb --field "$deb" Package Version Architecture Depends)
echo "$info"
grep -qx 'Package: vantrel1' <<<"$info" || fail "package name"
grep -qx 'Version: 1.0.0.0' <<<"$info" || fail "version"
# dpkg-shlibdeps found the Qt libraries the program links.
grep -q 'libqt6widgets6' <<<"$info" || fail "no Qt Widgets dependency"
grep -q 'libc6' <<<"$info" || fail "no C library dependency"

dpkg-deb -x "$deb" "$work/root"
for file in usr/bin/vantrel1 "usr/share/applications/$id.desktop" \
    "usr/share/metainfo/$id.metainfo.xml" "usr/share/icons/hicolor/16x16/apps/$id.png" \
    "usr/share/icons/hicolor/32x32/apps/$id.png" "usr/share/icons/hicolor/48x48/apps/$id.png" \
    "usr/share/icons/hicolor/64x64/apps/$id.png" "usr/share/icons/hicolor/128x128/apps/$id.png"; do
    [ -e "$work/root/$file" ] && echo "ok: $file" || fail "missing $file"
done
unexpected=$(cd "$work/root" && find . -type f | grep -v -E '^\./usr/(bin|share/(applications|metainfo|icons))/' || true)
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"
ldd "$work/root/usr/bin/vantrel1" | grep -q 'not found' && fail "unresolved libraries"

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
    echo "ok: the packaged program runs"
else
    wait "$app" || true
    fail "the packaged program ended at once: $(cat "$work/run.log")"
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
