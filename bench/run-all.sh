#!/usr/bin/env bash
# Every benchmark of the launcher, each against its reference in the same run:
#
#   bench/run-all.sh [BUILD_DIR] [ROUNDS]
#
#   start-up   process start -> login window mapped, against a bare Qt window of its size
#   connect    Enter in the login window -> remote desktop painted, against xfreerdp from
#              process start -> remote desktop painted (same server, NLA, 1024x768, 16 bits,
#              no graphics pipeline, same channels, the same certificate store)
#   work       client CPU seconds per wall second while the server's screen changes
#              (xclock -update 1; a full-screen scrolling xterm), 1024x768 and 1920x1080
#   memory     peak resident memory at the login window, and of a 1920x1080 session
#   store      the Google Benchmark of the profile store
#
# "Painted" is seen the same way for both clients: the server's root window is red, and the
# client display's screen is polled (32 sample rows, every 10 ms) until 90 % of the remote
# desktop's share of those rows is red. Runs alternate between the program and its reference
# (the first of each pair alternating too); each figure prints min / median / max and the
# ratio of the medians. Ends only the processes it started.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"
rounds="${2:-5}"
work_rounds=3 # rounds that also measure CPU (each costs 2 x 8 s per client)
cpu_seconds=8

"$root/scripts/install-deps.sh" >&2
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j2 --target rdp-launcher rdp-store bench_store bench_bare_window \
    bench_xprobe bench_animate >/dev/null

launcher="$build/app/rdp-launcher"
store_tool="$build/tools/rdp-store"
bare="$build/bench/bench_bare_window"
xprobe="$build/bench/bench_xprobe"

work="$(mktemp -d)"
pids=()
servers=()
results="$work/results"
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for s in "${servers[@]}"; do "$root/scripts/rdp-test-server" stop --state "$s" >/dev/null 2>&1 || true; done
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
export WLOG_LEVEL=ERROR

now_ns() { local t=$EPOCHREALTIME; echo "${t/./}000"; }
record() { echo "$1 $2" >>"$results"; } # figure value
run_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s}'; }
hwm_kb() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }
end_pid() { # ends one of our processes and waits for it
    kill "$1" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
cpu_share() { # pid seconds -> client CPU seconds per wall second (threads' run time)
    local c0 c1 t0 t1
    c0=$(run_ns "$1"); t0=$(now_ns)
    sleep "$2"
    c1=$(run_ns "$1"); t1=$(now_ns)
    awk -v c=$((c1 - c0)) -v ns=$((t1 - t0)) 'BEGIN{printf "%.4f", c / ns}'
}

# A client display of the given size; sets DISPLAY.
client_display() {
    local fdfile="$work/display.$1"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
    export DISPLAY=":$(tr -d '\n' <"$fdfile")"
}

# A loopback server of the given size with a red screen and a small clock; sets server_*.
start_server() {
    local state="$work/server.$1"
    servers+=("$state")
    # A certificate store of this server's own (a new server has a new certificate).
    export XDG_CONFIG_HOME="$work/config.$1"
    eval "$("$root/scripts/rdp-test-server" start --size "$1" --state "$state" |
        sed -n 's/^\(port\|user\|password\|display\)=/server_\1=/p')"
    DISPLAY="$server_display" "$xprobe" paint-root ff0000
    DISPLAY="$server_display" xclock -update 1 -geometry 160x160+20+20 >/dev/null 2>&1 &
    pids+=($!)
}

# The program in a folder of its own ($2) with one connection to the server (size code $1).
prepare_program() {
    app="$work/apps/$2/rdp-launcher"
    mkdir -p "$app"
    cp "$launcher" "$build/session/freerdp/librdp-freerdp.so" "$app/"
    "$store_tool" add "$app/WinEx.DLL" --name "测试服务器" --server 127.0.0.1 \
        --port "${server_port:-3389}" --user "${server_user:-u}" \
        --password "${server_password:-p}" --save-password --size "$1" --color 2 \
        --audio 1 >/dev/null
}

# xfreerdp with the settings the program's connection gives the library: NLA, 16 bits,
# no sound, compression, bitmap cache, clipboard, printers and the local serial ports, and
# no graphics pipeline (xfreerdp 2.11 opens it even with -gfx; /network:modem leaves it
# off, as the program does; the server's log shows "Gfx Pipeline Opened" otherwise).
xfreerdp_args() {
    local n=0 dev
    xf_args=("/v:127.0.0.1:$server_port" "/u:$server_user" "/p:$server_password" /sec:nla
        "/size:$1" /bpp:16 /network:modem /audio-mode:2 +compression +bitmap-cache +clipboard /printer
        +auto-reconnect /auto-reconnect-max-retries:5)
    for dev in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*; do
        [ -e "$dev" ] || continue
        n=$((n + 1))
        xf_args+=("/serial:COM$n,$dev")
    done
}

