#!/usr/bin/env bash
# Vantrel1.exe in a real window under Xvfb, openbox and Wine, used as a
# person would with xdotool, in a private Wine prefix made for this run.
# usage: real-window.sh ARCH VANTREL1_EXE READ_WINDOW_EXE SCENARIO
set -uo pipefail
# Run as a child subreaper, so that whatever Wine leaves running (its server
# detaches itself) stays below this script, where it is looked for.
[ -n "${REAL_WINDOW_SUBREAPER:-}" ] ||
    REAL_WINDOW_SUBREAPER=1 exec "$(dirname "$0")/../../tools/subreaper" "$BASH" "$0" "$@"
unset REAL_WINDOW_SUBREAPER
arch=$1 exe=$2 reader=$3 scenario=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run=$here/../../tools/wine-run
"$wine_run" "$arch" --version >/dev/null 2>&1
[ $? -ne 77 ] || { echo "this machine cannot run $arch Wine: skipped"; exit 77; }
source "$here/../../tools/x-session.sh"

export WINE_RUN_PREFIX=$work/prefix
end_wine() { "$wine_run" "$arch" wineserver -k 2>/dev/null; }
trap 'end_wine; end_session' EXIT

# The screen's dots per inch, as the scenario sets it in the prefix.
dpi=96
case "$scenario" in dpi-192) dpi=192 ;; labels-144) dpi=144 ;; esac
# Room for the window at up to twice the pixels.
[ "$dpi" -gt 96 ] && export X_SESSION_SCREEN=1280x1024x24
start_session
processes_below >"$work/processes.before"
# The prefix's first start, its errors kept for the report. Tried twice: a
# first start that fails on a loaded machine says why and is not the program's
# fault; a second failure is.
boot_prefix() {
    WINEDEBUG=err+all "$wine_run" "$arch" wineboot -i >"$work/wineboot.log" 2>&1
}
if ! boot_prefix; then
    echo "the prefix's first start failed: $(tail -5 "$work/wineboot.log")" >&2
    end_wine
    boot_prefix || fail "no Wine prefix: $(tail -5 "$work/wineboot.log")"
fi
# A Russian keyboard, for Wine to take its layout from as the program starts:
# Alt+ы is then the key a Russian user presses. Set once the prefix's own
# processes are up, so none of them reads a keymap still changing.
case "$scenario" in plain-yeru) setxkbmap ru || fail "setxkbmap failed" ;; esac
if [ "$dpi" -ne 96 ]; then
    "$wine_run" "$arch" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1 || fail "could not set the DPI"
fi
locale=ru_RU.UTF-8
# Xlib turns the Cyrillic key into text only under a UTF-8 locale the C
# library has; a fresh Debian has C.UTF-8.
case "$scenario" in plain-yeru) locale=C.UTF-8 ;; esac
# A decimal separator Windows' own settings would not take, set by the user
# in the registry: forty characters (under the program's locale:
# Wine rewrites these settings when it changes, so the new prefix's
# services, started under another, must have ended).
case "$scenario" in
long-separator)
    separator=$(printf '%040d' 0 | tr 0 '~')
    "$wine_run" "$arch" wineserver -w
    LC_ALL=$locale "$wine_run" "$arch" reg add 'HKCU\Control Panel\International' /v sDecimal \
        /t REG_SZ /d "$separator" /f >/dev/null 2>&1 || fail "could not set the separator"
    "$wine_run" "$arch" wineserver -w # the setting saved as the server ends by itself
    ;;
esac

# The program started from a folder where a planted oleacc.dll lies beside
# it, as in a downloads folder, with Windows' search order for a library that
# is not one of its KnownDLLs: the program's own folder first. Wine's errors
# are kept in the program's output, so that a crash tells whose it is.
client=$(dirname "$reader")/msaa_client.exe
overrides=
if [ "$scenario" = planted-oleacc ]; then
    mkdir "$work/downloads"
    cp "$exe" "$(dirname "$reader")/planted/oleacc.dll" "$work/downloads/"
    exe=$work/downloads/$(basename "$exe")
    overrides=oleacc=n,b
fi
WINEDEBUG=err+all WINEDLLOVERRIDES=$overrides start_program --locale "$locale" --within 300 "$wine_run" "$arch" "$exe"
read_back() { LC_ALL=$locale "$wine_run" "$arch" "$reader" 2>/dev/null | tr -d '\r'; }
export -f read_back
export locale wine_run arch reader
wait_for 50 bash -c "read_back | grep -q '^client'" || fail "the window cannot be read back"

