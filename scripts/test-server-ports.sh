# Sourced by the loopback test servers' scripts: which ports a server takes.
# A requested port is taken when it and the ports the server needs beside it are free;
# otherwise (or when none is requested) a free run of ports is picked at random in 26000-29999:
# above the test suites' own ports, below the range the system hands out as local ports of
# outgoing connections, so that suites, benchmarks and demos side by side do not meet on one.

port_listens() { ss -ltnH "sport = :$1" 2>/dev/null | grep -q LISTEN; }

# ports_free FIRST COUNT
ports_free() {
    local i
    for ((i = 0; i < $2; i++)); do
        port_listens "$(($1 + i))" && return 1
    done
    return 0
}

# pick_port REQUESTED COUNT: prints the first of COUNT free ports, REQUESTED when it can.
pick_port() {
    local p="$1" count="$2"
    for _ in $(seq 50); do
        if [ -n "$p" ] && [ "$p" -gt 0 ] && ports_free "$p" "$count"; then
            echo "$p"
            return 0
        fi
        p=$((26000 + (RANDOM * 32768 + RANDOM) % 4000))
    done
    echo "no free loopback port found" >&2
    return 1
}
