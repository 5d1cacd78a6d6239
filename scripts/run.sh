#!/usr/bin/env bash
# Installs what is missing, builds, and shows the real thing: starts an RDP server on this
# machine's loopback (an Xvfb display shared by FreeRDP's shadow server, with a clock and a
# terminal on it), puts a copy of the program in a folder of its own with a connection to
# that server, and starts the launcher. Press Enter in the password box to connect.
# Everything this script started is stopped when the launcher ends.
set -euo pipefail
cd "$(dirname "$0")/.."
top="$(pwd)"

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target rdp-launcher rdp-store

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "没有图形桌面：请在桌面会话的终端中运行本命令。" >&2
    echo "No graphical session: run this command from a terminal of a desktop session." >&2
    exit 1
fi

state="$top/out/demo-server"
demo="$top/out/demo/rdp-launcher"
started=()
cleanup() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    scripts/rdp-test-server stop --state "$state" >/dev/null 2>&1 || true
}
trap cleanup EXIT

eval "$(scripts/rdp-test-server start --state "$state" | sed -n 's/^\(port\|user\|password\|display\)=/server_\1=/p')"
DISPLAY="$server_display" xclock -update 1 -geometry 220x220+40+40 >/dev/null 2>&1 &
started+=($!)
DISPLAY="$server_display" xterm -geometry 90x24+300+60 -title "远程终端" \
    -fa 'DejaVu Sans Mono' -fd 'Noto Sans Mono CJK SC' -fs 11 \
    -e bash -c 'echo "这是在远程桌面里运行的终端。"; cd; exec bash' >/dev/null 2>&1 &
started+=($!)

# A copy of the program in a folder of its own, with a fresh store beside it.
mkdir -p "$demo"
cp build/app/rdp-launcher build/session/freerdp/librdp-freerdp.so "$demo/"
rm -f "$demo/WinEx.DLL"
build/tools/rdp-store add "$demo/WinEx.DLL" --name "本机演示服务器" --server 127.0.0.1 \
    --port "$server_port" --user "$server_user" --password "$server_password" \
    --save-password --size 2 >/dev/null

echo "RDP server: 127.0.0.1:$server_port  user $server_user  password $server_password"
echo "Launcher:   $demo/rdp-launcher  (press Enter in the password box to connect)"
"$demo/rdp-launcher"
