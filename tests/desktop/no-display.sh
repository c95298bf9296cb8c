#!/usr/bin/env bash
# Without a usable display the program says so in one line on standard
# error, with how to start it on a virtual screen, and ends with status 2:
# no abort, no core file.
# usage: no-display.sh PROGRAM
set -uo pipefail
program=$1
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/x-session.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"

expect_no_display() { # description, what the line must hold, env arguments...
    local description=$1 advice=$2
    shift 2
    mkdir -p "$work/cwd"
    local status=0
    (cd "$work/cwd" && ulimit -c unlimited && env "$@" "$program" >"$work/out" 2>"$work/err") || status=$?
    local problems=()
    [ "$status" -eq 2 ] || problems+=("exit status $status")
    [ "$(wc -l <"$work/err")" -eq 1 ] || problems+=("stderr is not one line")
    grep -q 'no display' "$work/err" && grep -qF -- "$advice" "$work/err" ||
        problems+=("stderr does not explain")
    [ ! -s "$work/out" ] || problems+=("it wrote to stdout")
    [ -z "$(ls -A "$work/cwd")" ] || problems+=("left $(ls -A "$work/cwd")")
    if [ ${#problems[@]} -eq 0 ]; then
        passed "$description"
    else
        failed "$description: ${problems[*]}; stderr: $(cat "$work/err")"
    fi
    rm -rf "$work/cwd"
}

mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
unset QT_QPA_PLATFORM
virtual='xvfb-run -a vantrel1'
expect_no_display "no DISPLAY or WAYLAND_DISPLAY" "$virtual" -u DISPLAY -u WAYLAND_DISPLAY

# A display number nothing listens on: a dead X server.
expect_no_display "a dead X server" "$virtual" DISPLAY=:$((900 + RANDOM % 90))

# An X server that refuses the connection: it wants a cookie we do not have.
xauth -q -f "$work/server-auth" add :0 . "$(mcookie)" 2>/dev/null
Xvfb -displayfd 3 -auth "$work/server-auth" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
session_pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
: >"$work/no-cookie"
expect_no_display "an X server that refuses us" "$virtual" DISPLAY=:"$(cat "$work/display")" \
    XAUTHORITY="$work/no-cookie"

# A platform the user chose: the line names it and what it was given.
expect_no_display "a platform plugin that cannot start" \
    "through QT_QPA_PLATFORM=no-such-platform (WAYLAND_DISPLAY unset, DISPLAY=:$(cat "$work/display"))" \
    -u WAYLAND_DISPLAY DISPLAY=:"$(cat "$work/display")" QT_QPA_PLATFORM=no-such-platform
expect_no_display "Wayland chosen, with no compositor" \
    'QT_QPA_PLATFORM=wayland (WAYLAND_DISPLAY=wayland-gone, DISPLAY unset); unset QT_QPA_PLATFORM' \
    -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-gone

finish
