# Sourced by the test scripts that make many checks. Each check prints
# "ok: WHAT" or "FAIL: WHAT ...", counts a failure and goes on, so that one
# run shows every problem; `finish`, last, reports the count and fails the
# script if it is not zero.
failures=0

passed() { echo "ok: $1"; }
failed() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# check DESCRIPTION COMMAND...: the command succeeds; its output is shown if not.
check() {
    local description=$1 output
    shift
    if output=$("$@" 2>&1); then
        passed "$description"
    else
        failed "$description"
        echo "$output"
    fi
}

# expect DESCRIPTION TEXT STRING: TEXT contains the fixed STRING.
expect() {
    if grep -qF -- "$3" <<<"$2"; then
        passed "$1"
    else
        failed "$1: no '$3' in:"
        echo "$2"
    fi
}

# same DESCRIPTION ACTUAL EXPECTED
same() {
    if [ "$2" = "$3" ]; then
        passed "$1"
    else
        failed "$1: $2, not $3"
    fi
}

finish() {
    echo "$failures failure(s)"
    [ "$failures" -eq 0 ]
}