# ---------------------------------------------------------------- start-up and login memory
startup() {
    client_display 1280x1024
    prepare_program 2 login
    local r i
    "$xprobe" map-time 425 224 -- "$app/rdp-launcher" >/dev/null # caches warm
    "$xprobe" map-time 425 224 -- "$bare" >/dev/null
    for r in $(seq $((rounds + 2))); do
        for i in 1 2; do
            if [ $(((r + i) % 2)) -eq 0 ]; then
                "$xprobe" map-time 425 224 -- "$app/rdp-launcher" >"$work/map"
                record startup.program "$(sed -n 's/map_ms=//p' "$work/map")"
                record loginrss.program "$(sed -n 's/hwm_kb=//p' "$work/map")"
            else
                "$xprobe" map-time 425 224 -- "$bare" >"$work/map"
                record startup.bare "$(sed -n 's/map_ms=//p' "$work/map")"
                record loginrss.bare "$(sed -n 's/hwm_kb=//p' "$work/map")"
            fi
        done
    done
}

# ---------------------------------------------------------------- sessions
scroller_start() {
    local cols=$(($1 / 6 + 1)) lines=$(($2 / 13 + 1))
    DISPLAY="$server_display" xterm -geometry "${cols}x${lines}+0+0" \
        -e sh -c 'while :; do seq 1 1000; done' >/dev/null 2>&1 &
    scroller=$!
    pids+=("$scroller")
    sleep 1
}

# Measures the running client $1 (figure suffix $2) while the server's screen changes.
measure_work() {
    local pid=$1 tag=$2 w=$3 h=$4
    record "cpu.clock.$size.$tag" "$(cpu_share "$pid" "$cpu_seconds")"
    scroller_start "$w" "$h"
    record "cpu.scroll.$size.$tag" "$(cpu_share "$pid" "$cpu_seconds")"
    end_pid "$scroller"
    [ "$size" = 1920x1080 ] && record "sessionrss.$tag" "$(hwm_kb "$pid")"
    return 0
}

program_session() { # measure_work? w h
    "$app/rdp-launcher" >"$work/launcher.log" 2>&1 &
    local pid=$! login t0
    pids+=("$pid")
    login="$(xdotool search --sync --onlyvisible --name '连接登录' 2>/dev/null | head -n 1)"
    xdotool windowfocus --sync "$login"
    sleep 1 # a user's pause before the keys
    xdotool key Return # from the user name on to the saved password
    sleep 0.2
    t0=$(now_ns)
    xdotool key Return
    "$xprobe" frame-time "$t0" "$pid" ff0000 "$2" "$3" >"$work/frame" || true
    record "connect.$size.program" "$(sed -n 's/frame_ms=//p' "$work/frame")"
    [ "$1" -eq 1 ] && measure_work "$pid" program "$2" "$3"
    end_pid "$pid"
}

xfreerdp_session() {
    local t0 pid
    xfreerdp_args "$2x$3"
    t0=$(now_ns)
    xfreerdp "${xf_args[@]}" >"$work/xfreerdp.log" 2>&1 &
    pid=$!
    pids+=("$pid")
    "$xprobe" frame-time "$t0" "$pid" ff0000 "$2" "$3" >"$work/frame" || true
    record "connect.$size.xfreerdp" "$(sed -n 's/frame_ms=//p' "$work/frame")"
    [ "$1" -eq 1 ] && measure_work "$pid" xfreerdp "$2" "$3"
    end_pid "$pid"
}

