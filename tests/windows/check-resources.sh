#!/usr/bin/env bash
# Reads the Windows resources back with wrestool and windres: the icon
# group, its two image numbers, the version record, the formula picture and
# the manifest. Given the resource script, it first compiles it with the
# MinGW tools into a resource-only executable; given the real Vantrel1.exe,
# it also checks that the program imports only Windows system DLLs.
# usage: check-resources.sh RC_FILE|EXE ICON_32_BIN ICON_16_BIN FORMULA_BMP
# Exits 77 (skipped) where the MinGW resource tools are not installed.
set -euo pipefail

input=$1 icon32=$2 icon16=$3 formula=$4
windres=$(command -v i686-w64-mingw32-windres || true)
linker=$(command -v i686-w64-mingw32-ld || true)
if [ -z "$windres" ] || [ -z "$linker" ] || ! command -v wrestool >/dev/null; then
    echo "MinGW windres/ld or icoutils' wrestool not installed: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

if [[ "$input" == *.exe ]]; then
    cp "$input" "$work/resources.exe"
    if objdump -f "$input" | grep -q 'pei-x86-64'; then
        windres=$(command -v x86_64-w64-mingw32-windres || echo "$windres")
    fi
    # One file: everything but the system's own DLLs is linked in.
    imports=$(objdump -p "$input" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
    echo "imports: $(tr '\n' ' ' <<<"$imports")"
    unexpected=$(grep -v -x -E 'kernel32\.dll|user32\.dll|gdi32\.dll|comctl32\.dll|msvcrt\.dll|advapi32\.dll|shell32\.dll' <<<"$imports" || true)
    same "only system DLLs imported" "$unexpected" ""
    characteristics=$(objdump -p "$input" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
    for flag in TERMINAL_SERVICE_AWARE NX_COMPAT DYNAMIC_BASE; do
        expect "PE flag $flag" "$characteristics" "$flag"
    done
else
    "$windres" --preprocessor=cpp -O coff -i "$input" -o "$work/resources.o"
    "$linker" --subsystem=windows --entry=0 -o "$work/resources.exe" "$work/resources.o"
fi

listing=$(wrestool -l "$work/resources.exe")
expect "icon image 30001, 744 bytes" "$listing" "--type=3 --name=30001 --language=1033 [type=icon offset="
expect "icon image 30001 size" "$(grep -- '--name=30001' <<<"$listing")" "size=744]"
expect "icon image 30002 size" "$(grep -- '--name=30002' <<<"$listing")" "size=296]"
expect "icon group 1" "$listing" "--type=14 --name=1 --language=1033 [type=group_icon"
expect "version record 1" "$listing" "--type=16 --name=1 --language=1033 [type=version"
expect "formula picture 100" "$listing" "--type=2 --name=100 --language=1033 [type=bitmap"
expect "manifest 1" "$listing" "--type=24 --name=1 --language=1033 ["
same "exactly six resources" "$(grep -c -- '--type=' <<<"$listing")" 6

# The stored images are the generated ones, byte for byte.
wrestool -x --raw --type=3 --name=30001 "$work/resources.exe" >"$work/30001.bin"
wrestool -x --raw --type=3 --name=30002 "$work/resources.exe" >"$work/30002.bin"
check "icon 30001 bytes" cmp "$work/30001.bin" "$icon32"
check "icon 30002 bytes" cmp "$work/30002.bin" "$icon16"

# The picture is the generated bitmap without its 14-byte file header.
wrestool -x --raw --type=2 --name=100 "$work/resources.exe" >"$work/100.bin"
tail -c +15 "$formula" >"$work/formula.dib"
check "picture bytes" cmp "$work/formula.dib" "$work/100.bin"
manifest=$(wrestool -x --raw --type=24 --name=1 "$work/resources.exe")
expect "common controls 6" "$manifest" 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'
expect "identity from the version record" "$manifest" 'name="Vantrel1" version="1.0.0.0"'
expect "as invoker" "$manifest" 'level="asInvoker"'
expect "DPI aware" "$manifest" '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>'

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

finish
