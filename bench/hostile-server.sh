#!/usr/bin/env bash
# The FreeRDP control's memory against a server that misbehaves (tests/e2e/hostile_peer):
# for each case the client's peak resident memory and how the session ended; for a pointer
# flood of FLOOD_SECONDS its resident memory before, at the end of the flood and 10 s after.
#
#   bench/hostile-server.sh [BUILD_DIR] [FLOOD_SECONDS] [POINTERS_A_SECOND]
#
# The client is the measuring client of bench/connect-and-cpu.sh (a 1024x768 session) on an
# Xvfb display of its own (tests/e2e/run-under-xvfb.sh). Ends only the processes it started.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# The client gets a display of its own (the script runs again under it).
[ -n "${HOSTILE_ON_XVFB:-}" ] || HOSTILE_ON_XVFB=1 exec "$root/tests/e2e/run-under-xvfb.sh" "$0" "$@"
build="${1:-$root/build}"
flood_seconds="${2:-60}"
rate="${3:-0}" # pointers a second, 0: as fast as the client takes them
probe="$build/tests/e2e/connect_probe"
peer="$build/tests/e2e/hostile_peer"
for f in "$probe" "$peer"; do [ -x "$f" ] || { echo "build $f first" >&2; exit 1; }; done

work="$(mktemp -d)"
port=34980
while ss -ltnH "sport = :$port" | grep -q LISTEN; do port=$((port + 1)); done
peer_pid=""
probe_pid=""
cleanup() {
    kill $peer_pid $probe_pid 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export WLOG_LEVEL=OFF
winpr-makecert -silent -rdp -path "$work" peer >/dev/null

kb() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status" 2>/dev/null || true; }
mb() { awk -v k="${1:-0}" 'BEGIN{printf "%.0f MB", k / 1024}'; }
wait_for() { # file text tenths-of-a-second
    for _ in $(seq "$3"); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
    return 1
}

# Starts the peer in a mode and the client against it.
start() {
    : >"$work/peer.out"
    "$peer" "$port" "$work/peer.crt" "$work/peer.key" "$@" >"$work/peer.out" 2>/dev/null &
    peer_pid=$!
    wait_for "$work/peer.out" listening 100
    "$probe" 127.0.0.1 "$port" u p "$work/cfg" 3600 >"$work/probe.out" 2>/dev/null &
    probe_pid=$!
}

stop() {
    kill $probe_pid $peer_pid 2>/dev/null || true
    wait $probe_pid $peer_pid 2>/dev/null || true
    probe_pid="" peer_pid=""
    port=$((port + 1))
}

# Follows the client for some seconds; prints its peak and how the session ended.
row() { # label seconds peer-arguments...
    local label=$1 seconds=$2 peak=0 hwm
    shift 2
    start "$@"
    for _ in $(seq $((seconds * 10))); do
        hwm=$(kb "$probe_pid" VmHWM)
        [ -n "$hwm" ] && peak=$hwm || break
        sleep 0.1
    done
    local ended; ended=$(sed -n 's/^disconnected=//p' "$work/probe.out")
    printf '%-28s peak %-8s %s\n' "$label" "$(mb "$peak")" \
        "$([ -n "$ended" ] && echo "session ended, reason $ended" || echo "session up")"
    stop
}

row "desktop 8192x8192" 8 resize 8192 8192
row "desktop 16384x16384" 8 resize 16384 16384
row "desktop 32766x32766" 8 resize 32766 32766
row "desktop 16384x16384 at start" 8 connect 16384 16384
row "desktop 0x0" 8 resize 0 0

start pointers "$flood_seconds" "$rate"
wait_for "$work/peer.out" "flood begins" 200
before=$(kb "$probe_pid" VmRSS)
wait_for "$work/peer.out" "flood done" $(((flood_seconds + 30) * 10))
at_end=$(kb "$probe_pid" VmRSS)
sleep 10
after=$(kb "$probe_pid" VmRSS)
printf 'pointer flood %ss: %s pointers; RSS before %s, at the end %s, 10 s after %s, peak %s\n' \
    "$flood_seconds" "$(sed -n 's/^flood done //p' "$work/peer.out")" "$(mb "$before")" \
    "$(mb "$at_end")" "$(mb "$after")" "$(mb "$(kb "$probe_pid" VmHWM)")"
stop
