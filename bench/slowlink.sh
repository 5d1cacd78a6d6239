#!/usr/bin/env bash
# Both clients on a slow link: the shadow server (1024x768) in a network namespace behind a
# router whose links are shaped to RATE (tc tbf, 2 Mbit/s both ways unless given), the
# client in another, its screen a full-screen scrolling terminal (the light case of
# run-all.sh). Per client and round, over SECONDS:
#
#   updates/s  pictures the client drew (changes of the start of the terminal's lines)
#   kB/s       bytes the client's namespace received
#   latency    a change on the server's screen -> the client shows it: bench_animate marker
#              steps a counter above the terminal every ~500 ms and stamps each step once the
#              X server drew it; bench_xprobe watch stamps the client's window showing it
#   CPU        client CPU seconds per wall second
#   same       then the terminal and the marker pause for 2 s: 1 when the client's picture
#              then equals the server's screen (at 16-bit colour), 0 when work was lost
#   both       then both clients at once, each on a display of its own: per marker step the
#              program's stamp minus xfreerdp's (negative: the program showed it first)
#
#   bench/slowlink.sh [BUILD_DIR] [ROUNDS] [SECONDS]      (root: network namespaces)
#   SLOWLINK_RATE=2mbit SLOWLINK_BUFFER_MS=100
#
# Prints min / median / max per figure and client. Runs alternate between the clients.
# Removes its namespaces and ends only the processes it started.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-bench}"
rounds="${2:-3}"
seconds="${3:-20}"
rate="${SLOWLINK_RATE:-2mbit}"
buffer_ms="${SLOWLINK_BUFFER_MS:-100}"
red=ff0000

[ "$(id -u)" -eq 0 ] || { echo "slowlink: needs root (network namespaces)" >&2; exit 77; }
cmake --build "$build" -j2 --target rdp-launcher rdp-store rdp_freerdp_module bench_xprobe \
    bench_animate >/dev/null
xprobe="$build/bench/bench_xprobe"
animate="$build/bench/bench_animate"

