#!/usr/bin/env bash
# Runs an end-to-end test on its own Xvfb display (the client side; the server has its
# own), with Qt on X11 as in production. Ends only the Xvfb it started.
set -euo pipefail
fdfile="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$fdfile"' EXIT
for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
done
export DISPLAY=":$(tr -d '\n' <"$fdfile")"
export QT_QPA_PLATFORM=xcb
# No session bus (Qt would start one with dbus-launch that outlives the test).
export DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-session-bus
"$@"
