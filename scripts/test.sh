#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in a normal build and
# once under AddressSanitizer + UndefinedBehaviorSanitizer (with the fuzz targets).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

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

echo "== all tests passed"
