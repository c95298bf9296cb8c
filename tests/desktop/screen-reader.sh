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

start_accessibility_bus

start_program "$program"
/usr/bin/python3 "$here/screen-reader.py"
status=$?
xdotool key alt+Cyrillic_yeru
expect_program_ends_with 0
exit "$status"
