#!/usr/bin/env bash
# Builds the portable archive in one command: installs what is missing, configures a
# release build without tests and benchmarks, builds it and packs it with CPack. Extra
# arguments go to CMake, for example a machine-wide folder for the run-location record:
#   scripts/make-archive.sh -DRDP_SYSTEM_FOLDER=/var/lib/rdp-launcher/
# The archive is written into the build folder (build-archive/, or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build="${BUILD_DIR:-build-archive}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DRDP_BUILD_TESTS=OFF -DRDP_BUILD_BENCH=OFF "$@"
cmake --build "$build" -j "$(nproc)" --target package
ls -1 "$build"/rdp-launcher-*.tar.gz
