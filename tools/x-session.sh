# Sourced by the real-window tests, tools/screenshots and bench/run-desktop:
# a private X server (Xvfb), optionally the openbox window manager, the
# program in it, and helpers that wait for a condition with a bounded
# timeout. Everything started here is ended by PID when the script exits.

work=$(mktemp -d)
session_pids=()
app_pid=
accessibility_launcher=
end_session() {
    if [ -n "$app_pid" ]; then
        kill "$app_pid" 2>/dev/null
        wait "$app_pid" 2>/dev/null
    fi
    [ -z "$accessibility_launcher" ] || end_accessibility_bus
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        kill "${session_pids[i]}" 2>/dev/null
        wait "${session_pids[i]}" 2>/dev/null
    done
    rm -rf "$work"
    return 0
}
trap end_session EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# wait_for TENTHS COMMAND...: retries COMMAND until it succeeds, at most
# TENTHS tenths of a second.
wait_for() {
    local tries=$1
    shift
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# X_SESSION_SCREEN sets the screen's WIDTHxHEIGHTxDEPTH (800x600x24).
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${X_SESSION_SCREEN:-800x600x24}" -noreset -nolisten tcp 3>"$work/display" \
        >/dev/null 2>&1 &
    session_pids+=($!)
    wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=:$(cat "$work/display")
    # A key for ы (and Ы), as a Russian layout has, mapped before the program
    # reads the keymap: left to xdotool, the mapping would be made and undone
    # around each key press, racing the program's reading of it.
    xmodmap -e "keycode 255 = Cyrillic_yeru Cyrillic_YERU" || fail "xmodmap failed"
    mkdir -m 700 "$work/runtime"
    export XDG_RUNTIME_DIR=$work/runtime
}

window_manager=
start_window_manager() {
    window_manager=openbox
    openbox --sm-disable >/dev/null 2>&1 &
    session_pids+=($!)
    wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        fail "openbox did not start"
}

# A private D-Bus session bus for the test, ended with the session.
start_session_bus() {
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid" ||
        fail "no session bus"
    session_pids+=("$(cat "$work/bus.pid")")
    export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
}

# The accessibility bus, as a desktop session starts it, switched on (on the
# session bus, which must run); ended with the session, with the children
# it starts (the bus and the registry).
start_accessibility_bus() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    accessibility_launcher=$!
    session_pids+=("$accessibility_launcher")
    wait_for 100 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress || fail "no accessibility bus"
    # On X the toolkit also looks for the bus on the root window.
    if [ -n "${DISPLAY:-}" ]; then
        wait_for 100 sh -c 'xprop -root AT_SPI_BUS | grep -q unix:' || fail "no accessibility bus on X"
    fi
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >/dev/null || fail "could not switch accessibility on"
}

end_accessibility_bus() {
    local child
    for child in $(pgrep -P "$accessibility_launcher"); do
        kill "$child" 2>/dev/null
    done
}

start_session() {
    start_xvfb
    start_window_manager
}

# The C library's locale $1 (NAME.CHARSET), which gives the program its
# decimal separator: where the machine has not installed it, compiled from
# its source into the session's folder and found through LOCPATH.
provide_locale() {
    [ -n "$(LC_ALL=$1 locale 2>&1 >/dev/null)" ] || return 0
    mkdir -p "$work/locales"
    [ -d "$work/locales/$1" ] || localedef -i "${1%%.*}" -f "${1#*.}" "$work/locales/$1" >/dev/null 2>&1 ||
        fail "cannot compile the locale $1"
    export LOCPATH=$work/locales
}

