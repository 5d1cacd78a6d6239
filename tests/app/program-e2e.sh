#!/usr/bin/env bash
# End-to-end: the real program, copied into a folder of its own with a store prepared by
# rdp-store, against a real RDP server on loopback, on its own Xvfb display.
#   program-e2e.sh LAUNCHER MODULE RDP_STORE SOURCE_DIR OUT_DIR
# 1. start, type the password, Enter, accept the certificate once: the remote desktop
#    appears (a screenshot that is not blank); the server ends, the lost link is explained
#    and the program exits once the message is answered;
# 2. a copy in a folder named "桌面" refuses to start and writes nothing.
# Ends only the processes it started.
set -euo pipefail
launcher="$1"
module="$2"
store_tool="$3"
source_dir="$4"
out_dir="$5"

# shellcheck source=../support/fail-with-logs.sh
. "$source_dir/tests/support/fail-with-logs.sh"
# shellcheck source=../support/shell-cases.sh
. "$source_dir/tests/support/shell-cases.sh"
open_case_work

# Waits up to $1 tenths of a second for a process to end; answers its exit status.
wait_exit() {
    local pid=$2
    for _ in $(seq "$1"); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            return $?
        fi
        sleep 0.1
    done
    return 124
}

find_window() { xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1; }

# The client's display.
fdfile="$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
export DISPLAY=":$(tr -d '\n' <"$fdfile")"
export QT_QPA_PLATFORM=xcb
# No session bus (Qt would start one with dbus-launch that outlives the test).
export DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-session-bus
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config"

# The server, with a clock on a red ground on its screen: red on the client's screen is the
# remote desktop (the status panel and the windows have none).
start_test_server "$source_dir" --state "$server_state"
DISPLAY="$server_display" xclock -update 1 -bg red -geometry 300x300+100+100 >/dev/null 2>&1 &
pids+=($!)

echo "== a session through the login window"
app="$work/apps/rdp-launcher"
copy_program "$app"
"$store_tool" add "$app/WinEx.DLL" --name "测试服务器" --server 127.0.0.1 \
    --port "$server_port" --user "$server_user" --size 2 >/dev/null
"$app/rdp-launcher" >"$work/launcher.log" 2>&1 &
launcher_pid=$!
pids+=("$launcher_pid")

login="$(timeout 20 bash -c "$(declare -f find_window); find_window 连接登录")" ||
    fail "the login window did not appear"
xdotool windowfocus --sync "$login"
xdotool key Return # from the user name box on to the password box
xdotool type --delay 20 "$server_password"
import -window "$login" "$out_dir/program-login.png" 2>/dev/null || true
xdotool key Return
certificate="$(timeout 20 bash -c "$(declare -f find_window); find_window 服务器证书")" ||
    fail "the certificate question did not appear"
xdotool windowfocus --sync "$certificate"
xdotool key Return # the default answer: accept this once

# The remote desktop: wait until the remote clock's red ground shows on the screen.
shot="$out_dir/program-session.png"
red=0
for _ in $(seq 40); do
    sleep 0.5
    import -window root "$shot" 2>/dev/null || continue
    red="$(convert "$shot" -fuzz 10% -fill black +opaque red -fill white -opaque red \
        -format '%[fx:round(mean*w*h)]' info:)"
    [ "$red" -gt 20000 ] && break
done
[ "$red" -gt 20000 ] || fail "the remote desktop did not appear (screenshot $shot)"
grep -q "WinClientPath.DLL" < <(ls "$XDG_STATE_HOME/rdp-launcher/") ||
    fail "the program folder was not recorded"

# The server ends: after its reconnection attempts the program explains the lost link and
# ends once the message is answered.
"$source_dir/scripts/rdp-test-server" stop --state "$server_state" >/dev/null
# (the attempts are spread over about 90 seconds, so that a short outage is outlasted)
lost="$(timeout 150 bash -c "$(declare -f find_window); find_window '^连接$'")" ||
    fail "the lost-link message did not appear"
xdotool windowfocus --sync "$lost"
xdotool key Return
status=0
wait_exit 300 "$launcher_pid" || status=$?
[ "$status" -ne 124 ] || fail "the program did not end after the server stopped"
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "ok: session shown ($red red pixels, $shot), program ended after the lost link's message"

echo "== a copy on the desktop refuses to start"
desk="$work/home/桌面"
mkdir -p "$desk"
cp "$launcher" "$desk/"
rm -rf "$XDG_STATE_HOME"
"$desk/rdp-launcher" >"$work/desk.log" 2>&1 &
desk_pid=$!
pids+=("$desk_pid")
message="$(timeout 20 bash -c "$(declare -f find_window); find_window '^连接$'")" ||
    fail "the refusal message did not appear"
xdotool windowfocus --sync "$message"
xdotool key Return
status=0
wait_exit 100 "$desk_pid" || status=$?
[ "$status" -eq 0 ] || fail "the refused program did not end cleanly (status $status)"
[ "$(ls -A "$desk")" = "rdp-launcher" ] || fail "something was written beside the program"
[ ! -e "$XDG_STATE_HOME/rdp-launcher/WinClientPath.DLL" ] ||
    fail "the refused folder was recorded"
echo "ok: refused on the desktop, nothing written"
