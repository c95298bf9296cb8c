#!/usr/bin/env bash
# The installed program in a real window, used as a person would: with the
# pointer and the keyboard through xdotool, under Xvfb and openbox.
# usage: real-window.sh PROGRAM SCENARIO
set -uo pipefail
program=$1
scenario=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../tools/x-session.sh"

start_session
# A Wayland display left behind by a session that is gone, beside the working X one.
[ "$scenario" = stale-wayland ] && export WAYLAND_DISPLAY=wayland-gone
# A dark colour scheme: GNOME's, through Qt's GTK platform theme.
[ "$scenario" = dark-scheme ] && export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
start_program "$program"

case "$scenario" in
stale-wayland)
    # The window comes up through X, with nothing said about the dead display.
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    [ ! -s "$work/program.log" ] || fail "it printed: $(cat "$work/program.log")"
    ;;
arguments)
    # The toolkit's own options change nothing: same title, place, size and
    # pixels as without them, and the style sheet (a FIFO, on which an open
    # would hang) is never opened.
    client="${client_w}x$client_h+$client_x+$client_y"
    plain=$(screen_checksum "$client")
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    mkfifo "$work/style.qss"
    start_program "$program" -reverse -qwindowtitle Renamed -qwindowgeometry 300x200+10+10 \
        -stylesheet "$work/style.qss" -style windows -platform offscreen
    [ "$(xdotool getwindowname "$window")" = Velto ] || fail "renamed"
    [ "${client_w}x$client_h+$client_x+$client_y" = "$client" ] ||
        fail "moved or resized: ${client_w}x$client_h+$client_x+$client_y"
    [ "$(screen_checksum "$client")" = "$plain" ] || fail "the window looks different"
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    ;;
dark-scheme)
    # Each band the layout colours keeps its text readable: at least 4.5:1.
    for band in "264x78+8+9 ffff00 Label1" "296x31+8+89 ff00ff Label2" "296x32+8+144 ffffff Label3"; do
        read -r area colour name <<<"$band"
        IFS=x+ read -r w h x y <<<"$area"
        import -window root -crop "${w}x$h+$((client_x + x))+$((client_y + y))" +repage "$work/band.png"
        ratio=$("$here/../../tools/band-contrast" "$work/band.png" "$colour") || fail "no text on $name"
        echo "$name: text contrast $ratio:1"
        awk -v r="$ratio" 'BEGIN {exit !(r >= 4.5)}' || fail "$name's text contrast is $ratio:1"
    done
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    ;;
unscaled-192)
    # On a 192-dpi screen with the toolkit's scaling off, the fonts keep the
    # boxes' 96-dpi size: the window is pixel for pixel the 96-dpi one.
    client="${client_w}x$client_h+$client_x+$client_y"
    plain=$(screen_checksum "$client")
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    echo 'Xft.dpi: 192' | xrdb -merge || fail "xrdb failed"
    start_program env QT_ENABLE_HIGHDPI_SCALING=0 "$program"
    [ "${client_w}x$client_h+$client_x+$client_y" = "$client" ] ||
        fail "client area ${client_w}x$client_h+$client_x+$client_y"
    [ "$(screen_checksum "$client")" = "$plain" ] || fail "the window differs from the 96-dpi one"
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    ;;
geometry)
    [ "$client_w"x"$client_h" = 409x185 ] || fail "client area ${client_w}x$client_h"
    [ "$client_x,$client_y" = 199,179 ] || fail "client area at $client_x,$client_y"
    hints=$(xprop -id "$window" WM_NORMAL_HINTS)
    grep -q 'minimum size: 409 by 185' <<<"$hints" || fail "no fixed minimum size: $hints"
    grep -q 'maximum size: 409 by 185' <<<"$hints" || fail "no fixed maximum size: $hints"
    xprop -id "$window" _NET_WM_ALLOWED_ACTIONS | grep -q _NET_WM_ACTION_RESIZE &&
        fail "the window manager offers to resize it"
    # Asking for another size, directly and through the window manager,
    # changes nothing: give a resize a second to show, and fail if it does.
    xdotool windowsize "$window" 600 400
    wmctrl -i -r "$window" -e 0,-1,-1,600,400
    size="xwininfo -id $window | awk '/Width:/ {w = \$NF} /Height:/ {h = \$NF} END {print w \"x\" h}'"
    if wait_for 10 bash -c "[ \"\$($size)\" != 409x185 ]"; then
        read_geometry
        fail "resized to ${client_w}x$client_h"
    fi
    xdotool key alt+F4 # openbox's close
    expect_program_ends_with 0
    ;;
calculate)
    band="297x15+$((client_x + 8))+$((client_y + 121))"
    before=$(screen_checksum "$band")
    xdotool mousemove --window "$window" 356 112 click 1 # the centre of Calculate
    wait_for_screen_change "$band" "$before" || fail "the answer band did not change"
    histogram=$(import -window root -crop "$band" +repage -depth 8 -format %c histogram:info:-)
    black=$(awk '/#000000/ {print $1 + 0}' <<<"$histogram")
    white=$(awk '/#FFFFFF/ {print $1 + 0}' <<<"$histogram")
    coloured=$(grep -v -E '\(([0-9]+),\1,\1\)' <<<"$histogram" | grep -c . || true)
    [ "${black:-0}" -gt 3000 ] || fail "the band is not black: $histogram"
    [ "${white:-0}" -gt 50 ] || fail "no white text: $histogram"
    [ "$coloured" -eq 0 ] || fail "coloured pixels in the band: $histogram"
    xdotool mousemove --window "$window" 356 160 click 1 # Exit
    expect_program_ends_with 0
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
expect_no_program_left "$program"
echo "ok: $scenario"
