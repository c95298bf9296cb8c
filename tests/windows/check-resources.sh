#!/usr/bin/env bash
# Compiles the program's Windows resource script with the MinGW tools, links
# a resource-only executable, and reads the resources back with wrestool and
# windres: the icon group, its two image numbers and the version record.
# usage: check-resources.sh RC_FILE ICON_32_BIN ICON_16_BIN
# Exits 77 (skipped) where the MinGW resource tools are not installed.
set -euo pipefail

rc=$1 icon32=$2 icon16=$3
windres=$(command -v i686-w64-mingw32-windres || true)
linker=$(command -v i686-w64-mingw32-ld || true)
if [ -z "$windres" ] || [ -z "$linker" ] || ! command -v wrestool >/dev/null; then
    echo "MinGW windres/ld or icoutils' wrestool not installed: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
expect() { # description, command output, fixed string it must contain
    if grep -qF -- "$3" <<<"$2"; then
        echo "ok: $1"
    else
        echo "FAIL: $1: no '$3' in:"; echo "$2"
        failures=$((failures + 1))
    fi
}

"$windres" --preprocessor=cpp -O coff -i "$rc" -o "$work/resources.o"
"$linker" --subsystem=windows --entry=0 -o "$work/resources.exe" "$work/resources.o"

listing=$(wrestool -l "$work/resources.exe")
expect "icon image 30001, 744 bytes" "$listing" "--type=3 --name=30001 --language=1033 [type=icon offset="
expect "icon image 30001 size" "$(grep -- '--name=30001' <<<"$listing")" "size=744]"
expect "icon image 30002 size" "$(grep -- '--name=30002' <<<"$listing")" "size=296]"
expect "icon group 1" "$listing" "--type=14 --name=1 --language=1033 [type=group_icon"
expect "version record 1" "$listing" "--type=16 --name=1 --language=1033 [type=version"
same() { # description, actual, expected
    [ "$2" = "$3" ] && echo "ok: $1" || { echo "FAIL: $1: $2, not $3"; failures=$((failures + 1)); }
}
same "exactly four resources" "$(grep -c -- '--type=' <<<"$listing")" 4

# The stored images are the generated ones, byte for byte.
wrestool -x --raw --type=3 --name=30001 "$work/resources.exe" >"$work/30001.bin"
wrestool -x --raw --type=3 --name=30002 "$work/resources.exe" >"$work/30002.bin"
cmp -s "$work/30001.bin" "$icon32" && echo "ok: icon 30001 bytes" ||
    { echo "FAIL: icon 30001 bytes differ"; failures=$((failures + 1)); }
cmp -s "$work/30002.bin" "$icon16" && echo "ok: icon 30002 bytes" ||
    { echo "FAIL: icon 30002 bytes differ"; failures=$((failures + 1)); }

decompiled=$("$windres" -i "$work/resources.exe" -O rc)
expect "group entry 32 x 32 -> 30001" "$decompiled" '"\040\040\020\000", 1, 4, 0x2e8L, 30001'
expect "group entry 16 x 16 -> 30002" "$decompiled" '"\020\020\020\000", 1, 4, 0x128L, 30002'
expect "file version" "$decompiled" "FILEVERSION 1, 0, 0, 0"
expect "product version" "$decompiled" "PRODUCTVERSION 1, 0, 0, 0"
expect "32-bit Windows" "$decompiled" "FILEOS 0x4"
expect "application" "$decompiled" "FILETYPE 0x1"
expect "string table" "$decompiled" 'BLOCK "040904B0"'
expect "translation" "$decompiled" 'VALUE "Translation", 0x409, 1200'
for field in 'CompanyName", "---"' 'ProductName", "Vantrel1"' 'FileVersion", "1.00"' \
    'ProductVersion", "1.00"' 'InternalName", "Vantrel1"' 'OriginalFilename", "Vantrel1.exe"'; do
    expect "string field ${field%%\"*}" "$decompiled" "VALUE \"$field"
done
same "six string fields and the translation" "$(grep -c 'VALUE "' <<<"$decompiled")" 7

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
