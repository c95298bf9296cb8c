#!/usr/bin/env bash
# The window as a screen reader sees it, through AT-SPI: a private D-Bus
# session with the accessibility bus running, the program in it, and
# screen-reader.py walking the tree and pressing Calculate.
# usage: screen-reader.sh PROGRAM
set -uo pipefail
program=$1
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/../../tools/x-session.sh"

start_session
start_session_bus

# The accessibility bus, as a desktop session starts it, switched on.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
session_pids+=("$launcher")
wait_for 100 sh -c 'xprop -root AT_SPI_BUS | grep -q unix:' || fail "no accessibility bus"
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null || fail "could not switch accessibility on"

start_program "$program"
/usr/bin/python3 "$here/screen-reader.py"
status=$?
xdotool key alt+Cyrillic_yeru
expect_program_ends_with 0
# The launcher's own children (the accessibility bus and the registry) end
# with it: end them by PID first.
for child in $(pgrep -P "$launcher"); do
    kill "$child" 2>/dev/null
done
exit "$status"
