#!/usr/bin/env bash
# Validates the installed desktop entry and software-centre metadata with
# Debian's validators, failing on any error or warning, and checks that the
# icon, the entry and the metadata share one application id.
# usage: check-installed.sh STAGE_PREFIX APP_ID
set -euo pipefail
prefix=$1 id=$2
share=$prefix/share
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
check "the executable" test -x "$prefix/bin/vantrel1"
# Debian's hardening: PIE, stack protector, fortified functions, RELRO and
# immediate binding. Control-flow protection is compiled in, but Debian 12's
# C start files carry no IBT/SHSTK note, so no program linked here can show it.
check "hardening-check" hardening-check --nocfprotection "$prefix/bin/vantrel1"
check "the desktop entry" test -f "$desktop"
check "the metainfo" test -f "$metainfo"
for size in 16 32 48 64 128; do
    check "the ${size}x$size icon" test -f "$share/icons/hicolor/${size}x$size/apps/$id.png"
done
# desktop-file-validate prints warnings but exits 0 on them: any output fails.
check "desktop-file-validate" bash -c "out=\$(desktop-file-validate '$desktop' 2>&1); echo \"\$out\"; [ -z \"\$out\" ]"
check "appstreamcli validate" appstreamcli validate --no-net --strict "$metainfo"
check "icon name is the id" grep -qx "Icon=$id" "$desktop"
check "metainfo id" grep -q "<id>$id</id>" "$metainfo"
check "launchable" grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
check "release from the version record" grep -q '<release version="1.0.0.0"' "$metainfo"
check "Russian summary" grep -q '<summary xml:lang="ru">' "$metainfo"
check "Russian comment" grep -q '^Comment\[ru\]=' "$desktop"
check "screenshot" grep -q '<screenshot type="default">' "$metainfo"

finish
