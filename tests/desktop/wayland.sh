#!/usr/bin/env bash
# The program on a Wayland session: a headless weston with its own runtime
# folder and socket, the accessibility bus, and the program asked for the
# Wayland platform. What it asks the compositor for is read from its own
# protocol log (WAYLAND_DEBUG=client); Calculate and Exit are pressed through
# AT-SPI, as no keyboard reaches a headless compositor.
# usage: wayland.sh PROGRAM
set -uo pipefail
program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../tools/x-session.sh"
unset DISPLAY

mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
weston --backend=headless-backend.so --socket=vantrel-wayland --idle-time=0 --no-config \
    >"$work/weston.log" 2>&1 &
session_pids+=($!)
wait_for 100 test -S "$XDG_RUNTIME_DIR/vantrel-wayland" || fail "weston did not start: $(cat "$work/weston.log")"
export WAYLAND_DISPLAY=vantrel-wayland

start_session_bus
start_accessibility_bus

before=$(cd "$XDG_RUNTIME_DIR" && find . | sort)
QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client LC_ALL=ru_RU.UTF-8 "$program" \
    >"$work/program.out" 2>"$work/protocol.log" &
app_pid=$!
wait_for 100 grep -q 'set_window_geometry' "$work/protocol.log" || fail "no window on the compositor"

# What the window asks for: its title and id, and one size it keeps.
asked() { grep -qF -- "$1" "$work/protocol.log" || fail "it never asked for $1"; }
asked 'xdg_toplevel@'
asked '.set_title("Velto")'
asked '.set_app_id("org.vantrel.vantrel1")'
asked '.set_min_size(409, 185)'
asked '.set_max_size(409, 185)'
! grep -qF '.set_maximized(' "$work/protocol.log" || fail "it asked to be maximized"
! grep -qF '.set_fullscreen(' "$work/protocol.log" || fail "it asked for the full screen"

/usr/bin/python3 "$here/screen-reader.py" --exit || fail "the screen reader's run failed"
expect_program_ends_with 0
! grep -qE '\.(set_min_size|set_max_size)\(' <(grep -vF '(409, 185)' "$work/protocol.log") ||
    fail "its size changed"
# Nothing printed but the protocol log, nothing left in the runtime folder.
[ ! -s "$work/program.out" ] || fail "it printed: $(cat "$work/program.out")"
grep -v -E '^\[ *[0-9.]+\] ' "$work/protocol.log" | grep -q . &&
    fail "it printed: $(grep -v -E '^\[ *[0-9.]+\] ' "$work/protocol.log")"
after=$(cd "$XDG_RUNTIME_DIR" && find . | sort)
[ "$before" = "$after" ] || fail "left in the runtime folder: $(comm -13 <(echo "$before") <(echo "$after"))"
echo "ok: wayland"
