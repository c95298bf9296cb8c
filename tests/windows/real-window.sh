#!/usr/bin/env bash
# Vantrel1.exe in a real window under Xvfb, openbox and Wine, used as a
# person would with xdotool, in a private Wine prefix made for this run.
# usage: real-window.sh ARCH VANTREL1_EXE READ_WINDOW_EXE SCENARIO
set -uo pipefail
arch=$1 exe=$2 reader=$3 scenario=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run=$here/../../tools/wine-run
"$wine_run" "$arch" --version >/dev/null 2>&1
[ $? -ne 77 ] || { echo "this machine cannot run $arch Wine: skipped"; exit 77; }
source "$here/../../tools/x-session.sh"

export WINE_RUN_PREFIX=$work/prefix
end_wine() { "$wine_run" "$arch" wineserver -k 2>/dev/null; }
trap 'end_wine; end_session' EXIT

# Room for the window at twice the pixels.
[ "$scenario" = dpi-192 ] && export X_SESSION_SCREEN=1280x1024x24
start_session
# A Russian keyboard, for Wine to take its layout from: Alt+ы is then the
# key a Russian user presses.
case "$scenario" in alt-*) setxkbmap ru || fail "setxkbmap failed" ;; esac
"$wine_run" "$arch" wineboot -i >/dev/null 2>&1 || fail "no Wine prefix"
if [ "$scenario" = dpi-192 ]; then
    "$wine_run" "$arch" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f \
        >/dev/null 2>&1 || fail "could not set the DPI"
fi
locale=ru_RU.UTF-8
[ "$scenario" = calculate-english ] && locale=en_US.UTF-8
# Xlib turns the Cyrillic key into text only under a UTF-8 locale the C
# library has; a fresh Debian has C.UTF-8.
case "$scenario" in alt-*) locale=C.UTF-8 ;; esac

LC_ALL=$locale "$wine_run" "$arch" "$exe" >"$work/program.log" 2>&1 &
app_pid=$!
wait_for 300 xdotool search --name '^Velto$' || fail "no window named Velto"
window=$(xdotool search --name '^Velto$' | head -1)
wait_for 100 sh -c "xwininfo -id $window | grep -q IsViewable" || fail "window not mapped"
read_back() { LC_ALL=$locale "$wine_run" "$arch" "$reader" 2>/dev/null | tr -d '\r'; }
for _ in $(seq 50); do
    read_back | grep -q '^client' && break
    sleep 0.1
done
read_back | grep -q '^client' || fail "the window cannot be read back"
read_geometry

# Waits until the answer label reads $1.
expect_answer() {
    local answer
    for _ in $(seq 50); do
        answer=$(read_back | sed -n 's/^answer //p')
        [ "$answer" = "$1" ] && return 0
        sleep 0.1
    done
    fail "the answer reads '$answer', not '$1'"
}

case "$scenario" in
geometry | dpi-192)
    want=409x185+199+179
    [ "$scenario" = dpi-192 ] && want=818x370+398+358
    got=$(read_back)
    grep -qx "client $want" <<<"$got" || fail "client area: $got"
    grep -qx 'resizable no' <<<"$got" || fail "resizable: $got"
    xdotool windowsize "$window" 600 400
    sleep 1
    grep -qx "client $want" <<<"$(read_back)" || fail "resized: $(read_back)"
    xdotool key alt+F4
    expect_program_ends_with 0
    ;;
calculate-russian | calculate-english)
    answer='00,01384   17'
    [ "$scenario" = calculate-english ] && answer='00.01384   17'
    xdotool mousemove --window "$window" 356 112 click 1 # the centre of Calculate
    expect_answer "$answer"
    band="297x15+$((client_x + 8))+$((client_y + 121))"
    histogram=$(import -window root -crop "$band" +repage -depth 8 -format %c histogram:info:-)
    black=$(awk '/#000000/ {print $1 + 0}' <<<"$histogram")
    white=$(awk '/#FFFFFF/ {print $1 + 0}' <<<"$histogram")
    [ "${black:-0}" -gt 3000 ] || fail "the band is not black: $histogram"
    [ "${white:-0}" -gt 50 ] || fail "no white answer: $histogram"
    xdotool mousemove --window "$window" 356 160 click 1 # Exit
    expect_program_ends_with 0
    ;;
enter)
    xdotool key Return # Calculate has the focus
    expect_answer '00,01384   17'
    xdotool key Escape # nothing
    sleep 0.5
    kill -0 "$app_pid" 2>/dev/null || fail "Escape ended the program"
    xdotool key Tab Return
    expect_program_ends_with 0
    ;;
tab-space)
    xdotool key Tab space
    expect_program_ends_with 0
    ;;
alt-yeru)
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    ;;
alt-ve)
    # В is underlined in Calculate and in both instructions: it presses
    # Calculate, wherever the focus is.
    xdotool key Tab alt+Cyrillic_ve
    expect_answer '00.01384   17'
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    ;;
close)
    xdotool key alt+F4 # openbox's close
    expect_program_ends_with 0
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
end_wine
# No process of this prefix is left: the program, wineserver, Wine's services.
left=$(for pid in $(pgrep -v -P $$); do
    grep -qsz "^WINEPREFIX=$WINE_RUN_PREFIX\$" "/proc/$pid/environ" && ps -o pid=,comm= -p "$pid"
done)
[ -z "$left" ] || fail "processes left behind: $left"
echo "ok: $scenario"
