# Sourced by the shell test cases that run the real program (after fail-with-logs.sh).

# open_case_work: the case's work folder $work and in it the loopback server's state folder
# $server_state; processes the case starts go into $pids. At the exit each of them is ended,
# the server stopped if it was started, and the folder removed. Needs $source_dir.
open_case_work() {
    work="$(mktemp -d)"
    pids=()
    server_state="$work/server"
    trap close_case_work EXIT
}
close_case_work() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ -d "$server_state" ]; then
        "$source_dir/scripts/rdp-test-server" stop --state "$server_state" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}

# start_test_server SOURCE_DIR START_OPTIONS...: the loopback RDP server; sets server_port,
# server_user, server_password and server_display. A server that did not start ends the
# case with what its script said.
start_test_server() {
    local out
    out="$("$1/scripts/rdp-test-server" start "${@:2}" 2>"$work/server-start.log")" ||
        fail "the loopback RDP server did not start"
    eval "$(sed -n 's/^\(port\|user\|password\|display\)=/server_\1=/p' <<<"$out")"
    [ -n "${server_display:-}" ] || fail "the loopback RDP server printed no display"
}

# copy_program FOLDER: the program with its FreeRDP module, as a user installs it (the copy
# loads the module from its own folder, whatever the build).
copy_program() {
    mkdir -p "$1"
    cp "$launcher" "$module" "$1/"
}
