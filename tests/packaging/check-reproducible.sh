#!/usr/bin/env bash
# Builds the release twice, from two clones of the repository in folders of
# different names, one after the other, and checks that both give the same
# bytes: the Debian package, the 32-bit Vantrel1.exe, the web page and their
# SHA256SUMS (the release preset); the 64-bit program, which is not released,
# is built by the same toolchain rules. Where they differ, diffoscope shows
# how. The clones stand at the source tree's commit, with
# its history, as a release is built: what is not committed is not built,
# and the time stamps come from the last commit, which the executable's
# header is checked to carry.
# usage: check-reproducible.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

commit=$(git -C "$source_dir" rev-parse HEAD)
commit_time=$(git -C "$source_dir" log -1 --format=%ct "$commit")
if [ -n "$(git -C "$source_dir" status --porcelain)" ]; then
    echo "note: what is not committed in $source_dir is not built"
fi
clone() { # folder
    git clone --quiet --no-checkout "$source_dir" "$1"
    git -C "$1" checkout --quiet --detach "$commit"
}

build() ( # folder
    cd "$1"
    cmake --preset release -DBUILD_TESTING=OFF
    cmake --build --preset release
    cpack --preset release
)

for folder in first the-second-build; do
    clone "$work/$folder"
    build "$work/$folder" >"$work/$folder.log" 2>&1 || { tail -40 "$work/$folder.log"; exit 1; }
    mapfile -t debs < <(find "$work/$folder/dist" -maxdepth 1 -name '*.deb')
    [ ${#debs[@]} -eq 1 ] || {
        echo "FAIL: the $folder build left ${#debs[@]} .deb files in dist/, not one:" \
            "$(ls "$work/$folder/dist" | tr '\n' ' ')"
        exit 1
    }
done

deb=$(basename "$(find "$work/first/dist" -maxdepth 1 -name '*.deb')")
for file in SHA256SUMS "$deb" Vantrel1.exe vantrel1.html; do
    first=$work/first/dist/$file second=$work/the-second-build/dist/$file
    if cmp -s "$first" "$second"; then
        passed "$file is the same"
    else
        failed "$file differs"
        diffoscope --text - "$first" "$second" | head -100 || true
    fi
done
# The time in the executable's PE header (4 bytes at 8 past the header,
# whose place is at 0x3c), little-endian.
pe_time() {
    local header
    header=$(od -An -t u4 -j 60 -N 4 "$1")
    od -An -t u4 -j $((header + 8)) -N 4 "$1" | tr -d ' '
}
same "Vantrel1.exe's time stamp is the last commit's" "$(pe_time "$work/first/dist/Vantrel1.exe")" \
    "$commit_time"
cat "$work/first/dist/SHA256SUMS"
finish
