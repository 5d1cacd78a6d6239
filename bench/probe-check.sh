#!/usr/bin/env bash
# bench_xprobe frame-time sees a client's frame only in that client's own window, and calls a
# display that already shows the colour a harness fault (exit 3).
#
#   probe-check.sh XPROBE     (on a display of its own: tests/desktop/run-on-desktop.sh)
set -euo pipefail
xprobe="$1"
work="$(mktemp -d)"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
"$xprobe" paint-root 505050

# A client window of a known colour at a place; sets term (its process id).
term() { # colour geometry
    xterm -bg "$1" -geometry "$2" -e sleep 60 >/dev/null 2>&1 &
    term=$!
    pids+=("$term")
    for _ in $(seq 100); do
        xdotool search --pid "$term" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "xterm did not map" >&2
    exit 1
}

failures=0
expect() { # name wanted-exit-code probe arguments...
    local name=$1 want=$2 rc=0
    shift 2
    "$xprobe" "$@" >"$work/out" || rc=$?
    if [ "$rc" -ne "$want" ]; then
        echo "FAIL $name: exit $rc, wanted $want: $(tr '\n' ' ' <"$work/out")"
        failures=$((failures + 1))
    fi
}

since() { local t=$EPOCHREALTIME; echo "${t/./}000"; }

term white 40x10+400+300
white=$term
# The white client is watched while another client's red window appears.
"$xprobe" frame-time "$(since)" "$white" ff0000 200 100 2 >"$work/other" &
probe=$!
term red 40x10+0+0
rc=0
wait "$probe" || rc=$?
if [ "$rc" -ne 1 ]; then
    echo "FAIL another client's red is not this client's frame: exit $rc: $(tr '\n' ' ' <"$work/other")"
    failures=$((failures + 1))
fi
expect "clear display" 0 check-clear 00ff00
expect "display showing the colour" 3 check-clear ff0000
kill "$term"
wait "$term" 2>/dev/null || true
sleep 0.2
# A red client watched from its start.
xterm -bg red -geometry 40x10+0+0 -e sleep 60 >/dev/null 2>&1 &
pids+=($!)
expect "the client's own red window" 0 frame-time "$(since)" "$!" ff0000 200 100 5
"$xprobe" paint-root ff0000
expect "colour on the display before the client drew" 3 frame-time "$(since)" "$white" ff0000 200 100 2
[ "$failures" -eq 0 ] && echo "all probe checks passed"
exit "$failures"
