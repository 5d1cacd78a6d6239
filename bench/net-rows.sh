#!/usr/bin/env bash
# The real-network figures of the program, from the network test cases (tests/net), each
# case run ROUNDS times in namespaces of its own; prints min / median / max per figure:
#
#   bench/net-rows.sh [BUILD_DIR] [ROUNDS]
#
#   connect        open -> first picture at 0, 25 and 75 ms one way (RTT 0 / 50 / 150 ms)
#   silent drop    link gone -> reconnecting panel (shadow: changing screen; xrdp: idle),
#                  and link back after a 5 s and a 20 s outage -> desktop shown again
#   reset          the server resets the connection (ss -K) -> desktop shown again
# Needs root (network namespaces). Ends only the processes it started (ctest's).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
rounds="${2:-3}"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
cmake --build "$build" -j2 --target tst_net_session delay_relay >/dev/null

run() { # REGEX [VAR=VALUE...]
    local regex="$1"
    shift
    for _ in $(seq "$rounds"); do
        env "$@" QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -j2 -R "$regex" -V 2>&1 |
            grep -o 'QINFO.*' | sed "s/^QINFO *: [^ ]* //; s/^/${*:-} /" >>"$log" || true
    done
}

run 'net_.*_slowLink' RDP_NET_ONE_WAY_MS=0 RDP_NET_IDLE_MS=0
run 'net_.*_slowLink' RDP_NET_ONE_WAY_MS=25 RDP_NET_IDLE_MS=0
run 'net_.*_slowLink' RDP_NET_ONE_WAY_MS=75 RDP_NET_IDLE_MS=0
run 'net_.*_silentDrop' RDP_NET_OUTAGE_MS=5000
run 'net_.*_silentDrop' RDP_NET_OUTAGE_MS=20000
run 'net_.*_serverReset'

# "SETTINGS KIND: FIGURE: N ms" lines -> one row per settings, kind and figure.
awk '{
    n = $(NF - 1) + 0; sub(/: [0-9]+ ms$/, ""); key = $0
    v[key] = v[key] " " n
} END {
    for (k in v) {
        c = split(substr(v[k], 2), a, " ")
        asort(a)
        printf "%-90s %6d / %6d / %6d ms (n=%d)\n", k, a[1], a[int((c + 1) / 2)], a[c], c
    }
}' "$log" | sort
