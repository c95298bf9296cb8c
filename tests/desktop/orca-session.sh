# Sourced by the Orca tests: the screen reader Orca in the private X session
# with the accessibility bus, a Russian keyboard, a private home for its
# settings and a speech-dispatcher of its own whose one output module writes
# each text to a file instead of a sound card: the file tells when Orca has
# spoken, its log what it said. ORCA_LOG_COPY, where set, gets a copy of the
# log. Everything started here is ended with the session.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/x-session.sh"

for tool in orca speech-dispatcher gsettings /usr/libexec/dconf-service; do
    command -v "$tool" >/dev/null || {
        echo "SKIP: $tool is not installed"
        exit 77
    }
done

# Orca ended by its fault handler leaves no core file.
ulimit -c 0
orca_pid=
orca_log=$work/orca.log
spoken=$work/spoken
a11y=org.gnome.desktop.a11y.applications

start_orca() {
    start_session
    setxkbmap ru || fail "no Russian keyboard layout"
    start_session_bus
    start_accessibility_bus

    export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
    export XDG_CACHE_HOME=$work/home/.cache
    local speechd_config=$XDG_CONFIG_HOME/speech-dispatcher
    mkdir -p "$speechd_config/modules" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    : >"$spoken"
    cat >"$speechd_config/speechd.conf" <<CONF
AddModule "record" "sd_generic" "record.conf"
DefaultModule record
DefaultLanguage "ru"
# No sound card: the module plays nothing, yet the server opens an output.
AudioOutputMethod "libao"
CONF
    # Each text with the time it was spoken, in milliseconds.
    cat >"$speechd_config/modules/record.conf" <<CONF
GenericExecuteSynth "printf '%s %s\\\\n' \$(date +%s%3N) \\'\$DATA\\' >>$spoken"
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

    # The desktop's screen-reader switch, in a settings service of our own:
    # on before Orca starts; switched off, it makes Orca shut down by itself
    # and write out the rest of its log (a signal waits for Orca's next event).
    /usr/libexec/dconf-service >/dev/null 2>&1 &
    session_pids+=($!)
    # Only once it has the bus name: the bus would otherwise start another.
    wait_for 100 sh -c "dbus-send --session --print-reply --dest=org.freedesktop.DBus \
        /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:ca.desrt.dconf |
        grep -q 'boolean true'" || fail "no settings service"
    wait_for 100 gsettings set $a11y screen-reader-enabled true || fail "no settings service"

    LC_ALL=C.UTF-8 orca --replace --debug-file "$orca_log" >"$work/orca.out" 2>&1 &
    orca_pid=$!
    trap 'end_orca; end_session' EXIT
    wait_spoken 300 1 "Screen reader on" || fail "Orca did not start"
}

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
    [ -z "${ORCA_LOG_COPY:-}" ] || cp "$orca_log" "$ORCA_LOG_COPY"
}

# wait_spoken TENTHS COUNT TEXT: waits until COUNT texts hold TEXT.
wait_spoken() {
    wait_for "$1" bash -c "[ \"\$(grep -c -F -- '$3' '$spoken')\" -ge $2 ]"
}

# The time now, in milliseconds, as the spoken texts are stamped.
now() { date +%s%3N; }

# spoken_after MILLISECONDS TEXT: how long after the time given TEXT was
# first spoken, in milliseconds; nothing where it was not.
spoken_after() {
    awk -v since="$1" -v text="$2" '$1 >= since && index($0, text) { print $1 - since; exit }' "$spoken"
}

# What Orca said, one text a line, as its log has it: written to $work/said.
read_what_was_said() {
    end_orca
    grep -q "ORCA: Shutdown complete" "$orca_log" || fail "Orca did not shut down by itself"
    sed -n "s/^[0-9:.]* - SPEECH OUTPUT: '\(.*\)' \{0,1\}{.*}\$/\1/p" "$orca_log" >"$work/said"
}

# between FIRST LAST: the texts said after the line FIRST up to the next
# line LAST.
between() { sed -n "/^$1\$/,/^$2\$/p" "$work/said" | sed '1d;$d'; }
