#!/usr/bin/env bash
# What the screen reader Orca says, from its own debug log: when the window
# appears, after Calculate by Return, after Calculate by its access key from
# the Exit button; and that the Exit key ends the program while Orca runs.
# usage: orca.sh PROGRAM [COPY-OF-ORCA-LOG]
set -uo pipefail
program=$1
export ORCA_LOG_COPY=${2:-}
source "$(dirname "${BASH_SOURCE[0]}")/orca-session.sh"

start_orca
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

# What Orca said from the window's appearance on.
read_what_was_said
sed -i -n '/^Velto /,$p' "$work/said"
echo "Orca said:"
sed 's/^/  /' "$work/said"

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