# $1 server size, $2 client screen, $3 the program's size code, $4 rounds
sessions() {
    size=$1
    local w=${1%x*} h=${1#*x} r first
    start_server "$1"
    client_display "$2"
    prepare_program "$3" "$1"
    # One connection that trusts the server's certificate on first use: both clients then
    # find it in the same store (XDG_CONFIG_HOME/freerdp) and nobody is asked.
    xfreerdp_args "$1"
    xfreerdp "${xf_args[@]}" /cert:tofu >/dev/null 2>&1 &
    local warm=$!
    pids+=("$warm")
    "$xprobe" frame-time "$(now_ns)" "$warm" ff0000 "$w" "$h" >/dev/null || true
    end_pid "$warm"
    for r in $(seq "$4"); do
        local measure=0
        [ "$r" -le "$work_rounds" ] && measure=1
        first=$((r % 2))
        if [ $first -eq 1 ]; then program_session $measure "$w" "$h"; fi
        xfreerdp_session $measure "$w" "$h"
        if [ $first -eq 0 ]; then program_session $measure "$w" "$h"; fi
        echo "  $size round $r done" >&2
    done
    "$root/scripts/rdp-test-server" stop --state "$work/server.$1" >/dev/null
}

# ---------------------------------------------------------------- report
stats() { # figure -> "n min median max" (empty values skipped)
    awk -v f="$1" '$1 == f && $2 != "" && $2 >= 0 {print $2}' "$results" | sort -g |
        awk '{v[NR] = $1} END {
            if (NR == 0) { print "0 - - -"; exit }
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%d %.4g %.4g %.4g\n", NR, v[1], m, v[NR] }'
}

row() { # label program-figure reference-figure target unit
    local p r
    read -r pn pmin pmed pmax <<<"$(stats "$2")"
    if [ -n "$3" ]; then
        read -r rn rmin rmed rmax <<<"$(stats "$3")"
    else
        rn=0 rmin=- rmed=- rmax=-
    fi
    p="$pmin / $pmed / $pmax ($pn)"
    r="$rmin / $rmed / $rmax ($rn)"
    local ratio=-
    if [ "$rmed" != - ] && [ "$pmed" != - ]; then
        ratio=$(awk -v a="$pmed" -v b="$rmed" 'BEGIN{ if (b > 0) printf "%.2f", a / b; else print "-" }')
    fi
    printf '| %-30s | %-30s | %-30s | %6s | %-14s |\n' "$1 ($5)" "$p" "$r" "$ratio" "$4"
}

store_bench() {
    "$build/bench/bench_store" --benchmark_filter='Store' --benchmark_min_time=0.2 \
        --benchmark_out="$work/store.csv" --benchmark_out_format=csv >&2
    local n
    for n in 100 1000 10000; do
        record "store.save.$n" "$(grep "^\"BM_SaveStore/$n\"" "$work/store.csv" | cut -d, -f3)"
        record "store.load.$n" "$(grep "^\"BM_LoadStore/$n\"" "$work/store.csv" | cut -d, -f3)"
    done
}

: >"$results"
echo "== start-up and login-window memory ($((rounds + 2)) runs each)" >&2
startup
echo "== sessions at 1024x768 ($rounds rounds, CPU in the first $work_rounds)" >&2
sessions 1024x768 1280x1024 2 "$rounds"
echo "== sessions at 1920x1080 ($work_rounds rounds)" >&2
sessions 1920x1080 1922x1110 0 "$work_rounds"
echo "== store" >&2
store_bench

echo
echo "min / median / max (runs); ratio = program median / reference median"
printf '| %-30s | %-30s | %-30s | %6s | %-14s |\n' figure program reference ratio target
printf '|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..32})" "$(printf -- '-%.0s' {1..32})" \
    "$(printf -- '-%.0s' {1..32})" "--------" "$(printf -- '-%.0s' {1..16})"
row "start-up, bare Qt window ref" startup.program startup.bare "<= 1.2x" ms
row "connect 1024x768 vs xfreerdp" connect.1024x768.program connect.1024x768.xfreerdp "<= 1.05x" ms
row "connect 1920x1080 vs xfreerdp" connect.1920x1080.program connect.1920x1080.xfreerdp "(info)" ms
for s in 1024x768 1920x1080; do
    row "CPU xclock $s" "cpu.clock.$s.program" "cpu.clock.$s.xfreerdp" "<= 0.9x" "s/s"
    row "CPU scrolling xterm $s" "cpu.scroll.$s.program" "cpu.scroll.$s.xfreerdp" "<= 0.9x" "s/s"
done
row "login window RSS, bare ref" loginrss.program loginrss.bare "< 61440 kB" kB
row "session RSS 1920x1080" sessionrss.program sessionrss.xfreerdp "<= 1.0x" kB
for n in 100 1000 10000; do
    row "store save $n profiles" "store.save.$n" "" "< 50 ms, linear" ms
    row "store load $n profiles" "store.load.$n" "" "< 50 ms, linear" ms
done
