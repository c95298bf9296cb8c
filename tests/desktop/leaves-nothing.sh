#!/usr/bin/env bash
# A full run (start, Calculate, Exit) in a real window leaves no process, file
# or folder behind and prints nothing, with or without a D-Bus session bus and
# whatever state XDG_RUNTIME_DIR is in.
# usage: leaves-nothing.sh PROGRAM no-bus|no-runtime-dir|missing-runtime-dir|session-bus
set -uo pipefail
# Run as a child subreaper, so that whatever the program leaves running stays
# below this script, where it is looked for (and nowhere else).
[ -n "${LEAVES_NOTHING_SUBREAPER:-}" ] ||
    LEAVES_NOTHING_SUBREAPER=1 exec "$(dirname "$0")/../../tools/subreaper" "$BASH" "$0" "$@"
unset LEAVES_NOTHING_SUBREAPER
program=$1
scenario=$2
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/x-session.sh"

start_session
export HOME=$work/home TMPDIR=$work/tmp
mkdir -p "$HOME" "$TMPDIR"
unset DBUS_SESSION_BUS_ADDRESS
case "$scenario" in
no-bus) ;;
no-runtime-dir) unset XDG_RUNTIME_DIR ;;
missing-runtime-dir) export XDG_RUNTIME_DIR=$work/no-such-folder ;;
session-bus)
    start_session_bus
    ;;
*) fail "unknown scenario $scenario" ;;
esac

# The processes the program could have left: those below this script; and
# every file below the folders the program could write to (and the toolkit's
# fallback runtime folder).
files() { find "$HOME" "$TMPDIR" "$work/runtime" "$work/no-such-folder" "/tmp/runtime-$(id -un)" 2>/dev/null | sort; }
processes_below >"$work/processes.before"
files >"$work/files.before"

start_program "$program"
band="297x15+$((client_x + 8))+$((client_y + 121))"
before=$(screen_checksum "$band")
xdotool mousemove --window "$window" 356 112 click 1 # Calculate
wait_for_screen_change "$band" "$before" || fail "no answer shown"
xdotool mousemove --window "$window" 356 160 click 1 # Exit
expect_program_ends_with 0

[ ! -s "$work/program.log" ] || fail "it printed: $(cat "$work/program.log")"
# A process the program started would still be there now; give none a chance
# to appear late.
processes_below >"$work/processes.after"
new=$(comm -13 "$work/processes.before" "$work/processes.after")
if [ -n "$new" ]; then
    while read -r pid _; do kill "$pid" 2>/dev/null; done <<<"$new"
    fail "processes left behind: $new"
fi
files >"$work/files.after"
diff "$work/files.before" "$work/files.after" || fail "files or folders changed"
echo "ok: $scenario"
