#!/usr/bin/env bash
# The network of one network test case: three network namespaces joined by two veth pairs,
# with addresses only inside them.
#
#   NAME-c 10.77.1.2 ---- 10.77.1.1 NAME-r 10.77.2.1 ---- 10.77.2.2 NAME-s
#   (client)                   (router)                    (server)
#
#   netns.sh up NAME     makes them (fails when namespaces cannot be made here)
#   netns.sh cut NAME    takes the router's link to the server down: a silent drop (no
#                        reset, no unreachable notice; new connections go unanswered)
#   netns.sh mend NAME   brings it back
#   netns.sh reset NAME PORT   resets the server's established connections on PORT
#   netns.sh down NAME   removes all three (also after a partial up)
set -euo pipefail

cmd="${1:-}"
name="${2:-}"
[ -n "$name" ] || { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
c="$name-c" r="$name-r" s="$name-s"
inside() { local ns="$1"; shift; ip netns exec "$ns" "$@"; }

up() {
    ip netns add "$c"
    ip netns add "$r"
    ip netns add "$s"
    ip link add "${name}c" netns "$c" type veth peer name rc netns "$r"
    ip link add "${name}s" netns "$s" type veth peer name rs netns "$r"
    inside "$c" ip link set "${name}c" name eth0
    inside "$s" ip link set "${name}s" name eth0
    for ns in "$c" "$r" "$s"; do inside "$ns" ip link set lo up; done
    inside "$c" ip addr add 10.77.1.2/24 dev eth0
    inside "$r" ip addr add 10.77.1.1/24 dev rc
    inside "$r" ip addr add 10.77.2.1/24 dev rs
    inside "$s" ip addr add 10.77.2.2/24 dev eth0
    inside "$c" ip link set eth0 up
    inside "$r" ip link set rc up
    inside "$r" ip link set rs up
    inside "$s" ip link set eth0 up
    inside "$c" ip route add default via 10.77.1.1
    inside "$s" ip route add default via 10.77.2.1
    inside "$r" sysctl -qw net.ipv4.ip_forward=1
    # While the link to the server is down its own route is gone and this one discards
    # the client's packets without a word, as a vanished Wi-Fi or VPN does.
    inside "$r" ip route add blackhole 10.77.2.0/24 metric 100
}

down() {
    for ns in "$c" "$r" "$s"; do
        ip netns del "$ns" 2>/dev/null || true
    done
}

case "$cmd" in
up) up ;;
down) down ;;
cut) inside "$r" ip link set rs down ;;
mend) inside "$r" ip link set rs up ;;
reset) inside "$s" ss -K -tn state established "( sport = :${3:?port} )" >/dev/null ;;
*) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