# start_program [--locale LOCALE] [--within TENTHS] COMMAND...
# Starts the program (COMMAND with its arguments) under LOCALE (Russian
# unless given) and waits, at most TENTHS tenths of a second each (10 s
# unless given), until its window "Velto" is mapped and painted; sets
# app_pid, window and the client area's client_x, client_y, client_w, client_h.
start_program() {
    local locale=ru_RU.UTF-8 within=100
    while :; do
        case $1 in
        --locale) locale=$2 && shift 2 ;;
        --within) within=$2 && shift 2 ;;
        *) break ;;
        esac
    done
    provide_locale "$locale"
    LC_ALL=$locale "$@" >"$work/program.log" 2>&1 &
    app_pid=$!
    wait_for "$within" program_window || fail "no window named Velto"
    window=$(program_window)
    wait_for "$within" sh -c "xwininfo -id $window | grep -q IsViewable" || fail "window not mapped"
    read_geometry
    # Painted once the task statement's yellow shows (at the window's scale).
    local x=$((client_x + 395 * client_w / 409)) y=$((client_y + 85 * client_w / 409))
    wait_for "$within" bash -c "[ \"\$(pixel $x $y)\" = ffff00 ]" || fail "window not painted"
    # Keys go to the active window: the window manager has made it so.
    if [ -n "$window_manager" ]; then
        wait_for "$within" sh -c "[ \"\$(xdotool getactivewindow)\" = $window ]" ||
            fail "the window never became active"
    fi
}

# Whether process $1 is $2 or was started below it.
descends_from() {
    local pid=$1 line rest
    while [ "$pid" -gt 1 ]; do
        [ "$pid" != "$2" ] || return 0
        { read -r line </proc/"$pid"/stat; } 2>/dev/null || return 1
        rest=${line##*) }
        rest=${rest#* }
        pid=${rest%% *}
    done
    return 1
}

# The window named Velto that the program this run started shows (under Wine,
# a process below it): never a window of an earlier run that the X server has
# not yet destroyed.
program_window() {
    local id
    for id in $(xdotool search --name '^Velto$' 2>/dev/null); do
        descends_from "$(xdotool getwindowpid "$id" 2>/dev/null || echo 0)" "$app_pid" || continue
        echo "$id"
        return 0
    done
    return 1
}

read_geometry() {
    eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print "client_x=" $NF}
        /Absolute upper-left Y/ {print "client_y=" $NF}
        /Width:/ {print "client_w=" $NF} /Height:/ {print "client_h=" $NF}')"
}

# A checksum of the screen area $1 (WIDTHxHEIGHT+X+Y).
screen_checksum() {
    import -window root -crop "$1" +repage ppm:- | md5sum
}
export -f screen_checksum

# Waits until the screen area $1 no longer has checksum $2.
wait_for_screen_change() {
    wait_for 50 bash -c "[ \"\$(screen_checksum $1)\" != '$2' ]"
}

# The colour of the screen pixel at ($1, $2) as six hex digits.
pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- | awk 'NR == 2 {print tolower(substr($3, 2, 6))}'
}
export -f pixel

# Waits for the program to end by itself and checks its exit status.
expect_program_ends_with() {
    # Under Wine on a busy machine the end may take many seconds.
    wait_for 300 sh -c "! { [ -r /proc/$app_pid/stat ] && ! grep -q '^[0-9]* (.*) Z' /proc/$app_pid/stat; }" ||
        fail "the program is still running"
    local status=0
    wait "$app_pid" || status=$?
    app_pid=
    # What the program (or Wine) said last, to tell a crash from an end.
    [ "$status" -eq "$1" ] ||
        fail "exit status $status, expected $1; the program's last output:
$(tail -n 20 "$work/program.log" 2>/dev/null)"
}

# The processes below this shell, "PID NAME" a line, sorted; zombies left
# out. Run as a child subreaper (tools/subreaper), the shell keeps below it
# whatever the programs it started left running, however they detached;
# nothing else on the machine is listed. Call it in the shell itself (not in
# $(...)): it reads /proc with builtins, so the listing adds no process.
processes_below() {
    local file line pid up rest
    local -A parent=() name=()
    for file in /proc/[0-9]*/stat; do
        { read -r line <"$file"; } 2>/dev/null || continue
        pid=${line%% *} rest=${line##*) }
        [ "${rest%% *}" != Z ] || continue
        rest=${rest#* }
        parent[$pid]=${rest%% *}
        line=${line#*\(}
        name[$pid]=${line%\)*}
    done
    for pid in "${!parent[@]}"; do
        up=${parent[$pid]}
        while [ "$up" != $$ ] && [ -n "${parent[$up]:-}" ]; do up=${parent[$up]}; done
        [ "$up" != $$ ] || echo "$pid ${name[$pid]}"
    done | sort
}

# No process started by this test is left once the program has ended.
expect_no_program_left() {
    local left
    left=$(pgrep -P $$ -x "$(basename "$1")" || true)
    [ -z "$left" ] || fail "processes left behind: $left"
}