work="$(mktemp -d)"
name="slow$$"
pids=()
cleanup() {
    set +e
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    "$root/scripts/rdp-test-server" stop --state "$work/server" >/dev/null 2>&1
    "$root/tests/net/netns.sh" down "$name"
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
export DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-session-bus WLOG_LEVEL=ERROR

# Each side's X display lives in its namespace (X clients reach it by its abstract socket,
# which is the namespace's own); its number is one no display on the machine uses.
free_display() {
    local n=$((100 + $$ % 400))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    echo "$n"
}
# (Arrays, not functions: a process started in the background keeps its id.)
set_sides() {
    client=(ip netns exec "$name-c" env DISPLAY=":$client_display")
    on=("${client[@]}")
    server=(ip netns exec "$name-s" env DISPLAY="$server_display")
}
rx_bytes() { "${client[@]}" cat /sys/class/net/eth0/statistics/rx_bytes; }
run_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s}'; }
end_pid() {
    kill "$1" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
    kill -9 "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# The link: the router sends at most RATE towards each side, queueing up to BUFFER_MS.
"$root/tests/net/netns.sh" up "$name"
for dev in rc rs; do
    ip netns exec "$name-r" tc qdisc add dev "$dev" root tbf rate "$rate" burst 16kb \
        latency "${buffer_ms}ms"
done
ip netns exec "$name-s" "$root/scripts/rdp-test-server" start --address 10.77.2.2 \
    --display "$(free_display)" --state "$work/server" >"$work/server.env"
server_port="" server_user="" server_password="" server_display=""
eval "$(sed -n 's/^\(port\|user\|password\|display\)=/server_\1=/p' "$work/server.env")"
read -ra server_pids <<<"$(tr '\n' ' ' <"$work/server/pids")"
pids+=("${server_pids[@]}")
client_display=$(free_display)
set_sides
"${server[@]}" "$xprobe" paint-root "$red"
client_screen() { # display number -> a grey Xvfb in the client's namespace
    ip netns exec "$name-c" Xvfb ":$1" -screen 0 1280x1024x24 -nolisten tcp -noreset \
        >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        ip netns exec "$name-c" env DISPLAY=":$1" xdpyinfo >/dev/null 2>&1 && break
        sleep 0.05
    done
    ip netns exec "$name-c" env DISPLAY=":$1" "$xprobe" paint-root 505050
}
client_screen "$client_display"
# A second display for both clients at once.
client2_display=$(free_display)
client_screen "$client2_display"
client2=(ip netns exec "$name-c" env DISPLAY=":$client2_display")

app="$work/app"
mkdir -p "$app"
cp "$build/app/rdp-launcher" "$build/session/freerdp/librdp-freerdp.so" "$app/"
"$build/tools/rdp-store" add "$app/WinEx.DLL" --name "测试服务器" --server 10.77.2.2 \
    --port "$server_port" --user "$server_user" --password "$server_password" \
    --save-password --size 2 --color 2 --audio 1 >/dev/null
# The settings the program gives the library (see run-all.sh).
xf_args=("/v:10.77.2.2:$server_port" "/u:$server_user" "/p:$server_password" /sec:nla
    /size:1024x768 /bpp:16 /network:modem /audio-mode:2 +compression +bitmap-cache +clipboard)

# The first connection trusts the server's certificate for both clients.
"${client[@]}" xfreerdp "${xf_args[@]}" /cert:tofu >/dev/null 2>&1 &
pids+=($!)
"${client[@]}" "$xprobe" frame-time "$(date +%s%N)" "$!" "$red" 1024 768 60 >&2 || true
end_pid "$!"

# The load and the marker above it, for the whole run.
"${server[@]}" xterm -geometry 171x60+0+0 -e sh -c 'while :; do seq 1 1000; done' \
    >/dev/null 2>&1 &
load=($!)
sleep 1
"${server[@]}" "$animate" marker 500 >"$work/stamps" &
load+=($!)
pids+=("${load[@]}")

# The clients start on the display "${on[@]}" (the client's namespace, one of its displays).
start_program() {
    "${on[@]}" "$app/rdp-launcher" >"$work/program.log" 2>&1 &
    pid=$!
    local login=""
    for _ in $(seq 500); do
        login="$("${on[@]}" xdotool search --onlyvisible --name '连接登录' 2>/dev/null | head -n 1)" || true
        [ -n "$login" ] && break
        sleep 0.02
    done
    "${on[@]}" xdotool windowfocus --sync "$login"
    sleep 1 # a user's pause before the keys
    "${on[@]}" xdotool key Return # from the user name on to the saved password
    sleep 0.05
    "${on[@]}" xdotool key Return
}

start_xfreerdp() {
    "${on[@]}" xfreerdp "${xf_args[@]}" >"$work/xfreerdp.log" 2>&1 &
    pid=$!
}

# "marker VALUE NS" seen -> milliseconds since the latest stamp of that value before it;
# the first value seen was drawn before the watch began.
latencies() {
    awk 'FNR == NR { t[$1] = t[$1] " " $2; next }
         $1 == "marker" && seen++ {
             n = split(t[$2], s, " "); best = 0
             for (i = 1; i <= n; i++) if (s[i] <= $3 && s[i] > best) best = s[i]
             if (best) printf "%.1f\n", ($3 - best) / 1e6 }' "$work/stamps" "$1"
}

# Until client $1 on display "${on[@]}" shows the marker stepping.
wait_stepping() {
    pids+=("$1")
    for _ in $(seq 60); do
        "${on[@]}" "$xprobe" watch "$1" 1 2>/dev/null | grep -c '^marker' | grep -qv '^[01]$' &&
            return
        sleep 0.5
    done
}

measure() { # client
    local rx0 rx1 c0 c1 t0 t1
    wait_stepping "$pid"
    rx0=$(rx_bytes) c0=$(run_ns "$pid") t0=$(date +%s%N)
    if ! "${client[@]}" "$xprobe" watch "$pid" "$seconds" >"$work/watch"; then
        echo "  $1: no session window; its log:" >&2
        tail -n 5 "$work/$1.log" >&2
        end_pid "$pid"
        return
    fi
    rx1=$(rx_bytes) c1=$(run_ns "$pid") t1=$(date +%s%N)
    kill -STOP "${load[@]}"
    sleep 2
    local here there
    # (The program's 1024x768 window shows 1023 columns and a scroll bar: the last ones
    # are left out.)
    here=$("${client[@]}" "$xprobe" picture-sum "$pid" 1000 740)
    there=$("${server[@]}" "$xprobe" picture-sum 0 1000 740)
    kill -CONT "${load[@]}"
    end_pid "$pid"
    echo "$1 same $([ "$here" = "$there" ] && echo 1 || echo 0)" >>"$work/results"
    local wall=$((t1 - t0))
    echo "$1 ups $(sed -n 's/^ups=//p' "$work/watch")" >>"$work/results"
    echo "$1 kBps $(awk -v b=$((rx1 - rx0)) -v ns=$wall 'BEGIN{printf "%.1f", b / ns * 1e6}')" \
        >>"$work/results"
    echo "$1 cpu $(awk -v c=$((c1 - c0)) -v ns=$wall 'BEGIN{printf "%.3f", c / ns}')" \
        >>"$work/results"
    latencies "$work/watch" | sed "s/^/$1 latency /" >>"$work/results"
    echo "  $1: $(grep -c "^$1 latency" "$work/results") latencies so far" >&2
}

: >"$work/results"
for r in $(seq "$rounds"); do
    for c in $( ((r % 2)) && echo program xfreerdp || echo xfreerdp program); do
        "start_$c"
        measure "$c"
    done
done

# Both clients at once, each on a display of its own, see the same steps of the marker: the
# difference of their stamps per step leaves the server's capture interval out.
together() {
    local program xfreerdp
    on=("${client[@]}")
    start_program
    program=$pid
    wait_stepping "$program"
    on=("${client2[@]}")
    start_xfreerdp
    xfreerdp=$pid
    wait_stepping "$xfreerdp"
    "${client[@]}" "$xprobe" watch "$program" "$seconds" >"$work/watch.program" &
    local w1=$!
    "${client2[@]}" "$xprobe" watch "$xfreerdp" "$seconds" >"$work/watch.xfreerdp" || true
    wait "$w1" || true
    end_pid "$program"
    end_pid "$xfreerdp"
    awk 'FNR == 1 { f++ } $1 == "marker" && seen[f]++ { t[f, $2] = $3 }
         END { for (k in t) { split(k, p, SUBSEP)
                   if (p[1] == 1 && ((2, p[2]) in t)) printf "%.1f\n", (t[k] - t[2, p[2]]) / 1e6 } }' \
        "$work/watch.program" "$work/watch.xfreerdp" | sed 's/^/both lead /' >>"$work/results"
}
for _ in $(seq "$rounds"); do together; done

echo "slow link ($rate, ${buffer_ms} ms buffer, 1024x768 scrolling terminal, $rounds x ${seconds} s):"
for f in ups kBps latency cpu same; do
    for c in program xfreerdp; do
        awk -v c=$c -v f=$f '$1 == c && $2 == f {print $3}' "$work/results" | sort -g |
            awk -v label="$f $c" '{v[NR] = $1} END {
                if (NR == 0) { printf "%-18s -\n", label; exit }
                m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
                printf "%-18s %8.4g / %8.4g / %8.4g (n=%d)\n", label, v[1], m, v[NR], NR }'
    done
done
awk '$1 == "both" {print $3}' "$work/results" | sort -g | awk '{v[NR] = $1} END {
    if (NR == 0) { print "both at once: -"; exit }
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "both at once, program minus xfreerdp per marker step: %.4g / %.4g / %.4g ms (n=%d)\n",
        v[1], m, v[NR], NR }'
