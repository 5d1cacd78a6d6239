#!/usr/bin/env bash
# Connect time and CPU of the launcher's FreeRDP control against xfreerdp, same server,
# same settings (NLA, no graphics pipeline, 16 bits per pixel, no sound, 1024x768).
#
#   bench/connect-and-cpu.sh [BUILD_DIR] [ROUNDS] [SECONDS]
#
# Each round connects each client once. Connect times: from process start to the
# session being active (both), and for the control from Connect() to its first painted
# frame. CPU: the client process (and the server) while xclock redraws every second on the
# server's display, over SECONDS after the first frame.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
rounds="${2:-3}"
seconds="${3:-10}"
probe="$build/tests/e2e/connect_probe"
xprobe="$build/bench/bench_xprobe"
for tool in "$probe" "$xprobe"; do [ -x "$tool" ] || { echo "build $tool first" >&2; exit 1; }; done

work="$(mktemp -d)"
port=34990
while ss -ltnH "sport = :$port" | grep -q LISTEN; do port=$((port + 1)); done
fdfile="$work/client.display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
client_xvfb=$!
cleanup() {
    kill "$client_xvfb" ${clock_pid:-} 2>/dev/null || true
    "$root/scripts/rdp-test-server" stop --state "$work/server" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
eval "$("$root/scripts/rdp-test-server" start --port "$port" --state "$work/server")"
DISPLAY="$display" xclock -update 1 -geometry 400x400+100+100 >/dev/null 2>&1 &
clock_pid=$!
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
export DISPLAY=":$(tr -d '\n' <"$fdfile")"
shadow_pid="$(cat "$work/server/shadow.pid")"
tck=$(getconf CLK_TCK)

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
cpu_over() { # pid seconds -> "client% server%"
    local c0 s0 c1 s1
    c0=$(ticks "$1"); s0=$(ticks "$shadow_pid")
    sleep "$2"
    c1=$(ticks "$1"); s1=$(ticks "$shadow_pid")
    awk -v c=$((c1 - c0)) -v s=$((s1 - s0)) -v t="$tck" -v d="$2" \
        'BEGIN{printf "%.1f %.1f", 100*c/t/d, 100*s/t/d}'
}

run_control() {
    local out="$work/probe.out"
    WLOG_LEVEL=ERROR QT_QPA_PLATFORM=xcb "$probe" "$host" "$port" "$user" "$password" \
        "$work/cfg" $((seconds + 2)) >"$out" 2>/dev/null &
    local pid=$!
    for _ in $(seq 400); do grep -q first_frame_ms "$out" && break; sleep 0.05; done
    local cpu; cpu=$(cpu_over "$pid" "$seconds")
    wait "$pid" || true
    local c f; c=$(sed -n 's/start_to_connected_ms=//p' "$out"); f=$(sed -n 's/^first_frame_ms=//p' "$out")
    echo "control  start->active ${c} ms  Connect->first frame ${f} ms  cpu client/server ${cpu/ / / } %"
}

run_xfreerdp() {
    # WLog's own milliseconds are GetTickCount() % 1000 beside a wall-clock second: the lines
    # are stamped on arrival instead (ms from the start).
    local out="$work/xf.out" pid active
    stdbuf -oL -eL xfreerdp "/v:$host:$port" "/u:$user" "/p:$password" /cert:ignore /sec:nla \
        -gfx /bpp:16 /audio-mode:2 /size:1024x768 /log-level:DEBUG \
        > >("$xprobe" stamp-lines "$(date +%s%N)" >"$out") 2>&1 &
    pid=$!
    for _ in $(seq 400); do grep -q "CONNECTION_STATE_ACTIVE" "$out" && break; sleep 0.05; done
    active=$(grep -m1 "CONNECTION_STATE_ACTIVE" "$out" | awk '{printf "%d", $1}')
    local cpu; cpu=$(cpu_over "$pid" "$seconds")
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    echo "xfreerdp start->active ${active} ms  cpu client/server ${cpu/ / / } %"
}

echo "server $host:$port display $display, client display $DISPLAY, $rounds rounds, ${seconds}s CPU windows"
for r in $(seq "$rounds"); do
    echo "-- round $r"
    run_control
    run_xfreerdp
done
