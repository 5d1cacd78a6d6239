# Sourced by the shell test cases: fail MESSAGE prints it with the end of every log in
# $work and ends the case.
fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log; do
        [ -f "$log" ] && { echo "--- $log" >&2; tail -n 30 "$log" >&2; }
    done
    exit 1
}