# expect_read FIELD VALUE: waits until the window, read back, shows VALUE
# for FIELD ("answer": the answer label's text).
expect_read() {
    local got
    for _ in $(seq 50); do
        got=$(read_back | sed -n "s/^$1 //p")
        [ "$got" = "$2" ] && return 0
        sleep 0.1
    done
    fail "the $1 reads '$got', not '$2'"
}
expect_answer() { expect_read answer "$1"; }

# Pixels at the scenario's dpi from twips, rounded down as the window does.
px() { echo $(($1 * dpi / 1440)); }
# The client area's area $1 (WIDTHxHEIGHT+X+Y): its colours, "count red green
# blue" a line.
colours() {
    local size=${1%%+*} offset=${1#*+}
    import -window root -crop "$size+$((client_x + ${offset%%+*}))+$((client_y + ${offset#*+}))" \
        +repage -depth 8 -format %c histogram:info:- |
        sed -n 's/^ *\([0-9]*\): *( *\([0-9]*\), *\([0-9]*\), *\([0-9]*\)).*/\1 \2 \3 \4/p'
}
# Fails with message $3 unless the client area's area $1 is all colour $2 ("red green blue").
expect_all() {
    local got
    got=$(colours "$1")
    [ "$(wc -l <<<"$got")" -eq 1 ] && [ "${got#* }" = "$2" ] || fail "$3: $(tr '\n' ';' <<<"$got")"
}
# Waits until the labels are drawn: the client area looks the same twice in a row.
wait_until_drawn() {
    local area="${client_w}x${client_h}+${client_x}+${client_y}" before
    before=$(screen_checksum "$area")
    for _ in $(seq 30); do
        sleep 0.2
        [ "$(screen_checksum "$area")" = "$before" ] && return 0
        before=$(screen_checksum "$area")
    done
    fail "the window never settled"
}

# The labels' text at the scenario's dpi, once drawn: clear of the picture,
# no line cut off, and the frame's edge lines in place.
expect_labels_drawn() {
    local want=409x185
    [ "$dpi" = 144 ] && want=613x277
    [ "${client_w}x$client_h" = "$want" ] || fail "client area ${client_w}x$client_h, not $want"
    wait_until_drawn
    yellow='255 255 0' black='0 0 0'
    # On the picture's rows, the task statement's words stop left of it: a
    # word running under it would cross its left edge, and nothing shows
    # right of it.
    picture_left=$(px 4200) picture_right=$(px 5355) picture_bottom=$(px 675)
    label_top=$(px 120) label_right=$(px 6015) gap=$(px 120)
    rows=$((picture_bottom - label_top))
    expect_all "${gap}x$rows+$((picture_left - gap))+$label_top" "$yellow" "words under the picture"
    expect_all "$((label_right - picture_right))x$rows+$picture_right+$label_top" "$yellow" \
        "words right of the picture"
    # Below the last line, down to the frame line: no line cut off.
    last_rows=$(($(px 1320) - $(px 1290)))
    expect_all "$(px 5895)x$last_rows+$(px 120)+$(px 1290)" "$yellow" "a line cut off"
    # The edge lines on the last column and row.
    expect_all "1x$client_h+$((client_w - 1))+0" "$black" "right edge"
    expect_all "${client_w}x1+0+$((client_h - 1))" "$black" "bottom edge"
}

case "$scenario" in
geometry | dpi-192)
    want=409x185+199+179
    [ "$scenario" = dpi-192 ] && want=818x370+398+358
    got=$(read_back)
    grep -qx "client $want" <<<"$got" || fail "client area: $got"
    grep -qx 'resizable no' <<<"$got" || fail "resizable: $got"
    [ "$scenario" = geometry ] && expect_labels_drawn
    xdotool windowsize "$window" 600 400
    sleep 1
    grep -qx "client $want" <<<"$(read_back)" || fail "resized: $(read_back)"
    xdotool key alt+F4 # openbox's close
    expect_program_ends_with 0
    ;;
