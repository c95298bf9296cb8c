#!/usr/bin/env bash
# What the screen reader Orca says of the page in a real browser (chromium or
# firefox-esr, with a window, in the private X session of orca-session.sh):
# the page read from its top as it loads, the task whole and each instruction
# once; the answer within two seconds of Calculate by Return, by a second
# Return, and by Alt+В from the Exit button; nothing said before the page is
# ready, and nothing offered as something to click but the buttons.
# usage: orca.sh chromium|firefox PAGE [COPY-OF-ORCA-LOG]
set -uo pipefail
browser=$1
page=$(realpath "$2")
export ORCA_LOG_COPY=${3:-}
export X_SESSION_SCREEN=1024x768x24
source "$(dirname "${BASH_SOURCE[0]}")/../desktop/orca-session.sh"

start_orca
provide_locale ru_RU.UTF-8
url="file://$page"
profile=$work/profile
mkdir -p "$profile"
case $browser in
chromium)
    # As root, chromium runs only without its sandbox.
    [ "$(id -u)" != 0 ] || sandbox=--no-sandbox
    # No offer to translate the page, which a reader would hear first.
    mkdir -p "$profile/Default"
    echo '{"translate": {"enabled": false}}' >"$profile/Default/Preferences"
    command=(env LANGUAGE=ru chromium ${sandbox:-} --user-data-dir="$profile" --no-first-run
        --no-default-browser-check --disable-gpu --disable-breakpad --password-store=basic
        --disable-features=Translate --force-renderer-accessibility --lang=ru --accept-lang=ru
        --window-position=0,0 --window-size=1000,700 "$url")
    ;;
firefox)
    cat >"$profile/user.js" <<'PREFS'
user_pref("intl.locale.requested", "ru");
user_pref("intl.accept_languages", "ru");
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.newtabpage.enabled", false);
user_pref("browser.newtab.preload", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
PREFS
    command=(env GNOME_ACCESSIBILITY=1 firefox-esr --no-remote --new-instance --profile "$profile" "$url")
    ;;
*) fail "no browser $browser" ;;
esac
command -v "${command[2]}" >/dev/null || { echo "SKIP: no $browser"; exit 77; }

# The browser in a process group of its own, ended whole with the session.
opened=$(now)
LC_ALL=ru_RU.UTF-8 setsid "${command[@]}" >"$work/browser.log" 2>&1 &
app_pid=$!
end_browser() {
    kill -TERM -- "-$app_pid" 2>/dev/null
    wait_for 100 sh -c "! kill -0 -- -$app_pid" || kill -KILL -- "-$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
    app_pid=
}
trap 'end_browser; end_orca; end_session' EXIT

# The page read as it loads, to its last button. Orca's own "Loading.
# Please wait." (below) can come in the middle of that reading and end it:
# then only, Orca is asked to read the page again from its top (Say All),
# and that reading is the one checked.
wait_spoken 600 1 "Задание" || fail "the task was not read as the page loaded"
reread=0
if ! wait_spoken 300 1 "Выход"; then
    grep -q -x -E '[0-9]+[[:space:]]+Please wait\.[[:space:]]*' "$spoken" ||
        fail "the reading of the page stopped before its end"
    reread=$(wc -l <"$spoken")
    xdotool key ctrl+Home
    sleep 0.5
    xdotool key KP_Add
    wait_spoken 300 1 "Выход" || fail "the page read again stopped before its end"
fi
wait_for 100 sh -c "tail -1 '$spoken' | grep -q 'push button'" || fail "the reading did not end"
loaded=$(($(now) - opened))

