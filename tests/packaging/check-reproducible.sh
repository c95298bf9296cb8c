#!/usr/bin/env bash
# Builds the release twice, from two copies of the tree in folders of
# different names, one after the other, and checks that both give the same
# bytes: the Debian package, the 32-bit Vantrel1.exe, the web page and their SHA256SUMS
# (the release preset), and the 64-bit Vantrel1.exe. Where they differ,
# diffoscope shows how.
# usage: check-reproducible.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

# The tree as a clone has it: its files, none of its builds.
copy_tree() {
    mkdir -p "$2"
    git -C "$1" ls-files -z --cached --others --exclude-standard |
        (cd "$1" && xargs -0 cp --parents -t "$2")
}

build() ( # folder
    cd "$1"
    cmake --preset release -DBUILD_TESTING=OFF
    cmake --build --preset release
    cpack --preset release
    cmake -S . -B build/windows64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DVANTREL_BUILD_BENCHMARKS=OFF -DCMAKE_TOOLCHAIN_FILE=tools/toolchains/mingw-x86_64.cmake
    cmake --build build/windows64 --target vantrel1
    cp build/windows64/ui/win32/Vantrel1.exe dist/Vantrel1-x86_64.exe
)

for folder in first the-second-build; do
    copy_tree "$source_dir" "$work/$folder"
    build "$work/$folder" >"$work/$folder.log" 2>&1 || { tail -40 "$work/$folder.log"; exit 1; }
done

for file in SHA256SUMS vantrel1_*_amd64.deb Vantrel1.exe Vantrel1-x86_64.exe vantrel1.html; do
    first=$(echo "$work"/first/dist/$file) second=$(echo "$work"/the-second-build/dist/$file)
    if cmp -s "$first" "$second"; then
        passed "$(basename "$first") is the same"
    else
        failed "$(basename "$first") differs"
        diffoscope --text - "$first" "$second" | head -100 || true
    fi
done
cat "$work/first/dist/SHA256SUMS"
finish
