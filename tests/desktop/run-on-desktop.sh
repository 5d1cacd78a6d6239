#!/usr/bin/env bash
# Runs a command on a desktop of its own: an Xvfb display with the openbox window manager,
# so that windows get title bars, close requests and the focus rules of a real desktop.
# With RDP_DESKTOP_WM=none the display stays bare (no window manager); RDP_DESKTOP_SCREEN
# sets the screen's size (1280x1024 unless given).
# Ends only the processes it started.
set -euo pipefail
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 "${RDP_DESKTOP_SCREEN:-1280x1024}x24" -nolisten tcp -noreset -wr \
    3>"$work/display" \
    >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(tr -d '\n' <"$work/display")"

export QT_QPA_PLATFORM=xcb
# No session bus (Qt would start one with dbus-launch that outlives the test).
export DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-session-bus
if [ "${RDP_DESKTOP_WM:-openbox}" = none ]; then
    "$@"
    exit
fi

# openbox keeps its cache and session files in the temporary home.
HOME="$work" XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" \
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    wmctrl -m 2>/dev/null | grep -qi openbox && break
    sleep 0.05
done
wmctrl -m 2>/dev/null | grep -qi openbox || { cat "$work/openbox.log" >&2; exit 1; }
"$@"
