#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in a normal build and
# once under AddressSanitizer + UndefinedBehaviorSanitizer (with the fuzz targets).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

# Every process the tests start carries this mark, so that the check at the end finds those
# left running; the moment noted here is what changed files are measured against.
RDP_TEST_RUN="$$-$(date +%s%N)"
export RDP_TEST_RUN
check_dir="$(mktemp -d)"
trap 'rm -rf "$check_dir"' EXIT
scripts/machine-check.sh before "$check_dir"
# No session bus: Qt programs would otherwise start one of their own with dbus-launch, which
# outlives them.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-session-bus
# Libraries the tests load keep their settings under the configuration folder (the sound
# library its runtime link): one of the run's own, never the real home's.
export XDG_CONFIG_HOME="$check_dir/config"
mkdir -p "$XDG_CONFIG_HOME"

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRDP_MODULE_FROM_BUILD_TREE=ON
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DRDP_SANITIZE=ON -DRDP_FUZZ=ON -DRDP_BUILD_BENCH=OFF -DRDP_MODULE_FROM_BUILD_TREE=ON
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== what the tests left on this machine"
env -u RDP_TEST_RUN RDP_TEST_MARK="$RDP_TEST_RUN" scripts/machine-check.sh after "$check_dir"

echo "== all tests passed"
