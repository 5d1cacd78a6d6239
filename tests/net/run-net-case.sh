#!/usr/bin/env bash
# Runs one network test case: makes the case's namespaces (netns.sh), starts the server
# (`shadow` or `xrdp`) in the server's namespace, runs the test program in the client's
# namespace on its own Xvfb, and removes everything again, also after a failure.
#
#   run-net-case.sh shadow|xrdp PROGRAM CASE
#
# Exits 77 (skipped, with the reason on one line) where namespaces cannot be made.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
kind="$1"
shift
name="rdpnet-$$"
port="${RDP_NET_PORT:-3389}"
state="$(mktemp -d "${TMPDIR:-/tmp}/rdpnet-state.XXXXXX")"
chmod 711 "$state"

skip() {
    echo "SKIPPED: $*"
    exit 77
}

cleanup() {
    set +e
    if [ "$kind" = xrdp ]; then
        "$root/scripts/xrdp-test-server" stop --state "$state/server" >/dev/null 2>&1
    else
        "$root/scripts/rdp-test-server" stop --state "$state/server" >/dev/null 2>&1
    fi
    "$here/netns.sh" down "$name"
    rm -rf "$state"
}

[ "$(id -u)" -eq 0 ] || skip "network cases need root to make network namespaces"
command -v ip >/dev/null || skip "network cases need iproute2 (ip)"
trap cleanup EXIT
"$here/netns.sh" up "$name" >"$state/netns.log" 2>&1 ||
    skip "network namespaces cannot be made here: $(head -1 "$state/netns.log")"

start=("$root/scripts/rdp-test-server")
# xrdp keeps a session whose link broke for two minutes, so that reconnecting finds it.
[ "$kind" = xrdp ] && start=("$root/scripts/xrdp-test-server" --keep-disconnected 120)
ip netns exec "$name-s" "${start[0]}" start "${start[@]:1}" --address 10.77.2.2 \
    --port "$port" --state "$state/server" >"$state/server.env"
while IFS='=' read -r key value; do
    case "$key" in
    host) export RDP_NET_HOST="$value" ;;
    user) export RDP_NET_USER="$value" ;;
    password) export RDP_NET_PASSWORD="$value" ;;
    display) export RDP_NET_DISPLAY="$value" ;;
    offset) export RDP_NET_DISPLAY=":$value" ;;
    esac
done <"$state/server.env"
export RDP_NET_NAME="$name" RDP_NET_PORT="$port" RDP_NET_KIND="$kind" RDP_NET_TOOLS="$here"
[ "$kind" = xrdp ] && export RDP_NET_XAUTHORITY="/home/$RDP_NET_USER/.Xauthority"
status=0
ip netns exec "$name-c" "$root/tests/e2e/run-under-xvfb.sh" "$@" || status=$?
if [ $status -ne 0 ]; then
    for log in "$state"/server/*.log "$state"/server/logs/*.log; do
        [ -f "$log" ] && { echo "--- $log" >&2; tail -n 25 "$log" >&2; }
    done
fi
exit $status
