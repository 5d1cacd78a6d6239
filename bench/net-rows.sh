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

cat "$log" >&2
# "SETTINGS KIND: FIGURE: N ms" lines -> one row per settings, kind and figure.
awk '{ n = $(NF - 1) + 0; sub(/: [0-9]+ ms$/, ""); print $0 "\t" n }' "$log" |
    sort -t "$(printf '\t')" -k1,1 -k2,2n |
    awk -F '\t' '
        function row() { printf "%-80s %6d / %6d / %6d ms (n=%d)\n", key, v[1], v[int((c + 1) / 2)], v[c], c }
        $1 != key { if (key != "") row(); key = $1; c = 0 }
        { v[++c] = $2 }
        END { if (key != "") row() }'