calculate-russian)
    answer='00,01384   17'
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
screen-reader | planted-oleacc)
    # What a screen reader reads, through MSAA from another process: the
    # table's readable controls in reading order, the lines left out; each
    # button described by its instruction; the labels' underlined letters no
    # shortcut of theirs.
    tree=$(LC_ALL=$locale "$wine_run" "$arch" "$client" tree 2>/dev/null | tr -d '\r')
    echo "$tree"
    if [ "$scenario" = planted-oleacc ]; then
        kill -0 "$app_pid" 2>/dev/null || fail "the planted oleacc.dll was loaded"
    fi
    field() { awk -F' [|] ' -v row="$(($1 + 1))" -v column="$2" 'NR == row {print $column}' <<<"$tree"; }
    [ "$(head -1 <<<"$tree")" = "children 7" ] || fail "not seven children"
    roles=$(sed -n '2,8p' <<<"$tree" | awk -F' [|] ' '{printf "%s;", $1}')
    [ "$roles" = "text;graphic;text;push button;text;text;push button;" ] || fail "roles: $roles"
    # Each object stands for its own control's window, whose class a reader takes.
    windows=$(sed -n '2,8p' <<<"$tree" | awk -F' [|] ' '{printf "%s;", $5}')
    [ "$windows" = "Static;Static;Static;Button;Static;Static;Button;" ] || fail "windows: $windows"
    # Every text single-spaced: a reader gets no runs of spaces.
    ! grep -q '  ' <<<"$tree" || fail "a text keeps a run of spaces"
    [[ "$(field 1 2)" == "Задание: \"Вычислить сумму бесконечного ряда с точностью"* ]] ||
        fail "the task statement is not first"
    [ "$(field 2 2)" = "Формула: сумма по K от 1 до бесконечности, K факториал, делённое на факториал суммы 4 и K" ] || fail "the picture's name"
    [[ "$(field 3 2)" == "Для вычисления"* ]] || fail "the Calculate instruction"
    [ "$(field 4 2)" = "Вычислить" ] && [ "$(field 7 2)" = "Выход" ] || fail "the buttons' names"
    [ "$(field 5 2)" = "О Т В Е Т" ] || fail "the answer's name"
    [[ "$(field 6 2)" == "Для завершения"* ]] || fail "the Exit instruction"
    [ "$(field 4 3)" = "$(field 3 2)" ] && [ "$(field 7 3)" = "$(field 6 2)" ] ||
        fail "a button not described by its instruction"
    [ "$(field 3 4)$(field 6 4)" = "--" ] || fail "an instruction claims a shortcut"
    [ "$(field 4 4) $(field 7 4)" = "Alt+В Alt+ы" ] || fail "the buttons' shortcuts"
    # Focus, place and hit testing from the controls' own standard objects.
    grep -qx 'focus Вычислить' <<<"$tree" || fail "the focus is not on Calculate"
    grep -qx 'hit Вычислить' <<<"$tree" || fail "Calculate is not found where it stands"
    if [ "$scenario" = planted-oleacc ]; then
        # Exit pressed by its default action, as a screen reader's command does.
        # The program may end before its answer to the client is sent; that
        # it ended, and how, is what follows.
        LC_ALL=$locale "$wine_run" "$arch" "$client" press 7 2>/dev/null
        case $? in 0 | 3) ;; *) fail "Exit not pressed" ;; esac
        expect_program_ends_with 0
    else
        # The answer is announced by the program itself: its name change and
        # its live region's, on the label's client object.
        LC_ALL=$locale "$wine_run" "$arch" "$client" announce >"$work/announce.log" 2>/dev/null &
        listener=$!
        wait_for 200 grep -q listening "$work/announce.log" || fail "the client is not listening"
        xdotool key Return
        wait "$listener"
        cat "$work/announce.log"
        for event in name live; do
            tr -d '\r' <"$work/announce.log" | grep -qx "announced $event 00,01384 17 | 00,01384 17" ||
                fail "no $event announcement: $(cat "$work/announce.log")"
        done
        xdotool key alt+F4
        expect_program_ends_with 0
    fi
    ;;
plain-yeru)
    # Typing ы without Alt is not Exit: the focused Calculate still answers
    # the Enter typed after it, and only Alt+ы ends the program.
    xdotool key Cyrillic_yeru Return
    expect_answer '00.01384   17'
    xdotool key alt+Cyrillic_yeru
    expect_program_ends_with 0
    ;;
long-separator)
    # The Russian locale's own separator in its place.
    xdotool key Return
    expect_answer '00,01384   17'
    xdotool key alt+F4
    expect_program_ends_with 0
    ;;
labels-144)
    expect_labels_drawn
    xdotool key alt+F4
    expect_program_ends_with 0
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
end_wine
# No process this test started through Wine is left (the program, wineserver,
# Wine's services), once the server has ended them.
nothing_left() {
    processes_below >"$work/processes.after"
    ! comm -13 "$work/processes.before" "$work/processes.after" | grep -q .
}
wait_for 50 nothing_left ||
    fail "processes left behind: $(comm -13 "$work/processes.before" "$work/processes.after")"
echo "ok: $scenario"