answer="00,01384 17"
# answer_within COUNT WHAT: the answer said COUNT times within two seconds
# of the key just pressed at $pressed; records how long it took.
answer_within() {
    if wait_spoken 20 "$1" "$answer"; then
        timings+="  $2: $(spoken_after "$pressed" "$answer") ms"$'\n'
    else
        echo "the answer was not said within two seconds of $2" >>"$work/faults"
    fi
}
timings=
pressed=$(now)
xdotool key Return
answer_within 1 "Return"
pressed=$(now)
xdotool key Return
answer_within 2 "a second Return"
# The browser's Tab to Calculate, then Exit.
xdotool key Tab
wait_spoken 50 1 "Вычислить push button" || fail "Tab did not bring the focus to Calculate"
xdotool key Tab
wait_spoken 50 1 "Выход push button" || fail "Tab did not bring the focus to Exit"
pressed=$(now)
xdotool key alt+Cyrillic_ve
answer_within 3 "Alt+В from Exit"
end_browser

read_what_was_said
echo "Orca said, in $browser (milliseconds after the browser started):"
awk -v since="$opened" '{ $1 = $1 - since; print "  " $0 }' "$spoken"
echo "The page read to its end $loaded ms after the browser started; the answer after"
printf '%s' "$timings"

# One text of what was said, single-spaced, from the page's title on.
# The page is ready when Orca sums it up: one landmark, one heading. The
# title comes first, with its role where Orca says it: where the browser gave
# the document the focus while it was still loading, Orca's reading from the
# top (seen once) names the title's text alone.
# Orca's own "Loading. Please wait.", for the browser's busy mark: Orca can
# take chromium's busy and not-busy events out of the order they were sent
# in (seen in its log), and then says it after its summary. Not a word of the
# page's, nor of its reading.
# said_from LINE: the texts from that line of the record on, as one text.
# Orca says "Loading.  Please wait." as one text, which the speech module
# splits into sentences, the second with the spaces before it.
said_from() {
    tail -n +"$1" "$spoken" | sed -E 's/^[0-9]+[[:space:]]*//' |
        grep -v -x -E '(Loading|Please wait)\.[[:space:]]*' | tr '\n' ' ' | tr -s ' '
}
read=$(said_from 1)
summary='Page has 1 landmark, 1 heading. '
reading=${read#*"$summary"}
if [ "$reread" != 0 ]; then
    reading=$(said_from $((reread + 1)))
    # From the title, where Say All starts (the keys to the top come first).
    reading="Velto heading level 1 ${reading#*Velto heading level 1 }"
    read="${read%%"$summary"*}$summary$reading"
fi
while [ "${reading#Velto heading level 1 }" != "$reading" ]; do reading=${reading#Velto heading level 1 }; done
reading=${reading#Velto }
reading=${reading%% return *}
task='Задание: "Вычислить сумму бесконечного ряда с точностью до 0,00001. Суммируются все члены ряда, значения которых больше 0,00001. Вычисление факториала организовать с помощью подпрограммы-функции. Ввод данных организовать с помощью функции InputBox, вывод - на элемент управления Label".'
formula='Формула: сумма по K от 1 до бесконечности, K факториал, делённое на факториал суммы 4 и K image'
calculate='Для вычисления конечной суммы данного ряла, нажмите кнопку "Вычислить" и Вы получите " О Т В Е Т " .'
exit='Для завершения работы программы нажмите кнопку "Выход".'
[ "$reading" = "$task $formula $calculate Вычислить push button О Т В Е Т $exit Выход push button" ] ||
    echo "not read from the title to Exit in order, each once: $reading" >>"$work/faults"
[ "${read%%"$summary"*}" != "$read" ] || echo "the page was not summed up as one landmark and one heading" >>"$work/faults"
# Before the summary, only the browser's own words.
! grep -q -e "О Т В Е Т" -e "Вычислить" <<<"${read%%"$summary"*}" ||
    echo "something of the window was said before the page was ready" >>"$work/faults"
[ "$(grep -o -F "Для вычисления" <<<"$read" | wc -l)" = 1 ] && [ "$(grep -o -F "Для завершения" <<<"$read" | wc -l)" = 1 ] ||
    echo "an instruction was said more than once" >>"$work/faults"
! grep -q -i "clickable" <<<"$read" || echo "something was offered as clickable" >>"$work/faults"
if [ -s "$work/faults" ]; then
    sed 's/^/FAIL: /' "$work/faults" >&2
    exit 1
fi
echo "ok: Orca read the page from its title in $browser, the answer after each Calculate"
