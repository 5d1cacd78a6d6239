#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing the launcher need,
# skipping those already installed. Needs root (or sudo) only when something is missing.
#
#   scripts/install-deps.sh [--bench]
#
# --bench adds what only the benchmarks run: Remmina, the second reference client.
set -euo pipefail

packages=(
    # build
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev libgl-dev freerdp2-dev
    # the session window draws through Qt's X connection: shared memory images, plain fills
    libxext-dev libxcb1-dev
    # tests, sanitizers, fuzzing, benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev clang-format
    # every window needs a CJK font
    fonts-noto-cjk
    # the loopback RDP server, the reference client and the display for end-to-end tests
    xvfb xauth freerdp2-shadow-x11 freerdp2-x11 winpr-utils
    x11-apps x11-utils xdotool xterm iproute2 imagemagick procps strace
    # the desktop tests: a real window manager and its close requests
    openbox wmctrl
    # the desktop tests' dark palette and large font, set as a desktop sets them
    qt6ct
    # a second real server: xrdp with Xorg sessions, and the tools its test desktop uses
    xrdp xorgxrdp x11-xserver-utils xfonts-base dbus-x11 openssl passwd libx11-dev
    # the release archive: icons rendered at build time, its desktop entry and metainfo checked
    librsvg2-bin desktop-file-utils appstream
    # local devices: a private CUPS server with a queue for the printer test, a private PC/SC
    # service with virtual card readers and the listing of them inside an xrdp session
    cups-daemon cups-client pcscd vsmartcard-vpcd python3
)
if [ "${1:-}" = --bench ]; then
    packages+=(remmina remmina-plugin-rdp)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
