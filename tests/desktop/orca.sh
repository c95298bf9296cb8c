#!/usr/bin/env bash
# What the screen reader Orca says, from its own debug log: when the window
# appears, after Calculate by Return, after Calculate by its access key from
# the Exit button; and that the Exit key ends the program while Orca runs.
# Orca runs in the private X session with the accessibility bus, a Russian
# keyboard, a private home for its settings and a speech-dispatcher of its
# own whose one output module writes each text to a file instead of a sound
# card: the file tells when Orca has spoken, its log what it said.
# usage: orca.sh PROGRAM [COPY-OF-ORCA-LOG]
set -uo pipefail
program=$1
log_copy=${2:-}
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/../../tools/x-session.sh"

for tool in orca speech-dispatcher gsettings /usr/libexec/dconf-service; do
    command -v "$tool" >/dev/null || {
        echo "SKIP: $tool is not installed"
        exit 77
    }
done

# Orca ended by its fault handler leaves no core file.
ulimit -c 0
start_session
setxkbmap ru || fail "no Russian keyboard layout"
start_session_bus
start_accessibility_bus

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache
speechd_config=$XDG_CONFIG_HOME/speech-dispatcher
mkdir -p "$speechd_config/modules" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
spoken=$work/spoken
: >"$spoken"
cat >"$speechd_config/speechd.conf" <<CONF
AddModule "record" "sd_generic" "record.conf"
DefaultModule record
DefaultLanguage "ru"
# No sound card: the module plays nothing, yet the server opens an output.
AudioOutputMethod "libao"
CONF
cat >"$speechd_config/modules/record.conf" <<CONF
GenericExecuteSynth "printf '%s\\\\n' \\'\$DATA\\' >>$spoken"
GenericLanguage "ru" "ru" "utf-8"
GenericLanguage "en" "en" "utf-8"
AddVoice "ru" "MALE1" "ru"
AddVoice "en" "MALE1" "en"
CONF
speech-dispatcher --run-single --communication-method unix_socket \
    --socket-path "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" --timeout 0 \
    --config-dir "$speechd_config" >"$work/speechd.log" 2>&1 &
session_pids+=($!)
wait_for 100 test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ||
    fail "speech-dispatcher did not start"

# The desktop's screen-reader switch, in a settings service of our own: on
# before Orca starts; switched off, it makes Orca shut down by itself and
# write out the rest of its log (a signal waits for Orca's next event).
/usr/libexec/dconf-service >/dev/null 2>&1 &
session_pids+=($!)
# Only once it has the bus name: the bus would otherwise start another.
wait_for 100 sh -c "dbus-send --session --print-reply --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:ca.desrt.dconf |
    grep -q 'boolean true'" || fail "no settings service"
a11y=org.gnome.desktop.a11y.applications
wait_for 100 gsettings set $a11y screen-reader-enabled true || fail "no settings service"

orca_log=$work/orca.log
LC_ALL=C.UTF-8 orca --replace --debug-file "$orca_log" >"$work/orca.out" 2>&1 &
orca_pid=$!
# Orca is ended before the rest of the session, whatever the outcome: by the
# switch, or where it does not answer that, by force.
end_orca() {
    if [ -n "$orca_pid" ]; then
        # Right after the program has ended, Orca's shutdown fails on the
        # program's script, still active; the switch goes on and off again
        # until Orca has gone. Where it hangs, Python's fault handler
        # writes where to the log.
        wait_for 300 sh -c "gsettings set $a11y screen-reader-enabled false
            sleep 0.2; ! kill -0 $orca_pid || { gsettings set $a11y screen-reader-enabled true; false; }" ||
            kill -ABRT "$orca_pid"
        wait "$orca_pid"
        orca_pid=
    fi
    [ -z "$log_copy" ] || cp "$orca_log" "$log_copy"
}
trap 'end_orca; end_session' EXIT

# wait_spoken TENTHS COUNT TEXT: waits until COUNT texts hold TEXT.
wait_spoken() {
    wait_for "$1" bash -c "[ \"\$(grep -c -F -- '$3' '$spoken')\" -ge $2 ]"
}

wait_spoken 300 1 "Screen reader on" || fail "Orca did not start"
start_program "$program"
wait_spoken 100 1 "Для вычисления" || fail "Orca said nothing of the focused button"

answer="00,01384 17"
xdotool key Return
wait_spoken 10 1 "$answer" || echo "the answer was not spoken within a second of Return" >>"$work/faults"
xdotool key Tab
wait_spoken 100 1 "Для завершения" || fail "Orca said nothing of the Exit button"
xdotool key alt+Cyrillic_ve
wait_spoken 10 2 "$answer" || echo "the answer was not spoken within a second of Alt+В" >>"$work/faults"
xdotool key alt+Cyrillic_yeru
expect_program_ends_with 0

end_orca
grep -q "ORCA: Shutdown complete" "$orca_log" || fail "Orca did not shut down by itself"

# What Orca said, one text a line, from the window's appearance on.
sed -n "s/^[0-9:.]* - SPEECH OUTPUT: '\(.*\)' \{0,1\}{.*}\$/\1/p" "$orca_log" |
    sed -n '/^Velto /,$p' >"$work/said"
echo "Orca said:"
sed 's/^/  /' "$work/said"
# between FIRST LAST: the texts after the line FIRST up to the next line LAST.
between() { sed -n "/^$1\$/,/^$2\$/p" "$work/said" | sed '1d;$d'; }

task='Задание: "Вычислить сумму бесконечного ряда с точностью до 0,00001. Суммируются все члены ряда, значения которых больше 0,00001. Вычисление факториала организовать с помощью подпрограммы-функции. Ввод данных организовать с помощью функции InputBox, вывод - на элемент управления Label".'
appeared=$(sed -n '1,/^return $/p' "$work/said" | sed '$d')
[ "$appeared" = "Velto dialog $task
Вычислить push button.
Для вычисления конечной суммы данного ряла, нажмите кнопку \"Вычислить\" и Вы получите \" О Т В Е Т \" ." ] ||
    echo "on appearance, not the title, the task once, then Calculate and its instruction" >>"$work/faults"
[ "$(between 'return ' 'tab ')" = "notification $answer." ] ||
    echo "after Return, not the answer once" >>"$work/faults"
[ "$(sed -n '/^tab $/,$p' "$work/said" | sed -n '/^left alt $/,$p' | sed '1d' | sed -n '1,/^left alt $/p' |
    sed '$d')" = "notification $answer." ] ||
    echo "after Alt+В from Exit, not the answer once" >>"$work/faults"
! grep -q '  ' "$work/said" || echo "a run of spaces reached the reader" >>"$work/faults"
if [ -s "$work/faults" ]; then
    sed 's/^/FAIL: /' "$work/faults" >&2
    exit 1
fi
echo "ok: Orca read the task once, the answer after each Calculate; Alt+ы ended the program"
